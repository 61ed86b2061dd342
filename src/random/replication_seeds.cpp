#include "random/replication_seeds.h"

namespace moravel {

std::uint32_t ReplicationSeed(std::uint32_t first, std::uint64_t run) {
  constexpr std::uint64_t kNonzeroWords = 4294967295u;  // 1 .. 2^32 - 1
  return static_cast<std::uint32_t>(
      (std::uint64_t{first} - 1 + run % kNonzeroWords) % kNonzeroWords + 1);
}

}  // namespace moravel
