#include "solvers/least_servers.h"

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"

namespace moravel {
namespace {

constexpr std::int32_t kLargestServers = 2147483646;

// The sizes a run may pass: the lower bound may sit below the answer by
// some tens of square roots (small targets), which the margin covers.
constexpr std::int64_t kLargestRun = 2 * kSolverStepBudget;

}  // namespace

ServersAnswer LeastErlangServers(double A, double target) {
  // The carried traffic A (1 - B) never exceeds V, so B(V) >= 1 - V/A: when
  // even the largest V leaves a bound clearly above the target (by a margin
  // far wider than the recursion's rounding), no V meets it.
  const double least = A * (1.0 - target) * (1.0 - 1e-3);
  if (static_cast<double>(kLargestServers) < least) return {SolverOutcome::kUnreachable, 0, 0.0};
  if (static_cast<double>(kSolverStepBudget) < least) return {SolverOutcome::kModelLimit, 0, 0.0};
  double B = 1.0;
  for (std::int32_t V = 1;; ++V) {
    B = ErlangLossStep(B, A, V);
    if (B <= target) return {SolverOutcome::kFound, V, B};
    if (V == kLargestServers) return {SolverOutcome::kUnreachable, 0, 0.0};
    if (V >= kLargestRun) return {SolverOutcome::kModelLimit, 0, 0.0};
  }
}

ServersAnswer LeastEngsetServers(std::int32_t N, double a, double target) {
  const double b = IdleSourceTraffic(a);
  // Carried traffic N b (1 - B) / (1 + b (1 - B)) <= V, rising as B falls.
  const double kept = b * (1.0 - target);
  const double least = static_cast<double>(N) * kept / (1.0 + kept) * (1.0 - 1e-3);
  if (static_cast<double>(kSolverStepBudget / kEngsetStepCost) < least) {
    return {SolverOutcome::kModelLimit, 0, 0.0};
  }
  double B = 1.0;
  for (std::int32_t V = 1;; ++V) {
    B = EngsetStep(B, N, b, V);
    if (B <= target) return {SolverOutcome::kFound, V, B};
    if (V == kLargestServers) return {SolverOutcome::kUnreachable, 0, 0.0};
    if (V >= kLargestRun / kEngsetStepCost) return {SolverOutcome::kModelLimit, 0, 0.0};
  }
}

}  // namespace moravel
