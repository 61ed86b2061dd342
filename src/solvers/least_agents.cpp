#include "solvers/least_agents.h"

#include <cmath>

#include "formulas/erlang_loss.h"

namespace moravel {
namespace {

constexpr std::int32_t kLargestAgents = 2147483646;

bool Meets(const WaitingCharacteristics& w, StaffingGoal goal, double target) {
  switch (goal) {
    case StaffingGoal::kServiceLevel: return 1.0 - w.wait_exceeds_threshold >= target;
    case StaffingGoal::kMeanWait: return w.mean_wait <= target;
    case StaffingGoal::kWaitProbability: return w.wait_probability <= target;
  }
  return false;
}

}  // namespace

AgentsAnswer LeastAgents(double A, double h, double t, StaffingGoal goal, double target) {
  if (!(A < static_cast<double>(kLargestAgents))) return {SolverOutcome::kUnreachable, 0, {}};
  if (!(A <= static_cast<double>(kSolverStepBudget))) return {SolverOutcome::kModelLimit, 0, {}};
  // The first count above the traffic: below it the queue grows without end.
  const auto first = static_cast<std::int32_t>(std::floor(A)) + 1;
  double B = 1.0;
  for (std::int32_t V = 1; V < first; ++V) B = ErlangLossStep(B, A, V);
  for (std::int32_t V = first;; ++V) {
    B = ErlangLossStep(B, A, V);
    const WaitingCharacteristics w = WaitingFromLoss(t, h, V, A, B);
    if (Meets(w, goal, target)) return {SolverOutcome::kFound, V, w};
    if (V == kLargestAgents) return {SolverOutcome::kUnreachable, 0, {}};
    if (V >= 2 * kSolverStepBudget) return {SolverOutcome::kModelLimit, 0, {}};
  }
}

}  // namespace moravel
