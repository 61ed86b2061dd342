#include "multiservice/arrangements.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "multiservice/binomial.h"

namespace moravel {
namespace {

// Below this every whole number is a double.
constexpr double kExactLimit = 9007199254740992.0;  // 2^53

// A value reduced to 32-bit two's complement (modular since C++20).
constexpr std::int32_t Wrap32(std::int64_t value) { return static_cast<std::int32_t>(value); }

// The inclusion-exclusion count, with the two binomial sources supplied:
// links(j) = Binomial(k, j) and parts(z) = Binomial(z, k - 1).  Every 32-bit
// step is done in 64 bits and wrapped once: wrapping commutes with + and *,
// and no intermediate here leaves 64 bits (each operand fits 32).  `exact`,
// when given, is cleared if a term or a partial sum reaches 2^53.
template <class Links, class Parts>
double CountArrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo,
                         const Links& links, const Parts& parts, bool* exact = nullptr) {
  const std::int32_t k_hi = Wrap32(std::int64_t{k} * hi);
  const std::int32_t k_lo = Wrap32(std::int64_t{k} * lo);
  if (x > k_hi || k_lo > x) return 0.0;
  if (x == 0) return 1.0;
  const std::int32_t w = Wrap32(std::int64_t{hi} - lo + 1);
  if (w == 0) return 0.0;  // an empty range per link: no arrangement
  const std::int32_t above = Wrap32(std::int64_t{x} - k_lo);
  // INT32_MIN / -1 is 2^31, which wraps to INT32_MIN: negative, no terms.
  if (w == -1 && above == std::numeric_limits<std::int32_t>::min()) return 0.0;
  const std::int32_t r = above / w;
  if (r < 0) return 0.0;
  const std::int32_t first =
      Wrap32(std::int64_t{x} - std::int64_t{Wrap32(std::int64_t{lo} - 1)} * k - 1);
  double sum = 0.0;
  for (std::int64_t j = 0; j <= r; ++j) {  // 64 bits: r may be 2^31 - 1
    const std::int32_t z = Wrap32(first - j * w);
    // (-1)^j exactly as the power function gives it for a whole exponent.
    const double sign = (j & 1) != 0 ? -1.0 : 1.0;
    const double term = links(j) * sign * parts(z);
    sum += term;
    if (exact != nullptr && !(std::fabs(term) < kExactLimit && std::fabs(sum) < kExactLimit)) {
      *exact = false;
    }
  }
  return sum;
}

// Table lookups with the direct computation outside the tables.
struct TabulatedLinks {
  const ArrangementCoefficients& c;
  double operator()(std::int64_t j) const {
    return j < static_cast<std::int64_t>(c.links.size())
               ? c.links[static_cast<std::size_t>(j)]
               : Binomial(c.k, static_cast<std::int32_t>(j));
  }
};
struct TabulatedParts {
  const ArrangementCoefficients& c;
  double operator()(std::int32_t z) const {
    const std::int64_t i = std::int64_t{z} - c.parts_first;
    return i >= 0 && i < static_cast<std::int64_t>(c.parts.size())
               ? c.parts[static_cast<std::size_t>(i)]
               : Binomial(z, Wrap32(std::int64_t{c.k} - 1));
  }
};

}  // namespace

double Arrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo) {
  const std::int32_t k_less = Wrap32(std::int64_t{k} - 1);
  return CountArrangements(
      x, k, hi, lo, [k](std::int64_t j) { return Binomial(k, static_cast<std::int32_t>(j)); },
      [k_less](std::int32_t z) { return Binomial(z, k_less); });
}

ArrangementCoefficients TabulateCoefficients(std::int32_t k, std::int32_t x_max) {
  ArrangementCoefficients c;
  c.k = k;
  if (k < 0 || x_max < 0) return c;
  c.x_max = x_max;
  // j <= r = (x - k lo) / w <= x, and z = x - (lo - 1) k - 1 - j w lies in
  // k - 1..x + k - 1 for the terms that are summed.
  c.links = BinomialRow(k, std::min(k, x_max));
  c.parts_first = k - 1;
  const auto last = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::int64_t{x_max} + k - 1, std::numeric_limits<std::int32_t>::max()));
  c.parts = BinomialColumn(k - 1, c.parts_first, last);
  return c;
}

