#include "solvers/least_priority_servers.h"

#include <cmath>

#include "single_service/priority_model.h"
#include "solvers/solver_budget.h"
#include "study/sound_probability.h"

namespace moravel {

PriorityServersAnswer LeastPriorityServers(std::int32_t N, const double* a, double target) {
  constexpr std::int32_t kLargestServers = 2147483646;  // the recursions form V + 1
  PriorityServersAnswer answer{SizeOutcome::kUnreachable, 0, {}};
  std::int32_t best = kLargestServers + 1;
  std::int64_t spent = 0;
  const auto judge = [&](std::int32_t V) {
    const std::int64_t cost = std::int64_t{V} * N;
    if (spent + cost > kSolverStepBudget) {
      answer.over_budget = true;
      return SizeVerdict::kOverflow;
    }
    spent += cost;
    const auto results = PriorityModel(N, V, a);
    if (!results) return SizeVerdict::kOverflow;
    bool meets = true;
    for (std::size_t j = 0; j < results->E.size(); ++j) {
      if (!IsSoundProbability(results->E[j]) || !std::isfinite(results->Y[j])) {
        return SizeVerdict::kOverflow;
      }
      if (!(results->E[j] <= target)) meets = false;
    }
    if (!meets) return SizeVerdict::kFails;
    if (V < best) {
      best = V;
      answer.loss = results->E;
    }
    return SizeVerdict::kMeets;
  };
  const SizeSearchResult found = LeastMeetingSize(1, kLargestServers, judge);
  answer.outcome = answer.over_budget ? SizeOutcome::kOverflow : found.outcome;
  answer.servers = found.size;
  return answer;
}

}  // namespace moravel
