// The bits of a double and back, for arithmetic on the representation
// itself (exponent fields, midpoints in ulps).
#ifndef MORAVEL_NUMERIC_DOUBLE_BITS_H
#define MORAVEL_NUMERIC_DOUBLE_BITS_H

#include <cstdint>
#include <cstring>

namespace moravel {

// A copy rather than std::bit_cast, which the libc++ of the WebAssembly
// toolchain lacks; both compile to one move.
inline std::uint64_t BitsOfDouble(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline double DoubleOfBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

}  // namespace moravel

#endif
