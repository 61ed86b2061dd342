#include "multiservice/link_subset_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "multiservice/acceptance_factor.h"
#include "multiservice/arrangements.h"
#include "multiservice/composition_counts.h"
#include "multiservice/group_input.h"
#include "multiservice/group_limits.h"
#include "multiservice/occupancy_distribution.h"

namespace moravel {
namespace {

// A class's blocking and, where 1 - E has lost its digits, its accepting
// share counted directly (NaN elsewhere: not asked for).
struct SubsetShares {
  double blocking = 0.0;
  double accepting = std::numeric_limits<double>::quiet_NaN();
};

// E = sum over n = first..V of beta[n - m] Q[n], in ascending n from 0.0;
// where 1 - E < 2^-20 also the accepting share, sum over n = 0..V of
// (1 - beta(n)) Q[n] in ascending n, with beta(n) = 0 below m.
SubsetShares Blocking(const std::vector<double>& beta, std::int64_t m, std::int64_t first,
                      const std::vector<double>& Q) {
  const auto V = static_cast<std::int64_t>(Q.size()) - 1;
  SubsetShares shares;
  double E = 0.0;
  for (std::int64_t n = first; n <= V; ++n) {
    E += beta[static_cast<std::size_t>(n - m)] * Q[static_cast<std::size_t>(n)];
  }
  shares.blocking = E;
  if (1.0 - E < kCancellingComplement) {
    double accepting = 0.0;
    for (std::int64_t n = 0; n <= V; ++n) {
      const double refusing = n < m ? 0.0 : beta[static_cast<std::size_t>(n - m)];
      accepting += (1.0 - refusing) * Q[static_cast<std::size_t>(n)];
    }
    shares.accepting = accepting;
  }
  return shares;
}

// The first n whose term is added: beta = 0 below `low` (everywhere when
// low > high), and those terms are zeros as long as Q is finite; adding a
// zero leaves the sum as it is (a sum that starts from 0.0 is never -0.0).
std::int64_t FirstTerm(std::int64_t m, std::int64_t low, std::int64_t high, std::int64_t V,
                       bool finite) {
  if (!finite) return m;
  return low <= high ? std::max(m, low) : V + 1;
}

// The blocking of a class of whole demand d <= f from the inclusion-
// exclusion counts, or nullopt when a count on the g links of the subset
// leaves the exact range.  `all` and `rest` hold Arrangements(x, k, f, 0)
// and Arrangements(x, k - g, f, 0) for x = 0..V; `subset_links` has the
// coefficients of counts over the g links; `finite` says whether every Q[n]
// is finite.
std::optional<SubsetShares> SubsetBlocking(std::int64_t d, std::int32_t k, std::int32_t f,
                                           std::int32_t g, const std::vector<double>& Q,
                                           const std::vector<double>& all,
                                           const std::vector<double>& rest,
                                           const ArrangementCoefficients& subset_links,
                                           bool finite) {
  const std::int64_t V = std::int64_t{k} * f;
  const std::int64_t m = f - d + 1;  // 1..f+1
  if (m > V) return SubsetShares{};
  const std::int64_t low = m * g;  // fewest units on the subset that block it
  const std::int64_t high = std::int64_t{f} * g;
  // The other k - g links hold at most this many units: rest[x] is 0 beyond.
  const std::int64_t rest_top = std::int64_t{k - g} * f;

  // beta[n] for n = m..V.  For n >= low, beta(n) sums w = low..min(n, high)
  // in ascending w; below low (or with low > high, demand 0) it is 0.  The
  // loops run w outside and n inside: each beta[n] still receives its terms
  // in ascending w, exactly as a sum over w per n would, but neighbouring n
  // no longer wait for each other's additions.  Terms with n - w beyond
  // rest_top are zeros and are left out.
  std::vector<double> beta(static_cast<std::size_t>(V - m + 1), 0.0);
  if (low <= high) {
    bool exact = true;
    const std::vector<double> subset = TabulateArrangements(
        subset_links, f, static_cast<std::int32_t>(m), static_cast<std::int32_t>(low),
        static_cast<std::int32_t>(high), &exact);
    if (!exact) return std::nullopt;
    for (std::int64_t w = low; w <= high; ++w) {
      const double on_subset = subset[static_cast<std::size_t>(w - low)];
      // n >= w, and n >= m (which only g = 0 does not already imply).
      const std::int64_t last = std::min(V, w + rest_top);
      for (std::int64_t n = std::max(w, m); n <= last; ++n) {
        beta[static_cast<std::size_t>(n - m)] +=
            (on_subset * rest[static_cast<std::size_t>(n - w)]) / all[static_cast<std::size_t>(n)];
      }
    }
  }
  return Blocking(beta, m, FirstTerm(m, low, high, V, finite), Q);
}

// The same blocking from counts built of positive sums in wide doubles.
// The numerator of beta(n), summed over w, counts the placements of n units
// with each of the g subset links holding m..f units and the other links
// 0..f: the k - g other links' counts with g links of m..f added.
SubsetShares WideSubsetBlocking(std::int64_t d, std::int32_t f, std::int32_t g,
                                const std::vector<double>& Q, const std::vector<WideDouble>& others,
                                const std::vector<WideDouble>& all, bool finite) {
  const auto V = static_cast<std::int64_t>(Q.size()) - 1;
  const std::int64_t m = f - d + 1;
  if (m > V) return SubsetShares{};
  const std::int64_t low = m * g;
  const std::int64_t high = std::int64_t{f} * g;
  std::vector<double> beta(static_cast<std::size_t>(V - m + 1), 0.0);
  if (low <= high) {
    const std::vector<WideDouble> blocked =
        AddLinks(others, g, static_cast<std::int32_t>(m), f, static_cast<std::int32_t>(V));
    for (std::int64_t n = std::max(m, low); n <= V; ++n) {
      beta[static_cast<std::size_t>(n - m)] =
          ToDouble(blocked[static_cast<std::size_t>(n)] / all[static_cast<std::size_t>(n)]);
    }
  }
  return Blocking(beta, m, FirstTerm(m, low, high, V, finite), Q);
}

// The terms the inclusion-exclusion blocking adds: for each demand, every w
// of low..high with every n of w..w + (k - g) f, at most.
double SubsetTermCount(std::int32_t k, std::int32_t f, std::int32_t g,
                       const std::vector<std::int64_t>& demands) {
  double terms = 0.0;
  for (const std::int64_t d : demands) {
    if (d > f) continue;
    const double m = static_cast<double>(f - d + 1);
    const double ways = (static_cast<double>(f) - m + 1.0) * g + 1.0;
    terms += std::max(ways, 0.0) * (static_cast<double>(k - g) * f + 1.0);
  }
  return terms;
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
  std::vector<std::int64_t> demands = DistinctDemands(t, M);
  if (!IsAffordable(k, f, LinkSubsetCost(k, f, g, M, demands))) return std::nullopt;

  const AcceptanceTables tables = TabulateAcceptance(t, M, k, f, std::move(demands));
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f, tables);
  const std::int32_t V = k * f;
  const bool finite = std::all_of(Q.begin(), Q.end(), [](double q) { return std::isfinite(q); });

