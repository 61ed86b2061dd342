#include "multiservice/link_group_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "multiservice/acceptance_factor.h"
#include "multiservice/group_input.h"
#include "multiservice/group_limits.h"
#include "multiservice/occupancy_distribution.h"

namespace moravel {

std::optional<ClassResults> LinkGroupModel(const double* a, std::int32_t M, const double* t,
                                           std::int32_t k, std::int32_t f) {
  if (!IsComputableGroup(a, M, t, k, f)) return std::nullopt;
  ClassResults results{a, t, k, f, std::nullopt, {}, {}};
  const auto classes = static_cast<std::size_t>(M);
  results.E.resize(classes);
  results.C.resize(classes);
  if (classes == 0) return results;
  std::vector<std::int64_t> demands = DistinctDemands(t, M);
  if (!IsAffordable(k, f, LinkGroupCost(k, f, M, demands))) return std::nullopt;

  const AcceptanceTables tables = TabulateAcceptance(t, M, k, f, std::move(demands));
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f, tables);
  const auto V = static_cast<std::size_t>(k * f);

  // The blocking depends on the class only through its demand count.  Where
  // the refusing share is 0 the term is a zero, and adding a zero leaves the
  // sum as it is (a sum that starts from 0.0 is never -0.0), so only the n
  // with a refusing share are added, still in ascending n.  That needs
  // finite Q: 0 times an infinity would be NaN.  A class wider than a link
  // is refused in every state: its blocking is 1 exactly, not the sum of Q.
  const bool finite = std::all_of(Q.begin(), Q.end(), [](double q) { return std::isfinite(q); });
  std::vector<double> blocking(tables.demands.size(), 0.0);
  for (std::size_t j = 0; j < blocking.size(); ++j) {
    if (tables.demands[j] > f) {
      blocking[j] = 1.0;
      continue;
    }
    // A refusing share at V - n needs V - n <= last_refusing.
    const auto first =
        finite ? static_cast<std::size_t>(static_cast<std::int64_t>(V) - tables.last_refusing[j])
               : std::size_t{0};
    const std::vector<double>& refusal = tables.refusals[j];
    double E = 0.0;
    for (std::size_t n = first; n <= V; ++n) E += refusal[V - n] * Q[n];
    blocking[j] = E;
  }
  // The accepting share sum of sigma(V - n) Q[n], where 1 - E has lost its
  // digits.
  const auto accepting = [&](std::size_t j) {
    if (tables.demands[j] > f) return 0.0;
    const std::vector<double>& sigma = tables.factors[j];
    double share = 0.0;
    for (std::size_t n = 0; n <= V; ++n) share += sigma[V - n] * Q[n];
    return share;
  };
  SetBlockingAndCarried(results, blocking, tables.table_of_class, accepting);
  return results;
}

}  // namespace moravel
