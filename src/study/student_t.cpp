#include "study/student_t.h"

#include <cmath>

namespace moravel {
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

// I_x(a, b), with y = 1 - x given by the caller without the rounding of
// 1 - x.
double RegularisedBeta(double a, double b, double x, double y) {
  if (x <= 0.0) return 0.0;
  if (y <= 0.0) return 1.0;
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log(y));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaContinuedFraction(a, b, x) / a;
  return 1.0 - front * BetaContinuedFraction(b, a, y) / b;
}

}  // namespace

double StudentTTwoSidedTail(double x, std::int32_t dof) {
  const double v = dof;
  const double square = x * x;
  return RegularisedBeta(v / 2.0, 0.5, v / (v + square), square / (v + square));
}

double StudentTQuantile(std::int32_t dof, double level) {
  const double tail = 1.0 - level;
  double low = 0.0, high = 1.0;
  // The tail falls as x grows: double until it is at most the tail asked for.
  while (StudentTTwoSidedTail(high, dof) > tail && std::isfinite(2.0 * high)) {
    low = high;
    high *= 2.0;
  }
  for (;;) {
    const double middle = low + (high - low) / 2.0;
    if (middle <= low || middle >= high) break;
    (StudentTTwoSidedTail(middle, dof) > tail ? low : high) = middle;
  }
  return high;
}

}  // namespace moravel