  // The inclusion-exclusion counts while the group's counts are exact and
  // their double sum over (w, n) stays within the step limit, then wide
  // counts.
  const ExactCounts* exact_counts = tables.Exact();
  bool exact =
      exact_counts != nullptr && SubsetTermCount(k, f, g, tables.demands) <= kMaxModelSteps;
  std::vector<double> rest;
  if (exact) rest = TabulateArrangements(TabulateCoefficients(k - g, V), f, 0, 0, V, &exact);
  const ArrangementCoefficients subset_links =
      exact ? TabulateCoefficients(g, f * g) : ArrangementCoefficients{};
  std::vector<WideDouble> others;
  std::vector<WideDouble> all;

  // The blocking depends on the class only through its demand count.
  std::vector<double> blocking(tables.demands.size());
  std::vector<double> accepting(tables.demands.size(), 0.0);
  for (std::size_t j = 0; j < blocking.size(); ++j) {
    const std::int64_t d = tables.demands[j];
    if (d > f) {
      blocking[j] = 1.0;
      continue;
    }
    std::optional<SubsetShares> shares;
    if (exact) {
      shares = SubsetBlocking(d, k, f, g, Q, exact_counts->placements, rest, subset_links, finite);
    }
    if (!shares) {
      if (others.empty()) {
        others = BoundedCompositions(k - g, f, V);
        all = AddLinks(others, g, 0, f, V);
      }
      shares = WideSubsetBlocking(d, f, g, Q, others, all, finite);
    }
    blocking[j] = shares->blocking;
    accepting[j] = shares->accepting;
  }
  SetBlockingAndCarried(results, blocking, tables.table_of_class,
                        [&](std::size_t j) { return accepting[j]; });
  return results;
}

}  // namespace moravel
