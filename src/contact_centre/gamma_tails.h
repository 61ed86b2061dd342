// Tails of the gamma distribution in logarithms, for arguments far beyond
// where x^b e^-x / Gamma(b + 1) or the partial exponential sums stay within
// the doubles.
#ifndef MORAVEL_CONTACT_CENTRE_GAMMA_TAILS_H
#define MORAVEL_CONTACT_CENTRE_GAMMA_TAILS_H

#include <cstdint>

namespace moravel::contact {

// d - log(1 + d) for d > -1, without the cancellation of the plain
// difference near d = 0 (a series there).  It is the exponent that makes
// the gamma prefix below stable: b (d - log1p d) with d = x / b - 1.
double LogOnePlusDefect(double d);

// log k! = log Gamma(k + 1) for a whole k >= 0 (up to 2^52), within about
// an ulp: k! itself below 23, else Stirling's series with its two large
// terms carried in two doubles.
double LogFactorial(double k);

// log(x^b e^-x / Gamma(b + 1)) for a whole b >= 0, x >= 0 (-inf at x = 0 < b).
// For b >= 10, as -b (d - log1p d) - log(2 pi b) / 2 - mu(b), with
// d = (x - b) / b and mu the Stirling correction of log Gamma(b + 1): no
// large terms cancel, so the error is a few ulps of the result's own size.
double LogGammaPrefix(double b, double x);

// log(sum_{i < m} x^i / i!) = x + log Q(m, x), for m >= 1 and x >= 0, in the
// form that suits the caller's differences:
//  - for x <= m, `lower` is true and `tail` = log Q(m, x) = log1p(-P(m, x))
//    (P by its series; Q >= 1/2 there, so nothing cancels): the sum's log
//    is x + tail;
//  - for x > m, `lower` is false and `tail` = log(x F), where F is the
//    continued fraction of the upper tail, Q(m, x) = e^-x x^m F / (m-1)!:
//    the sum's log is (m - 1) log x - log (m - 1)! + tail, and tail lies
//    between 0 and log m.
struct PoissonSumLog {
  bool lower;
  double tail;
};
PoissonSumLog LogPoissonSum(std::int64_t m, double x);

// The sum's log itself from the parts above.
double LogPoissonSumValue(std::int64_t m, double x, const PoissonSumLog& parts);

}  // namespace moravel::contact

#endif
