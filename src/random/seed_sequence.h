// The seeds of a simulation that creates more than two engines, all
// derived from one nonzero seed.
#ifndef MORAVEL_RANDOM_SEED_SEQUENCE_H
#define MORAVEL_RANDOM_SEED_SEQUENCE_H

#include <cstdint>

#include "random/second_seed.h"

namespace moravel {

// Gives s, SecondSeed(s), SecondSeed(SecondSeed(s)), ... for a nonzero s.
// SecondSeed is the step 1 -> 2 -> ... -> 2^32 - 1 -> 1 seen through
// MixSeed, so it runs through all nonzero words in one cycle: the first
// 2^32 - 1 seeds of a sequence all differ, and the first two are those of
// the single-service simulations for the same seed.
class SeedSequence {
 public:
  explicit constexpr SeedSequence(std::uint32_t seed) : next_(seed) {}

  constexpr std::uint32_t operator()() {
    const std::uint32_t seed = next_;
    next_ = SecondSeed(next_);
    return seed;
  }

 private:
  std::uint32_t next_;
};

}  // namespace moravel

#endif
