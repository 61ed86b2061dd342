#include "contact_centre/retrial_model.h"

#include <cmath>
#include <limits>

namespace moravel::contact {
namespace {

constexpr int kMostEvaluations = 200;

}  // namespace

RetrialOutcome RetrialModel(double A, double h, double p, std::int32_t n, std::int64_t places,
                            double t, double rb, double ra, double redial, RetrialFigures& out) {
  const bool delay_system =
      p == std::numeric_limits<double>::infinity() && places == kUnlimitedPlaces;
  int evaluations = 0;
  ContactCentreFigures figures{};
  // F(T) and the figures at T; false when the model declines T.
  RetrialOutcome declined = RetrialOutcome::kSolved;
  auto F = [&](double T, double& value) {
    ++evaluations;
    if (delay_system && !(T < static_cast<double>(n))) {
      declined = RetrialOutcome::kModelRefusesTotal;
      return false;
    }
    const auto f = ContactCentreModel(T, h, p, n, places, t);
    if (!f) {
      declined = RetrialOutcome::kOverflow;
      return false;
    }
    figures = *f;
    // The rates that leave for good: carried, and the losses not retried
    // (summed, not 1 - the retried share, which cancels at high totals).
    value = f->carried + T * ((1.0 - rb) * f->blocked_probability) +
            T * ((1.0 - ra) * f->abandon_probability) - A;
    return true;
  };
  double lo = A, f_lo = 0.0;
  if (!F(lo, f_lo)) return declined;
  // At T = A, F is exactly -A times the share retried: no retries, no
  // search (the sum of the rates would leave a rounding either way).
  f_lo = -A * (rb * figures.blocked_probability + ra * figures.abandon_probability);
  double T = A;
  if (f_lo < 0.0) {
    // Bracket: F(lo) < 0 <= F(hi).
    double hi = 2.0 * A, f_hi = 0.0;
    for (;;) {
      if (!(hi <= kLargestRetriedTraffic)) return RetrialOutcome::kDiverges;
      if (!F(hi, f_hi)) return declined;
      if (f_hi >= 0.0) break;
      lo = hi;
      f_lo = f_hi;
      hi *= 2.0;
    }
    int kept = 0;
    T = hi;
    // Secant steps (Illinois rule), every other one a bisection: the
    // bracket at least halves every two evaluations, whatever the noise in F.
    for (int step = 0; evaluations < kMostEvaluations && hi - lo > 1e-13 * hi; ++step) {
      double x = lo + (hi - lo) * (-f_lo / (f_hi - f_lo));
      if (step % 2 == 1 || !(x > lo && x < hi)) x = lo + (hi - lo) / 2;
      double fx = 0.0;
      if (!F(x, fx)) return declined;
      if (fx == 0.0) {
        lo = hi = x;
        break;
      }
      if (fx < 0.0) {
        lo = x;
        f_lo = fx;
        if (kept == -1) f_hi /= 2;
        kept = -1;
      } else {
        hi = x;
        f_hi = fx;
        if (kept == 1) f_lo /= 2;
        kept = 1;
      }
    }
    if (hi - lo > 1e-13 * hi) return RetrialOutcome::kDiverges;
    T = hi;
    double ignored = 0.0;
    if (!F(T, ignored)) return declined;
  }
  out.attempt = figures;
  out.offered_total = T;
  out.retry_traffic = T - A;
  const double retried = rb * figures.blocked_probability + ra * figures.abandon_probability;
  const double per_caller = 1.0 / (1.0 - retried);  // attempts per caller
  out.attempts_per_caller = A > 0.0 ? T / A : 1.0;
  const double answered = 1.0 - figures.blocked_probability - figures.abandon_probability;
  out.answered_share = answered * per_caller;
  out.blocked_share = (1.0 - rb) * figures.blocked_probability * per_caller;
  out.abandoned_share = (1.0 - ra) * figures.abandon_probability * per_caller;
  out.redialling = (T - A) * redial / h;
  return RetrialOutcome::kSolved;
}

}  // namespace moravel::contact
