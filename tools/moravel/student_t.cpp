#include "student_t.h"

#include <cmath>

namespace moravel_tool {
namespace {

// The continued fraction of the incomplete beta function (modified Lentz),
// converging fast for x < (a + 1) / (a + b + 2).
double BetaContinuedFraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300;
  double c = 1.0;
  double d = 1.0 - (a + b) * x / (a + 1.0);
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= 10000; ++m) {
    const double m2 = 2.0 * m;
    double step = m * (b - m) * x / ((a + m2 - 1.0) * (a + m2));
    d = 1.0 + step * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + step / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    h *= d * c;
    step = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1.0));
    d = 1.0 + step * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + step / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1.0) < 1e-16) break;
  }
  return h;
}

// The regularised incomplete beta function I_x(a, b), 0 <= x <= 1.
double RegularisedBeta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaContinuedFraction(a, b, x) / a;
  return 1.0 - front * BetaContinuedFraction(b, a, 1.0 - x) / b;
}

}  // namespace

double StudentTUpperTail(double x, std::int32_t dof) {
  const double v = dof;
  return 0.5 * RegularisedBeta(v / 2.0, 0.5, v / (v + x * x));
}

double StudentT95(std::int32_t dof) {
  // The tail falls as x grows: bisect [1.9, 12.8], which holds the quantile
  // for every dof >= 1, down to neighbouring doubles.
  double low = 1.9, high = 12.8;
  for (int i = 0; i < 200; ++i) {
    const double mid = low + (high - low) / 2.0;
    if (mid <= low || mid >= high) break;
    (StudentTUpperTail(mid, dof) > 0.025 ? low : high) = mid;
  }
  return low + (high - low) / 2.0;
}

}  // namespace moravel_tool
