#include "multiservice/link_subset_model.h"

#include <algorithm>
#include <cmath>

#include "multiservice/acceptance_factor.h"
#include "multiservice/arrangements.h"
#include "multiservice/group_input.h"
#include "multiservice/occupancy_distribution.h"

namespace moravel {
namespace {

// The blocking of a class of whole demand d <= f.  `all` and `rest` hold
// Arrangements(x, k, f, 0) and Arrangements(x, k - g, f, 0) for x = 0..V;
// `subset_links` has the coefficients of counts over the g links; `finite`
// says whether every Q[n] is finite.
double SubsetBlocking(std::int64_t d, std::int32_t k, std::int32_t f, std::int32_t g,
                      const std::vector<double>& Q, const std::vector<double>& all,
                      const std::vector<double>& rest,
                      const ArrangementCoefficients& subset_links, bool finite) {
  const std::int64_t V = std::int64_t{k} * f;
  const std::int64_t m = f - d + 1;  // 1..f+1
  if (m > V) return 0.0;
  const std::int64_t low = m * g;  // fewest units on the subset that block it
  const std::int64_t high = std::int64_t{f} * g;

  // beta[n] for n = m..V.  For n >= low, beta(n) sums w = low..min(n, high)
  // in ascending w; below low (or with low > high, demand 0) it is 0.  The
  // loops run w outside and n inside: each beta[n] still receives its terms
  // in ascending w, exactly as a sum over w per n would, but neighbouring n
  // no longer wait for each other's additions.
  std::vector<double> beta(static_cast<std::size_t>(V - m + 1), 0.0);
  if (low <= high) {
    const std::vector<double> subset =
        TabulateArrangements(subset_links, f, static_cast<std::int32_t>(m),
                             static_cast<std::int32_t>(low), static_cast<std::int32_t>(high));
    for (std::int64_t w = low; w <= high; ++w) {
      const double on_subset = subset[static_cast<std::size_t>(w - low)];
      // n >= w, and n >= m (which only g = 0 does not already imply).
      for (auto n = static_cast<std::size_t>(std::max(w, m)); n <= static_cast<std::size_t>(V);
           ++n) {
        beta[n - static_cast<std::size_t>(m)] +=
            (on_subset * rest[n - static_cast<std::size_t>(w)]) / all[n];
      }
    }
  }
  // beta = 0 below `low` (everywhere when low > high): those terms are
  // zeros as long as Q is finite, and adding a zero leaves the sum as it is
  // (a sum that starts from 0.0 is never -0.0).
  const std::int64_t first = !finite ? m : low <= high ? std::max(m, low) : V + 1;
  double E = 0.0;
  for (std::int64_t n = first; n <= V; ++n) {
    E += beta[static_cast<std::size_t>(n - m)] * Q[static_cast<std::size_t>(n)];
  }
  return E;
}

}  // namespace

std::optional<ClassResults> LinkSubsetModel(const double* a, std::int32_t M, const double* t,
                                            std::int32_t k, std::int32_t f, std::int32_t g) {
  if (!IsComputableSubset(a, M, t, k, f, g)) return std::nullopt;
  ClassResults results{a, t, k, f, g, {}, {}};
  const auto classes = static_cast<std::size_t>(M);
  results.E.resize(classes);
  results.C.resize(classes);
  if (classes == 0) return results;

  const AcceptanceTables tables = TabulateAcceptance(t, M, k, f);
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f, tables);
  const std::int32_t V = k * f;
  const std::vector<double> rest =
      TabulateArrangements(TabulateCoefficients(k - g, V), f, 0, 0, V);
  const ArrangementCoefficients subset_links = TabulateCoefficients(g, f * g);
  const bool finite = std::all_of(Q.begin(), Q.end(), [](double q) { return std::isfinite(q); });

  // The blocking depends on the class only through its demand count.
  std::vector<double> blocking(tables.demands.size());
  for (std::size_t j = 0; j < blocking.size(); ++j) {
    const std::int64_t d = tables.demands[j];
    blocking[j] = d > f ? 1.0
                        : SubsetBlocking(d, k, f, g, Q, tables.placements, rest, subset_links,
                                         finite);
  }
  SetBlockingAndCarried(results, blocking, tables.table_of_class);
  return results;
}

}  // namespace moravel
