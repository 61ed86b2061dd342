#include "multiservice/acceptance_factor.h"

#include <algorithm>

#include "multiservice/arrangements.h"
#include "multiservice/group_input.h"

namespace moravel {
namespace {

// The upper bound d - 1 of the "no link has d free units" count, in 32 bits.
std::int32_t BelowDemand(std::int64_t d) { return static_cast<std::int32_t>(d - 1); }

}  // namespace

double AcceptanceFactor(std::int32_t x, std::int64_t d, std::int32_t k, std::int32_t f) {
  if (d > f) return 0.0;
  const double all = Arrangements(x, k, f, 0);
  const double without = Arrangements(x, k, BelowDemand(d), 0);
  return AcceptanceShare(all, without);
}

AcceptanceTables TabulateAcceptance(const double* t, std::int32_t M, std::int32_t k,
                                    std::int32_t f) {
  const std::int32_t V = k * f;
  const auto size = static_cast<std::size_t>(V) + 1;
  AcceptanceTables tables;
  const ArrangementCoefficients coefficients = TabulateCoefficients(k, V);
  tables.placements = TabulateArrangements(coefficients, f, 0, 0, V);

  const auto classes = static_cast<std::size_t>(M);
  tables.table_of_class.resize(classes);
  for (std::size_t i = 0; i < classes; ++i) tables.demands.push_back(DemandCount(t[i]));
  std::sort(tables.demands.begin(), tables.demands.end());
  tables.demands.erase(std::unique(tables.demands.begin(), tables.demands.end()),
                       tables.demands.end());
  for (std::size_t i = 0; i < classes; ++i) {
    const auto at = std::lower_bound(tables.demands.begin(), tables.demands.end(),
                                     DemandCount(t[i]));
    tables.table_of_class[i] = static_cast<std::size_t>(at - tables.demands.begin());
  }

  // Where no arrangement lacks a wide enough link (B = 0) the factor is
  // AcceptanceShare(N, 0.0), whatever the demand: computed once.  It is 1
  // wherever N is finite and not 0, so normally everywhere.
  std::vector<double> unhindered(size);
  std::int64_t unhindered_partial = -1;
  for (std::size_t x = 0; x < size; ++x) {
    unhindered[x] = AcceptanceShare(tables.placements[x], 0.0);
    if (unhindered[x] != 1.0) unhindered_partial = static_cast<std::int64_t>(x);
  }

  tables.factors.reserve(tables.demands.size());
  tables.last_partial.reserve(tables.demands.size());
  for (const std::int64_t d : tables.demands) {
    if (d > f) {  // no link is wide enough: 0 everywhere
      tables.factors.emplace_back(size, 0.0);
      tables.last_partial.push_back(V);
      continue;
    }
    std::vector<double>& factor = tables.factors.emplace_back(unhindered);
    // B vanishes (the count returns 0.0 before summing) once x > k (d - 1),
    // so it is counted only up to there.  k (d - 1) lies in [-k, V].
    const std::int32_t hi = BelowDemand(d);
    const auto last = static_cast<std::int32_t>(std::min<std::int64_t>(V, std::int64_t{k} * hi));
    const std::vector<double> without = TabulateArrangements(coefficients, hi, 0, 0, last);
    std::int64_t partial = unhindered_partial > last ? unhindered_partial : -1;
    for (std::size_t x = 0; x < without.size(); ++x) {
      factor[x] = AcceptanceShare(tables.placements[x], without[x]);
      if (factor[x] != 1.0 && partial <= last) partial = static_cast<std::int64_t>(x);
    }
    tables.last_partial.push_back(partial);
  }
  return tables;
}

}  // namespace moravel
