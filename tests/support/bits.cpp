#include "support/bits.h"

#include <bit>
#include <cmath>
#include <cstdio>

namespace moravel::testing {

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

std::string Text(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace moravel::testing
