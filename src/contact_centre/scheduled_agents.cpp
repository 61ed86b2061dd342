#include "contact_centre/scheduled_agents.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace moravel::contact {
namespace {

// An unsigned 128-bit number, enough for the products below; built from
// 32-bit limbs so that it needs no compiler extension.
struct Wide {
  std::uint32_t limb[4] = {0, 0, 0, 0};  // least significant first
};

Wide FromU64(std::uint64_t x) {
  Wide w;
  w.limb[0] = static_cast<std::uint32_t>(x);
  w.limb[1] = static_cast<std::uint32_t>(x >> 32);
  return w;
}

// w x m; the callers keep the product below 2^128.
Wide Times(const Wide& w, std::uint32_t m) {
  Wide r;
  std::uint64_t carry = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint64_t p = std::uint64_t{w.limb[i]} * m + carry;
    r.limb[i] = static_cast<std::uint32_t>(p);
    carry = p >> 32;
  }
  return r;
}

// a - b for a >= b.
Wide Minus(const Wide& a, const Wide& b) {
  Wide r;
  std::int64_t borrow = 0;
  for (int i = 0; i < 4; ++i) {
    std::int64_t d = std::int64_t{a.limb[i]} - b.limb[i] - borrow;
    borrow = d < 0 ? 1 : 0;
    if (d < 0) d += std::int64_t{1} << 32;
    r.limb[i] = static_cast<std::uint32_t>(d);
  }
  return r;
}

bool AtLeast(const Wide& a, const Wide& b) {
  for (int i = 3; i >= 0; --i) {
    if (a.limb[i] != b.limb[i]) return a.limb[i] > b.limb[i];
  }
  return true;
}

// s = digits / 10^exponent, the shortest decimal of s.
struct Decimal {
  std::uint64_t digits = 0;
  int exponent = 0;
};

Decimal ShortestDecimal(double s) {
  // The fewest significant digits that read back as s, correctly rounded:
  // the shortest decimal, the closest of that length.  (printf rather than
  // the floating-point std::to_chars, which some standard libraries the
  // library is built with, such as WebAssembly's, do not have.)
  char text[64];
  std::string_view all;
  for (int precision = 0; precision <= 16; ++precision) {
    const int length = std::snprintf(text, sizeof text, "%.*e", precision, s);
    all = std::string_view(text, static_cast<std::size_t>(length));
    if (std::strtod(text, nullptr) == s) break;
  }
  const std::size_t e = all.find('e');
  Decimal d;
  int fraction_digits = 0;
  bool after_point = false;
  for (char c : all.substr(0, e)) {
    if (c >= '0' && c <= '9') {
      d.digits = d.digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (after_point) ++fraction_digits;
    } else {
      after_point = true;  // the decimal point, whatever the locale writes
    }
  }
  int power = 0;  // the text is not terminated: read the exponent within it
  const char* from = all.data() + e + 1;
  if (*from == '+') ++from;
  std::from_chars(from, all.data() + all.size(), power);
  d.exponent = fraction_digits - power;
  return d;
}

}  // namespace

std::optional<std::int32_t> ScheduledAgents(std::int32_t needed, double shrinkage) {
  constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
  if (needed <= 0 || shrinkage == 0.0) return needed;
  // S = needed + m, with m the least whole number for which
  // m (10^k - D) >= needed D, where shrinkage = D / 10^k (D < 10^17, so
  // needed D < 2^88).
  const Decimal d = ShortestDecimal(shrinkage);
  const Wide demand = Times(FromU64(d.digits), static_cast<std::uint32_t>(needed));
  // From 10^27 on, 10^k - D passes 2^88 and the least m is 1.
  std::int64_t m = 1;
  if (d.exponent < 27) {
    Wide power = FromU64(1);
    for (int i = 0; i < d.exponent; ++i) power = Times(power, 10);
    const Wide spare = Minus(power, FromU64(d.digits));  // 10^k - D >= 1 since s < 1
    const auto meets = [&](std::int64_t candidate) {
      return AtLeast(Times(spare, static_cast<std::uint32_t>(candidate)), demand);
    };
    // The quotient in doubles, on the decimal's own digits, is within a
    // few units of m; the exact comparison settles it.
    const double spare_estimate = std::pow(10.0, d.exponent) - static_cast<double>(d.digits);
    const double estimate =
        std::ceil(static_cast<double>(needed) * static_cast<double>(d.digits) / spare_estimate);
    if (!(estimate <= static_cast<double>(kLargest) + 4.0)) return std::nullopt;
    m = std::max<std::int64_t>(static_cast<std::int64_t>(estimate) - 2, 0);
    while (m > 0 && meets(m - 1)) --m;
    while (m <= kLargest && !meets(m)) ++m;
  }
  if (m > kLargest - needed) return std::nullopt;
  return static_cast<std::int32_t>(needed + m);
}

}  // namespace moravel::contact
