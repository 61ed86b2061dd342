#include "contact_centre/abandonment_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "contact_centre/elementary_functions.h"
#include "contact_centre/kernel_quadrature.h"
#include "contact_centre/queue_shape.h"
#include "formulas/erlang_loss.h"
#include "single_service/waiting_model.h"

namespace moravel::contact {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Below the peak, where the weight is e^-800 of its peak or less, nothing
// it adds reaches 1e-300 of any figure (the calls answered or hanging up
// early come from there, however rare).  Beyond the peak no kernel grows
// faster than u, so e^-60 of the peak ends what matters to 1e-16.
constexpr double kFloor = -800.0;
constexpr double kTailFloor = -60.0;
// The weight is integrated as e^(Delta + kLift): its tails stay normal
// doubles down to e^-700 of the peak.
constexpr double kLift = 64.0;
// On QUADPACK's damped estimate, which overstates the 15-point rule's error on
// these smooth weights by many orders: the references agree to 1e-13.
constexpr double kTolerance = 1e-12;
constexpr std::size_t kMaxPieces = 600;

ContactCentreFigures NoQueue(double A, double n) {
  ContactCentreFigures f{};
  f.service_level = 1.0;
  f.service_level_excluding_short_abandons = 1.0;
  f.carried = A;
  f.occupancy = A / n;
  return f;
}

// Callers who never hang up and no line limit: the delay system, whose
// figures come from its own arithmetic (B(n) one recursion step on), so
// that they are the delay system's bits; the others follow from them, as
// nobody hangs up and nobody is blocked.
ContactCentreFigures DelaySystem(double A, double h, std::int32_t V, double t, double B) {
  const WaitingCharacteristics w = WaitingFromLoss(t, h, V, A, ErlangLossStep(B, A, V));
  ContactCentreFigures f{};
  f.wait_probability = w.wait_probability;
  f.service_level = 1.0 - w.wait_exceeds_threshold;
  f.service_level_excluding_short_abandons = f.service_level;
  f.mean_answer_wait = w.mean_wait;
  f.mean_wait = w.mean_wait;
  f.queue_length = w.mean_queue_length;
  f.carried = A;
  f.occupancy = A / static_cast<double>(V);
  return f;
}

}  // namespace

std::optional<ContactCentreFigures> ContactCentreModel(double A, double h, double p, std::int32_t V,
                                                       std::int64_t places, double t) {
  // The server side: B(n - 1) by the Erlang B recursion.
  double B = 1.0;
  for (std::int32_t k = 1; k < V; ++k) B = ErlangLossStep(B, A, k);
  return ContactCentreFromLoss(A, h, p, V, places, t, B);
}

