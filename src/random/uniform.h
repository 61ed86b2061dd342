// Uniform doubles from MT19937 outputs, and the clock seed.
#ifndef MORAVEL_RANDOM_UNIFORM_H
#define MORAVEL_RANDOM_UNIFORM_H

#include <cstdint>
#include <vector>

#include "random/mt19937.h"

namespace moravel {

// u = (s 2^21 + (f >> 11)) 2^-53 from two outputs f (first) and s (second):
// one of the 2^53 multiples of 2^-53 in [0, 1 - 2^-53].  The second output
// gives the high bits, unlike std::generate_canonical.
inline double CanonicalUniform(Mt19937& engine) {
  const std::uint32_t first = engine();
  const std::uint32_t second = engine();
  const std::uint64_t x = (static_cast<std::uint64_t>(second) << 21) | (first >> 11);
  return static_cast<double>(x) * 0x1p-53;
}

// The high bound b is widened to b + 2^-52 so that b = 1 itself is reached.
constexpr double kUpperBoundWidening = 0x1p-52;

// One sample value: (b' - a) u + a with b' = b + 2^-52, rounded step by step.
inline double UniformValue(Mt19937& engine, double a, double b) {
  const double widened = b + kUpperBoundWidening;
  return (widened - a) * CanonicalUniform(engine) + a;
}

// The low 32 bits of the monotonic clock's reading in nanoseconds.
std::uint32_t ClockSeed();

// The engine seed of a sample: the caller's seed, or the clock for 0.
inline std::uint32_t EngineSeed(std::uint32_t seed) { return seed != 0 ? seed : ClockSeed(); }

// n uniform values in [a, b] from a fresh engine seeded with EngineSeed(seed).
// Throws std::length_error for n < 0.
std::vector<double> UniformSample(std::int32_t n, double a, double b, std::uint32_t seed);

}  // namespace moravel

#endif
