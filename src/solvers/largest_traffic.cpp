#include "solvers/largest_traffic.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"
#include "single_service/waiting_model.h"
#include "solvers/bracketed_search.h"

namespace moravel {
namespace {

// Evaluations of a model of `cost` steps that the budget allows.
long EvaluationsWithin(std::int64_t budget, std::int64_t cost) {
  return static_cast<long>(budget / (cost > 0 ? cost : 1));
}

// A loss near 1 is flat across runs of doubles about 1 / (2 (1 - target))
// long, which only halving closes: a search plans that many more steps.
std::int64_t PlannedEvaluations(double target) {
  const double flat = target > 0.5 ? std::ceil(-std::log2(1.0 - target)) : 0.0;
  return kPlannedEvaluations + static_cast<std::int64_t>(flat);
}

bool PlannedSearchFits(std::int64_t cost, double target) {
  return cost <= kSolverStepBudget / PlannedEvaluations(target);
}

// ln B by Laplace's method on 1 / B = A \int_0^inf e^{-A x} (1 + x)^V dx
// (see ErlangTrafficEstimate).
double EstimatedLogLoss(double V, double A) {
  const double root = std::sqrt(V);
  if (A <= V) {
    // Around the exponent's peak at 1 + x = V / A, cut at x = 0.
    const double phi = 0.5 * std::erfc(-(V - A) / root / std::numbers::sqrt2);
    return -(0.5 * std::log(2.0 * std::numbers::pi * V) + V * std::log(V / A) - V + A +
             std::log(phi));
  }
  // From x = 0, where the exponent is -(A - V) x - V x^2 / 2 + ...:
  // 1 / B ~ A sqrt(2 pi / V) e^{w^2 / 2} Phi(-w), w = (A - V) / sqrt V,
  // which tends to A / (A - V) as w grows.
  const double w = (A - V) / root;
  const double tail = w < 20.0 ? std::log(0.5 * std::erfc(w / std::numbers::sqrt2)) + 0.5 * w * w
                               : -std::log(w * std::sqrt(2.0 * std::numbers::pi)) +
                                     std::log1p(-1.0 / (w * w) + 3.0 / (w * w * w * w));
  return -(std::log(A) + 0.5 * std::log(2.0 * std::numbers::pi / V) + tail);
}

// The answer from a start: steps out from it, doubling the step, until a
// bracket holds the target, then closes it.
template <class Function>
TrafficAnswer SearchFrom(Function&& F, double target, double start, double step, double lowest,
                         double highest, SecantScale scale, long most_evaluations) {
  long evaluations = 0;
  const auto counted = [&](double x) {
    ++evaluations;
    return F(x);
  };
  double lo = lowest, flo = 0.0, hi = highest, fhi = 0.0;
  bool have_lo = false, have_hi = false;
  const double f_start = counted(start);
  if (f_start <= target) {
    lo = start, flo = f_start, have_lo = true;
    for (double x = start + step; !have_hi; step *= 2, x = start + step) {
      if (!(x < highest)) x = highest;
      const double fx = counted(x);
      if (fx > target) {
        hi = x, fhi = fx, have_hi = true;
      } else if (x == highest) {
        return {SolverOutcome::kEveryTraffic, 0.0};
      } else {
        lo = x, flo = fx;
      }
    }
  } else {
    hi = start, fhi = f_start, have_hi = true;
    for (double x = start - step; !have_lo; step *= 2, x = start - step) {
      if (!(x > lowest)) x = lowest;
      const double fx = counted(x);
      if (fx <= target) {
        lo = x, flo = fx, have_lo = true;
      } else {
        hi = x, fhi = fx;
        if (x == lowest) return {SolverOutcome::kModelLimit, 0.0};  // F(lowest) above target
      }
    }
  }
  const auto found =
      LargestAtOrBelow(counted, target, lo, flo, hi, fhi, scale, most_evaluations - evaluations);
  if (!found) return {SolverOutcome::kModelLimit, 0.0};
  return {SolverOutcome::kFound, *found};
}

}  // namespace

double ErlangTrafficEstimate(std::int32_t servers, double target) {
  const auto V = static_cast<double>(servers);
  const double goal = std::log(target);
  // ln B rises with A: bisect ln A between 1e-300 and far past V / (1 - target).
  double lo = std::log(1e-300), hi = std::log(4.0 * V / (1.0 - target) + 10.0);
  for (int i = 0; i < 200 && hi - lo > 1e-12; ++i) {
    const double middle = 0.5 * (lo + hi);
    (EstimatedLogLoss(V, std::exp(middle)) > goal ? hi : lo) = middle;
  }
  return std::exp(0.5 * (lo + hi));
}

TrafficAnswer LargestErlangTraffic(std::int32_t V, double target) {
  if (!PlannedSearchFits(V, target)) return {SolverOutcome::kModelLimit, 0.0};
  const auto loss = [V](double A) { return PalmTable(V, A); };
  const double start = ErlangTrafficEstimate(V, target);
  // The loss turns from small to large over a few sqrt(V) erlangs around V;
  // the estimate is good to a fraction of that.
  const double scale = start > V ? start / V : 1.0;  // dA/dB grows as A^2 / V above V
  const double step = 0.05 * std::sqrt(static_cast<double>(V)) * scale * scale;
  return SearchFrom(loss, target, start, step, 0.0, std::numeric_limits<double>::max(),
                    SecantScale::kLogarithmic, EvaluationsWithin(2 * kSolverStepBudget, V));
}

TrafficAnswer LargestEngsetTraffic(std::int32_t N, std::int32_t V, double target) {
  const std::int64_t cost = kEngsetStepCost * V;
  if (!PlannedSearchFits(cost, target)) return {SolverOutcome::kModelLimit, 0.0};
  const auto loss = [N, V](double a) { return EngsetTable(N, V, a); };
  const double highest = std::nextafter(1.0, 0.0);
  if (!(loss(highest) > target)) return {SolverOutcome::kEveryTraffic, 0.0};
  // N sources of a erlangs offer about N a: start from the Poisson traffic
  // that V servers carry at the target, shared among the sources.
  const double start = std::min(ErlangTrafficEstimate(V, target) / static_cast<double>(N), 0.5);
  return SearchFrom(loss, target, start, 0.05 * start, 0.0, highest, SecantScale::kLogarithmic,
                    EvaluationsWithin(2 * kSolverStepBudget, cost) - 1);
}

TrafficAnswer LargestDelayTraffic(std::int32_t V, double h, double t, double target) {
  // A service level is not flat near its targets as a loss near 1 is.
  if (!PlannedSearchFits(V, 0.0)) return {SolverOutcome::kModelLimit, 0.0};
  // -SL rises with A: the search's nondecreasing function, against -target.
  const auto falling_service = [V, h, t](double A) {
    return -(1.0 - WaitingModel(t, h, V, A).wait_exceeds_threshold);
  };
  const double highest = std::nextafter(static_cast<double>(V), 0.0);
  // Start where the service level of the estimated loss (EstimatedLogLoss,
  // turned into C = B / (1 - (A / V)(1 - B))) meets the target: bisect A.
  const auto servers = static_cast<double>(V);
  const auto estimated_service = [&](double A) {
    const double B = std::min(1.0, std::exp(EstimatedLogLoss(servers, A)));
    const double C = std::min(1.0, B / (1.0 - (A / servers) * (1.0 - B)));
    return 1.0 - C * std::exp(-((servers - A) * t) / h);
  };
  double lo = 0.0, hi = highest;
  for (int i = 0; i < 80; ++i) {
    const double middle = 0.5 * (lo + hi);
    (estimated_service(middle) >= target ? lo : hi) = middle;
  }
  const double start = lo > 0.0 ? lo : 0.5 * highest;
  const double step = 0.05 * std::min(std::sqrt(servers), servers - start) + 1e-9 * servers;
  return SearchFrom(falling_service, -target, start, step, 0.0, highest, SecantScale::kLinear,
                    EvaluationsWithin(2 * kSolverStepBudget, V));
}

}  // namespace moravel
