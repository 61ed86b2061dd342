#include "solvers/least_links.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "multiservice/class_results.h"
#include "multiservice/group_limits.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

namespace moravel {
namespace {

// Judges each size by the model's blocking and keeps the blocking of the
// least size that met the target, which the search ends on.  cost(k) is the
// model's estimate at k links; the evaluations together stay within
// kMaxSearchSteps.
template <class Cost, class Model>
LinksAnswer SearchLinks(std::int32_t first, std::int32_t f, double target, Cost&& cost,
                        Model&& model) {
  const std::int32_t last = std::numeric_limits<std::int32_t>::max() / f;
  LinksAnswer answer{LinksOutcome::kUnreachable, 0, {}};
  if (first > last) return answer;
  std::int32_t best = std::numeric_limits<std::int32_t>::max();
  double spent = 0.0;    // estimated steps of the evaluations so far
  bool limited = false;  // a size was out of the model's or the search's reach
  const auto judge = [&](std::int32_t k) {
    const GroupCost estimate = cost(k);
    if (!IsAffordable(k, f, estimate) || spent + estimate.steps > kMaxSearchSteps) {
      limited = true;
      return SizeVerdict::kOverflow;
    }
    spent += estimate.steps;
    const std::optional<ClassResults> results = model(k);
    if (!results) {
      limited = true;
      return SizeVerdict::kOverflow;
    }
    bool meets = true;
    for (const double E : results->E) {
      // NaN, infinities and blockings outside [0, 1] (beyond the rounding
      // of a sum of probabilities) come from values that left the doubles
      // or counts that lost their digits.
      if (!IsSoundBlocking(E)) return SizeVerdict::kOverflow;
      if (!(E <= target)) meets = false;
    }
    if (!meets) return SizeVerdict::kFails;
    if (k < best) {
      best = k;
      answer.blocking = results->E;
    }
    return SizeVerdict::kMeets;
  };
  // The answer lies a few percent above the start at most sizes, so the
  // gallop's first step is a 64th of it: fewer evaluations, each costing
  // about as much as the next.
  const SizeSearchResult found =
      LeastMeetingSize(first, last, judge, std::max<std::int64_t>(1, first / 64));
  switch (found.outcome) {
    case SizeOutcome::kFound: answer.outcome = LinksOutcome::kFound; break;
    case SizeOutcome::kUnreachable: answer.outcome = LinksOutcome::kUnreachable; break;
    case SizeOutcome::kOverflow:
      answer.outcome = limited ? LinksOutcome::kModelLimit : LinksOutcome::kOverflow;
      break;
  }
  answer.links = found.size;
  answer.steps = spent;
  if (found.outcome != SizeOutcome::kFound) answer.blocking.clear();
  return answer;
}

// The link group's carried traffic, sum of t_i a_i (1 - E_i), is its mean
// occupancy, at most k f units: where every E_i <= target it is at least
// (1 - target) sum t_i a_i.  Fewer links than that bound cannot meet the
// target, so the search starts just below it (a relative 1e-6 below, far
// beyond the models' rounding).
std::int32_t FewestPossibleLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                 double target) {
  double offered = 0.0;  // units
  for (std::int32_t i = 0; i < M; ++i) offered += t[i] * a[i];
  const double bound = (1.0 - target) * offered / f * (1.0 - 1e-6);
  const double last = static_cast<double>(std::numeric_limits<std::int32_t>::max() / f);
  if (!(bound >= 1.0)) return 1;
  return static_cast<std::int32_t>(std::min(std::floor(bound), last));
}

}  // namespace

LinksAnswer LeastLinkGroupLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                double target) {
  const std::vector<std::int64_t> demands = DistinctDemands(t, M);
  return SearchLinks(
      FewestPossibleLinks(a, M, t, f, target), f, target,
      [&](std::int32_t k) { return LinkGroupCost(k, f, M, demands); },
      [&](std::int32_t k) { return LinkGroupModel(a, M, t, k, f); });
}

LinksAnswer LeastLinkSubsetLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                 std::int32_t g, double target) {
  const std::vector<std::int64_t> demands = DistinctDemands(t, M);
  return SearchLinks(
      std::max(g, FewestPossibleLinks(a, M, t, f, target)), f, target,
      [&](std::int32_t k) { return LinkSubsetCost(k, f, g, M, demands); },
      [&](std::int32_t k) { return LinkSubsetModel(a, M, t, k, f, g); });
}

}  // namespace moravel
