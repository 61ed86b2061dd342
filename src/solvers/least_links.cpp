#include "solvers/least_links.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

namespace moravel {
namespace {

// Judges each size by the model's blocking and keeps the blocking of the
// least size that met the target, which the search ends on.
template <class Model>
LinksAnswer SearchLinks(std::int32_t first, std::int32_t f, double target, Model&& model) {
  const std::int32_t last = std::numeric_limits<std::int32_t>::max() / f;
  LinksAnswer answer{SizeOutcome::kUnreachable, 0, {}};
  if (first > last) return answer;
  std::int32_t best = std::numeric_limits<std::int32_t>::max();
  const auto judge = [&](std::int32_t k) {
    const std::optional<ClassResults> results = model(k);
    if (!results) return SizeVerdict::kOverflow;
    bool meets = true;
    for (const double E : results->E) {
      // NaN, infinities and blockings outside [0, 1] (beyond the rounding
      // of a sum of probabilities) come from values that left the doubles
      // or counts that lost their digits.
      if (!(E >= 0.0 && E <= 1.0 + 1e-9)) return SizeVerdict::kOverflow;
      if (!(E <= target)) meets = false;
    }
    if (!meets) return SizeVerdict::kFails;
    if (k < best) {
      best = k;
      answer.blocking = results->E;
    }
    return SizeVerdict::kMeets;
  };
  const SizeSearchResult found = LeastMeetingSize(first, last, judge);
  answer.outcome = found.outcome;
  answer.links = found.size;
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
  return SearchLinks(FewestPossibleLinks(a, M, t, f, target), f, target,
                     [&](std::int32_t k) { return LinkGroupModel(a, M, t, k, f); });
}

LinksAnswer LeastLinkSubsetLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                 std::int32_t g, double target) {
  return SearchLinks(g, f, target,
                     [&](std::int32_t k) { return LinkSubsetModel(a, M, t, k, f, g); });
}

}  // namespace moravel