double Arrangements(const ArrangementCoefficients& coefficients, std::int32_t x, std::int32_t hi,
                    std::int32_t lo) {
  return CountArrangements(x, coefficients.k, hi, lo, TabulatedLinks{coefficients},
                           TabulatedParts{coefficients});
}

std::vector<double> TabulateArrangements(const ArrangementCoefficients& coefficients,
                                         std::int32_t hi, std::int32_t lo, std::int32_t x_first,
                                         std::int32_t x_last, bool* exact) {
  if (exact != nullptr) *exact = true;
  if (x_last < x_first) return {};
  std::vector<double> counts(static_cast<std::size_t>(std::int64_t{x_last} - x_first + 1), 0.0);
  const TabulatedLinks links{coefficients};
  const TabulatedParts parts{coefficients};
  const std::int64_t k = coefficients.k;
  const std::int64_t k_hi = k * hi;
  const std::int64_t k_lo = k * lo;
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  const bool unwrapped = k >= 0 && lo >= 0 && hi >= lo && x_first >= 0 &&
                         x_last <= coefficients.x_max && k_hi <= kMax && x_last + k <= kMax;
  if (!unwrapped) {
    for (std::size_t i = 0; i < counts.size(); ++i) {
      const auto x = static_cast<std::int32_t>(x_first + static_cast<std::int64_t>(i));
      counts[i] = CountArrangements(x, coefficients.k, hi, lo, links, parts, exact);
    }
    return counts;
  }

  // Without wrapping, x counts (0.0 + the terms j = 0..r) when
  // max(1, k lo) <= x <= k hi, is 1.0 when x = 0 = k lo, and 0.0 otherwise.
  // Term j reaches exactly the x with x - k lo >= j w, at
  // z = x - (lo - 1) k - 1 - j w, which stays within the parts table
  // (k - 1 <= z <= x_last + k - 1).
  const std::int64_t w = std::int64_t{hi} - lo + 1;
  const std::int64_t x_top = std::min<std::int64_t>(x_last, k_hi);
  const std::int64_t r_max = (x_top - k_lo) / w;
  auto shift_of = [&](std::int64_t j) {
    return -(std::int64_t{lo} - 1) * k - 1 - j * w - coefficients.parts_first;
  };
  // A term grows with x (C(z, k - 1) grows with z), so every term and
  // every partial sum is at most the sum of the terms' magnitudes at x_top.
  // Only when that bound is not clearly below 2^53 are the partial sums
  // themselves watched.
  // With C(k, j) <= 2^k and the parts table's last entry the largest
  // C(z, k - 1), a product below 2^52 settles it at once.
  bool watch = false;
  if (exact != nullptr && x_top >= 1 && !coefficients.parts.empty() &&
      !(k <= 52 && coefficients.parts.back() < static_cast<double>(std::int64_t{1} << (52 - k)))) {
    double bound = 0.0;
    for (std::int64_t j = 0; j <= r_max; ++j) {
      bound +=
          std::fabs(links(j)) * coefficients.parts[static_cast<std::size_t>(x_top + shift_of(j))];
    }
    watch = !(bound < 0.5 * kExactLimit);
  }
  for (std::int64_t j = 0; j <= r_max; ++j) {
    const double sign = (j & 1) != 0 ? -1.0 : 1.0;
    const double weight = links(j) * sign;
    const std::int64_t shift = shift_of(j);
    const std::int64_t from = std::max<std::int64_t>({x_first, 1, k_lo + j * w});
    for (std::int64_t x = from; x <= x_top; ++x) {
      counts[static_cast<std::size_t>(x - x_first)] +=
          weight * coefficients.parts[static_cast<std::size_t>(x + shift)];
    }
    if (watch && *exact && from <= x_top) {
      double peak = std::fabs(weight * coefficients.parts[static_cast<std::size_t>(x_top + shift)]);
      for (std::int64_t x = from; x <= x_top; ++x) {
        peak = std::max(peak, std::fabs(counts[static_cast<std::size_t>(x - x_first)]));
      }
      if (!(peak < kExactLimit)) *exact = false;
    }
  }
  if (x_first == 0 && k_lo == 0) counts[0] = 1.0;
  return counts;
}

}  // namespace moravel
