#include "support/bits.h"

#include <bit>
#include <cstdio>

namespace moravel::testing {

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

std::string Text(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace moravel::testing
