// A double with a 64-bit binary exponent, for counts and weights that leave
// the range of a double.
#ifndef MORAVEL_MULTISERVICE_WIDE_DOUBLE_H
#define MORAVEL_MULTISERVICE_WIDE_DOUBLE_H

#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/double_bits.h"

namespace moravel {

// The value m 2^e.  A finite nonzero value keeps 1 <= |m| < 2; zero is
// (0, 0); an infinity or a NaN keeps e = 0.  Every operation rounds its
// mantissa once, to nearest, exactly as a double with an unbounded
// exponent would: scaling by a power of two is exact, so the bits of m
// are those of the same computation carried out without overflow or
// underflow.  Zeros keep their sign.  Exponents stay far from 64-bit overflow for any product or
// quotient of counts a group can hold.
struct WideDouble {
  double m = 0.0;
  std::int64_t e = 0;
};

namespace wide_detail {

constexpr std::uint64_t kExponentMask = std::uint64_t{0x7ff} << 52;

// 2^p for -1022 <= p <= 1023, built from its bits.
inline double PowerOfTwo(std::int64_t p) {
  return DoubleOfBits(static_cast<std::uint64_t>(p + 1023) << 52);
}

}  // namespace wide_detail

// m 2^e brought to 1 <= |m| < 2.
inline WideDouble Normalised(double m, std::int64_t e) {
  std::uint64_t bits = BitsOfDouble(m);
  auto field = static_cast<std::int64_t>((bits & wide_detail::kExponentMask) >> 52);
  if (field == 0x7ff) return {m, 0};
  if (field == 0) {
    if (m == 0.0) return {m, 0};  // a signed zero
    m *= 18446744073709551616.0;  // 2^64: a subnormal becomes normal, exactly
    e -= 64;
    bits = BitsOfDouble(m);
    field = static_cast<std::int64_t>((bits & wide_detail::kExponentMask) >> 52);
  }
  bits = (bits & ~wide_detail::kExponentMask) | (std::uint64_t{1023} << 52);
  return {DoubleOfBits(bits), e + field - 1023};
}

inline WideDouble Wide(double value) { return Normalised(value, 0); }

inline WideDouble operator+(WideDouble a, WideDouble b) {
  if (b.m == 0.0) return a.m == 0.0 ? WideDouble{a.m + b.m, 0} : a;
  if (a.m == 0.0) return b;
  if (!std::isfinite(a.m) || !std::isfinite(b.m)) return {a.m + b.m, 0};
  if (a.e < b.e) std::swap(a, b);
  const std::int64_t shift = a.e - b.e;
  // |b| < 2^-59 |a|: below half a unit in the last place of a, so the
  // rounded sum is a itself.
  if (shift > 60) return a;
  return Normalised(a.m + b.m * wide_detail::PowerOfTwo(-shift), a.e);
}

inline WideDouble operator-(WideDouble a, WideDouble b) { return a + WideDouble{-b.m, b.e}; }

inline WideDouble operator*(WideDouble a, WideDouble b) { return Normalised(a.m * b.m, a.e + b.e); }

inline WideDouble operator/(WideDouble a, WideDouble b) { return Normalised(a.m / b.m, a.e - b.e); }

// |a| < |b|.
inline bool SmallerMagnitude(WideDouble a, WideDouble b) {
  if (b.m == 0.0) return false;
  if (a.m == 0.0) return true;
  return a.e < b.e || (a.e == b.e && std::fabs(a.m) < std::fabs(b.m));
}

// The nearest double: infinite beyond its range, gradually underflowing
// below it.
inline double ToDouble(WideDouble a) {
  constexpr std::int64_t kBeyond = 4096;  // past every double's exponent
  if (a.m == 0.0) return a.m;
  if (a.e > kBeyond) return a.m * std::numeric_limits<double>::infinity();
  if (a.e < -kBeyond) return a.m * 0.0;
  return std::ldexp(a.m, static_cast<int>(a.e));
}

}  // namespace moravel

#endif
