#include "solvers/least_links.h"

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

}  // namespace

LinksAnswer LeastLinkGroupLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                double target) {
  return SearchLinks(1, f, target, [&](std::int32_t k) { return LinkGroupModel(a, M, t, k, f); });
}

LinksAnswer LeastLinkSubsetLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                 std::int32_t g, double target) {
  return SearchLinks(g, f, target,
                     [&](std::int32_t k) { return LinkSubsetModel(a, M, t, k, f, g); });
}

}  // namespace moravel
