#include "contact_centre/gamma_tails.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "contact_centre/elementary_functions.h"

namespace moravel::contact {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// mu(b) = log Gamma(b + 1) - ((b + 1/2) log b - b + log(2 pi) / 2): the
// Stirling series, to b^-15 (below 1e-17 for b >= 10).
double StirlingCorrection(double b) {
  const double r = 1.0 / b;
  const double r2 = r * r;
  constexpr double c[] = {1.0 / 12.0,   -1.0 / 360.0,      1.0 / 1260.0, -1.0 / 1680.0,
                          1.0 / 1188.0, -691.0 / 360360.0, 1.0 / 156.0,  -3617.0 / 122400.0};
  double sum = c[7];
  for (int k = 6; k >= 0; --k) sum = sum * r2 + c[k];
  return sum * r;
}

// P(m, x) = e^-x x^m / m! sum_k x^k / ((m+1)...(m+k)), for x <= m: the
// terms fall at least as fast as x / (m + k) does.
double LowerRegularised(double m, double x) {
  double term = 1.0;
  double sum = 1.0;
  for (double k = 1.0;; k += 1.0) {
    term *= x / (m + k);
    sum += term;
    if (term <= sum * 1e-17) break;
  }
  return Exp(LogGammaPrefix(m, x)) * sum;
}

// x F with Q(m, x) = e^-x x^m F / Gamma(m), by the modified Lentz method on
// the continued fraction 1 / (x + 1 - m - 1 (1 - m) / (x + 3 - m - ...)).
double UpperFraction(double m, double x) {
  constexpr double kTiny = 1e-300;
  double b = x + 1.0 - m;
  double c = 1.0 / kTiny;
  double d = 1.0 / b;
  double h = d;
  for (double i = 1.0; i < 1e9; i += 1.0) {
    const double an = -i * (i - m);
    b += 2.0;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double delta = d * c;
    h *= delta;
    // One ulp of 1 either side: far above m (x near 2^60, say) b + 2 and
    // an d + b round to b, and delta settles at 1 - 2^-53 for ever.
    if (std::fabs(delta - 1.0) <= std::numeric_limits<double>::epsilon()) break;
  }
  return x * h;
}

}  // namespace

double LogFactorial(double k) {
  if (k <= 22.0) {
    // k! itself is a double up to 22! (its odd part below 2^53).
    double factorial = 1.0;
    for (double i = 2.0; i <= k; i += 1.0) factorial *= i;
    return Log(factorial);
  }
  // Stirling: (k + 1/2) log k - k + log(2 pi) / 2 + mu(k).  The first two
  // terms are large and of one size: the product is kept exact in two
  // doubles from log k in two, the difference with k exact in two, so
  // that only the final sum rounds at the result's size.
  constexpr double kHalfLogTwoPi = 0.91893853320467274178;
  const double b = k + 0.5;
  const DoubleDouble log_k = LogExtended(k);
  const DoubleDouble product = ExactProduct(b, log_k.high);
  const DoubleDouble head = ExactSum(product.high, -k);
  const double rest =
      head.low + product.low + b * log_k.low + (kHalfLogTwoPi + StirlingCorrection(k));
  return head.high + rest;
}

double LogOnePlusDefect(double d) {
  if (std::fabs(d) < 0.125) {
    // d^2 (1/2 - d/3 + d^2/4 - ...), to d^22 (|d|^k / k below 1e-17 of
    // d^2 / 2 from k = 22 on), by Horner.
    double sum = 0.0;
    for (int k = 24; k >= 2; --k) sum = sum * -d + 1.0 / k;
    return sum * d * d;
  }
  return d - Log1p(d);
}

double LogGammaPrefix(double b, double x) {
  if (x == 0.0) return b == 0.0 ? 0.0 : -kInfinity;
  if (b < 10.0) return b * Log(x) - x - LogFactorial(b);
  const double d = (x - b) / b;
  // Far below b, 1 + d = x / b would lose digits: b log(x / b) + (b - x)
  // is then free of cancellation (the first term dominates).
  const double exponent = d < -0.5 ? b * Log(x / b) + (b - x) : -b * LogOnePlusDefect(d);
  return exponent - 0.5 * Log(2.0 * std::numbers::pi * b) - StirlingCorrection(b);
}

PoissonSumLog LogPoissonSum(std::int64_t m, double x) {
  const auto shape = static_cast<double>(m);
  if (x <= shape) return {true, Log1p(-LowerRegularised(shape, x))};
  return {false, Log(UpperFraction(shape, x))};
}

double LogPoissonSumValue(std::int64_t m, double x, const PoissonSumLog& parts) {
  if (parts.lower) return x + parts.tail;
  const auto shape = static_cast<double>(m);
  return (shape - 1.0) * Log(x) - LogFactorial(shape - 1.0) + parts.tail;
}

}  // namespace moravel::contact
