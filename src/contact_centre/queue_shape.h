// The shape of the queue seen by an arriving call, in the time domain.
//
// Agents n, offered traffic A [erlang], abandonment rate theta = h / p per
// mean handling time (0 when callers never hang up), and m = L - n places
// to wait (m = 0 for no limit).  Time u is in mean handling times.  Every
// figure of the contact-centre model is an integral over u >= 0 of
//
//   g(u) = exp(Psi(u)),  Psi(u) = -n u + log sum_{i < m} X(u)^i / i!,
//   X(u) = A (1 - e^{-theta u}) / theta   (A u when theta = 0),
//
// times a simple kernel (the sum is e^{X(u)} without a line limit).  Psi is
// concave, so g has one peak; the shape gives Delta(u) = Psi(u) - Psi(u*)
// relative to the peak u*, computed so that the large terms of Psi never
// meet in a difference: without a limit in closed form,
//
//   A <= n:  Delta(u) = -u (n h1(theta u) + (n - A) h2(theta u)),
//   A > n:   u* = log1p((A - n) / n) / theta,
//            Delta(u) = -n (u - u*) h1(theta (u - u*)),
//
// with h1(y) = (y + expm1(-y)) / y and h2(y) = -expm1(-y) / y, both by
// series near 0; with a limit, from the differences X(u) - X(u*) and the
// gamma tails of gamma_tails.h, the peak found by golden sections.
#ifndef MORAVEL_CONTACT_CENTRE_QUEUE_SHAPE_H
#define MORAVEL_CONTACT_CENTRE_QUEUE_SHAPE_H

#include <cstdint>

#include "contact_centre/gamma_tails.h"

namespace moravel::contact {

// (y + expm1(-y)) / y and -expm1(-y) / y, both continuous at y = 0.
double H1(double y);
double H2(double y);

class QueueShape {
 public:
  // n >= 1; A finite and above 0; theta finite and >= 0; places m >= 0
  // (0: no limit, which with theta = 0 needs A < n).
  QueueShape(double n, double A, double theta, std::int64_t places);

  double Delta(double u) const;
  // Delta(u), and the ratio of the last queue place's term to the sum,
  // (X^m / m!) / sum_{i < m} X^i / i! (0 without a limit): the integral of
  // g times this ratio is the last place's share, so that it comes out in
  // the scale of the others without meeting log-sizes of order m.
  // `gone` is 1 - e^{-theta u} (= -expm1(-theta u)), which the kernels
  // need too.
  struct Point {
    double delta;
    double last_ratio;
    double gone;
  };
  Point Evaluate(double u) const;
  double Peak() const { return peak_; }
  // Psi(u*), the logarithm of the peak itself.
  double LogPeak() const { return log_peak_; }
  // Delta at or below `floor` for every u above the returned point.
  double UpperEnd(double floor) const;
  // Delta at or below `floor` for every u below the returned point (0 when
  // Delta(0) is above it).
  double LowerEnd(double floor) const;

 private:
  double X(double u) const;
  // X(u) - X(v), without cancellation.
  double XDifference(double u, double v) const;
  Point Limited(double u) const;

  double n_, A_, theta_;
  std::int64_t places_;
  double peak_ = 0.0;
  double log_peak_ = 0.0;
  // The peak's parts, for the limited shape.
  double peak_x_ = 0.0;
  PoissonSumLog peak_sum_{true, 0.0};
  double scale_ = 1.0;  // a width near the peak, where searches start
};

}  // namespace moravel::contact

#endif
