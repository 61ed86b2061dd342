// The seeds of the two random streams of a single-service simulation: one
// for the arrivals, one for the holding times.
#ifndef MORAVEL_RANDOM_SECOND_SEED_H
#define MORAVEL_RANDOM_SECOND_SEED_H

#include <cstdint>

namespace moravel {

namespace seed_mixing {

constexpr std::uint32_t kFirstMultiplier = 0x85ebca6bu;
constexpr std::uint32_t kSecondMultiplier = 0xc2b2ae35u;

// The inverse of an odd number modulo 2^32 by Newton's iteration
// x <- x (2 - a x): a is its own inverse modulo 8 (3 bits), and each step
// doubles the number of correct bits (6, 12, 24, 48).
constexpr std::uint32_t InverseOfOdd(std::uint32_t a) {
  std::uint32_t x = a;
  for (int i = 0; i < 4; ++i) x *= 2u - a * x;
  return x;
}

constexpr std::uint32_t kFirstInverse = InverseOfOdd(kFirstMultiplier);
constexpr std::uint32_t kSecondInverse = InverseOfOdd(kSecondMultiplier);
static_assert(kFirstMultiplier * kFirstInverse == 1u);
static_assert(kSecondMultiplier * kSecondInverse == 1u);

}  // namespace seed_mixing

// The 32-bit finaliser of MurmurHash3: a permutation of the 32-bit words
// (odd multipliers and xor-shifts are invertible) that maps 0 to 0.
constexpr std::uint32_t MixSeed(std::uint32_t x) {
  x ^= x >> 16;
  x *= seed_mixing::kFirstMultiplier;
  x ^= x >> 13;
  x *= seed_mixing::kSecondMultiplier;
  x ^= x >> 16;
  return x;
}

// The inverse of MixSeed, its steps undone in reverse order.
constexpr std::uint32_t UnmixSeed(std::uint32_t x) {
  x ^= x >> 16;  // a 16-bit xor-shift of a 32-bit word undoes itself
  x *= seed_mixing::kSecondInverse;
  x ^= (x >> 13) ^ (x >> 26);  // undoes x ^= x >> 13
  x *= seed_mixing::kFirstInverse;
  x ^= x >> 16;
  return x;
}

// The seed of the holding-time stream, derived from the caller's seed:
//
//   SecondSeed(0) = 0 (each stream then seeds itself from the clock);
//   SecondSeed(s) = UnmixSeed(Step(MixSeed(s))) for s != 0, where Step moves
//   one place along the cycle 1 -> 2 -> ... -> 2^32 - 1 -> 1 of the nonzero
//   words.
//
// MixSeed permutes the nonzero words, and so does its inverse, so SecondSeed
// is Step seen through MixSeed: a permutation of the nonzero words without a
// fixed point, since Step has none.  For every nonzero seed the second seed
// is nonzero and differs from the seed, and two seeds never share a second
// seed.  The mixing keeps seed s's holding stream from being the arrival
// stream of a neighbouring seed such as s + 1.
constexpr std::uint32_t SecondSeed(std::uint32_t seed) {
  const std::uint32_t mixed = MixSeed(seed);
  const std::uint32_t stepped = mixed + (mixed == 0xffffffffu ? 2u : 1u);  // 2^32 - 1 -> 1
  return seed == 0 ? 0u : UnmixSeed(stepped);
}

struct StreamSeeds {
  std::uint32_t arrival;
  std::uint32_t holding;
};

// The engine seeds of the two streams.  A nonzero seed gives
// {seed, SecondSeed(seed)}.  Seed 0 gives two readings of the clock; should
// both read the same, the second is read again until it differs, so that
// the two streams are never one and the same.
StreamSeeds SimulationStreamSeeds(std::uint32_t seed);

}  // namespace moravel

#endif