std::optional<ContactCentreFigures> ContactCentreFromLoss(double A, double h, double p,
                                                          std::int32_t V, std::int64_t places,
                                                          double t, double B) {
  const double n = static_cast<double>(V);
  const double theta = p == kInfinity ? 0.0 : h / p;
  if (!std::isfinite(theta) || (p != kInfinity && theta == 0.0)) return std::nullopt;
  if (p == kInfinity && places == kUnlimitedPlaces) return DelaySystem(A, h, V, t, B);
  if (A == 0.0) return NoQueue(A, n);
  // (1 - B(n)) / B(n) = n / (A B(n - 1)), without a difference.
  const double tB = A * B;
  if (tB == 0.0) return NoQueue(A, n);

  if (places == 0) {
    // L = n: the loss system, B(n) = tB / (n + tB) blocked, the rest answered at once.
    ContactCentreFigures f{};
    f.blocked_probability = tB / (n + tB);
    const double answered = n / (n + tB);
    f.service_level = answered;
    f.service_level_excluding_short_abandons = answered;
    // Never above the agents, whatever the rounding.
    f.carried = std::min(A * answered, n);
    f.occupancy = f.carried / n;
    return f;
  }
  const bool limited = places != kUnlimitedPlaces;
  const QueueShape shape(n, A, theta, limited ? places : 0);
  if (!std::isfinite(shape.LogPeak()) || !std::isfinite(shape.Peak())) return std::nullopt;
  const double lift = shape.LogPeak() - kLift + Log(n);
  const double log_immediate = Log(n) - Log(tB) - lift;

  const double tu = t / h;
  const double lo = shape.LowerEnd(kFloor);
  const double hi = shape.UpperEnd(kTailFloor);
  if (!std::isfinite(hi)) return std::nullopt;
  std::vector<double> cuts{lo, hi};
  if (shape.Peak() > lo && shape.Peak() < hi) cuts.push_back(shape.Peak());
  if (tu > lo && tu < hi) cuts.push_back(tu);
  std::sort(cuts.begin(), cuts.end());

  // Beyond t the kernels cut at t are constants.
  const double gone_by_t = -Expm1(-theta * tu);
  const double left_at_t = Exp(-theta * tu);
  const KernelValues I = IntegrateKernels(
      [&](double u, KernelValues& k) {
        const QueueShape::Point point = shape.Evaluate(u);
        const double w = Exp(point.delta + kLift);
        const double y = theta * u;
        const double gone = point.gone;  // 1 - e^{-theta u}, hung up by u
        const double e = y < 0.5 ? 1.0 - gone : Exp(-y);
        const bool early = u < tu;
        k[0] = w;                                     // waits
        k[1] = w * e;                                 // answered after waiting
        k[2] = early ? w * e : 0.0;                   // ... at most t
        k[3] = w * u * e;                             // their waits
        k[4] = w * (theta > 0.0 ? gone / theta : u);  // time spent waiting, all calls
        k[5] = w * (early ? gone : gone_by_t);        // hung up within t
        k[6] = w * (early ? e : left_at_t);           // waiting, not hung up within t
        k[7] = w * point.last_ratio;                  // the last line's share
      },
      cuts, kTolerance, kMaxPieces);

  // pi_n n e^{Psi(u*)} = 1 / (e^{log_immediate} + I0 + e^{log_last}), all
  // in the scale of the lifted integrals.
  const double log_wait = Log(I[0]);
  const double log_last = limited && I[7] > 0.0 ? Log(I[7]) : -kInfinity;
  const double top = std::max({log_immediate, log_wait, log_last});
  const double norm = Exp(log_immediate - top) + Exp(log_wait - top) + Exp(log_last - top);
  auto share = [&](double integral) {
    return integral > 0.0 ? Exp(Log(integral) - top) / norm : 0.0;
  };
  const double immediate = Exp(log_immediate - top) / norm;
  ContactCentreFigures f{};
  f.wait_probability = share(I[0]);
  f.blocked_probability = !limited ? 0.0 : Exp(log_last - top) / norm;
  const double answered_waiting = share(I[1]);
  const double waiting_time = share(I[4]);
  f.abandon_probability = theta * waiting_time;
  f.abandon_within_answer_time = share(I[5]);
  f.service_level = immediate + share(I[2]);
  f.service_level_excluding_short_abandons =
      f.service_level / (immediate + f.blocked_probability + share(I[6]));
  const double answered = immediate + answered_waiting;
  // The mean wait of answered calls as a ratio of unnormalised terms, which
  // holds even where both shares underflow.
  const double answered_lifted = Exp(log_immediate - top) + Exp(Log(I[1]) - top);
  f.mean_answer_wait = answered_lifted > 0.0 ? h * (Exp(Log(I[3]) - top) / answered_lifted)
                       : I[1] > 0.0          ? h * (I[3] / I[1])
                                             : 0.0;
  f.mean_wait = h * waiting_time;
  f.queue_length = A * waiting_time;
  // Never above the agents, whatever the rounding.
  f.carried = std::min(A * answered, n);
  f.occupancy = f.carried / n;
  for (double x : {f.wait_probability, f.blocked_probability, f.abandon_probability,
                   f.service_level, f.service_level_excluding_short_abandons, f.mean_answer_wait,
                   f.mean_wait, f.queue_length, f.occupancy}) {
    if (!std::isfinite(x)) return std::nullopt;
  }
  return f;
}

}  // namespace moravel::contact
