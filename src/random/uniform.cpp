#include "random/uniform.h"

#include <chrono>
#include <stdexcept>

namespace moravel {

std::uint32_t ClockSeed() {
  const auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ns));
}

std::vector<double> UniformSample(std::int32_t n, double a, double b, std::uint32_t seed) {
  if (n < 0) throw std::length_error("vector too long");
  std::vector<double> values(static_cast<std::size_t>(n), 0.0);
  if (n == 0) return values;
  Mt19937 engine(EngineSeed(seed));
  for (double& value : values) value = UniformValue(engine, a, b);
  return values;
}

}  // namespace moravel
