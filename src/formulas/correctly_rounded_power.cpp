#include "formulas/correctly_rounded_power.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace moravel {
namespace {

// A double-double: the unevaluated sum hi + lo, |lo| <= ulp(hi) / 2.
struct DoubleDouble {
  double hi;
  double lo;
};

DoubleDouble FastTwoSum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Dekker's exact product, without a fused multiply-add: each factor split
// into two 26-bit halves.  The factors here lie in [1/2, 1), far from
// overflow.
DoubleDouble TwoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double ca = kSplitter * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = kSplitter * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  const double p = a * b;
  const double e = (((ah * bh - p) + ah * bl) + al * bh) + al * bl;
  return {p, e};
}

DoubleDouble Multiply(DoubleDouble x, DoubleDouble y) {
  DoubleDouble p = TwoProduct(x.hi, y.hi);
  p.lo += x.hi * y.lo + x.lo * y.hi;
  return FastTwoSum(p.hi, p.lo);
}

// Brings x.hi back into [1/2, 1), counting the powers of two in `exponent`.
void Normalise(DoubleDouble& x, std::int64_t& exponent) {
  int shift = 0;
  x.hi = std::frexp(x.hi, &shift);
  x.lo = std::ldexp(x.lo, -shift);
  exponent += shift;
}

// The exact power, m^k 2^(qk) for |A| = m 2^q with m odd, as a big integer,
// rounded once: the way every case the double-double cannot decide ends.
double ExactPower(double magnitude, std::int32_t k) {
  int e = 0;
  const double fraction = std::frexp(magnitude, &e);  // magnitude = fraction 2^e
  auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  std::int64_t q = e - 53;
  while ((m & 1u) == 0) {
    m >>= 1;
    ++q;
  }
  // Little-endian 32-bit limbs of m^k.
  std::vector<std::uint32_t> big{1u};
  const std::uint64_t m_low = m & 0xffffffffu;
  const std::uint64_t m_high = m >> 32;
  for (std::int32_t i = 0; i < k; ++i) {
    std::vector<std::uint32_t> product(big.size() + 2, 0u);
    for (int part = 0; part < 2; ++part) {
      const std::uint64_t factor = part == 0 ? m_low : m_high;
      if (factor == 0) continue;
      std::uint64_t carry = 0;
      std::size_t j = 0;
      for (; j < big.size(); ++j) {
        const std::uint64_t t = big[j] * factor + product[j + part] + carry;
        product[j + part] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
      }
      for (std::size_t at = j + part; carry != 0; ++at) {
        const std::uint64_t t = product[at] + carry;
        product[at] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
      }
    }
    while (product.size() > 1 && product.back() == 0) product.pop_back();
    big.swap(product);
  }
  const auto bits = 32 * static_cast<std::int64_t>(big.size());
  const auto bit = [&](std::int64_t i) {
    return i >= 0 && i < bits && (big[static_cast<std::size_t>(i / 32)] >> (i % 32) & 1u) != 0;
  };
  std::int64_t length = bits;
  while (!bit(length - 1)) --length;
  const std::int64_t scale = q * k;
  const std::int64_t leading = length - 1 + scale;  // the value lies in [2^leading, 2^(leading+1))
  if (leading > 1023) return HUGE_VAL;
  // 53 bits for a normal result, fewer below 2^-1022.
  const std::int64_t keep = leading >= -1022 ? 53 : leading + 1075;
  const std::int64_t shift = length - keep;
  if (shift <= 0) {
    std::uint64_t value = 0;
    for (std::int64_t i = length - 1; i >= 0; --i) value = value << 1 | (bit(i) ? 1u : 0u);
    return std::ldexp(static_cast<double>(value), static_cast<int>(scale));
  }
  std::uint64_t top = 0;
  for (std::int64_t i = length - 1; i >= shift; --i) top = top << 1 | (bit(i) ? 1u : 0u);
  const bool guard = bit(shift - 1);
  bool sticky = false;
  for (std::int64_t i = shift - 2; i >= 0 && !sticky; --i) sticky = bit(i);
  if (guard && (sticky || (top & 1u) != 0)) ++top;
  const std::int64_t result_exponent = scale + shift;
  if (result_exponent > 2000) return HUGE_VAL;
  return std::ldexp(static_cast<double>(top), static_cast<int>(result_exponent));
}

}  // namespace

double CorrectlyRoundedPower(double A, std::int32_t k) {
  if (k < 0 || k > 1024 || !std::isfinite(A) || A == 0.0) {
    return std::pow(A, static_cast<double>(k));
  }
  const bool negative = A < 0.0 && (k & 1) != 0;
  const double magnitude = std::fabs(A);
  // Binary powering in double-double, on mantissas in [1/2, 1) with the
  // powers of two counted apart: no intermediate overflows or underflows.
  // At most 2 x 11 products, each within a few 2^-104 relative, and the
  // squarings double the error of what they square: the computed value
  // lies within 2^-90 (relative) of the exact power.
  DoubleDouble base{magnitude, 0.0};
  std::int64_t base_exponent = 0;
  Normalise(base, base_exponent);
  DoubleDouble result{0.5, 0.0};
  std::int64_t result_exponent = 1;
  for (std::int32_t rest = k;;) {
    if ((rest & 1) != 0) {
      result = Multiply(result, base);
      result_exponent += base_exponent;
      Normalise(result, result_exponent);
    }
    rest >>= 1;
    if (rest == 0) break;
    base = Multiply(base, base);
    base_exponent *= 2;
    Normalise(base, base_exponent);
  }
  // Round hi + lo once; decide only when the exact value is surely on the
  // same side of every midpoint as the computed one.
  const DoubleDouble rounded = TwoSum(result.hi, result.lo);
  int shift = 0;
  const double fraction = std::frexp(rounded.hi, &shift);
  const double half_ulp = std::ldexp(1.0, shift - 54);
  const bool decided = fraction != 0.5 && std::fabs(rounded.lo) < half_ulp &&
                       half_ulp - std::fabs(rounded.lo) > std::ldexp(1.0, shift - 90);
  const std::int64_t exponent = result_exponent + shift;  // of the leading bit, plus one
  double value;
  if (decided && exponent >= -1021 && exponent <= 1024) {
    value = std::ldexp(fraction, static_cast<int>(exponent));
  } else if (decided && exponent > 1024) {
    value = HUGE_VAL;
  } else {
    value = ExactPower(magnitude, k);
  }
  return negative ? -value : value;
}

double DirectFormPower(double A, std::int32_t k) {
#if defined(_WIN32)
  // The direct form's bits hang on each power: the terms run to k = 170.
  if (k >= 0 && k <= 170) return CorrectlyRoundedPower(A, k);
#endif
  return std::pow(A, static_cast<double>(k));
}

}  // namespace moravel
