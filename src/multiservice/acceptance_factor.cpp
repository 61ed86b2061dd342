#include "multiservice/acceptance_factor.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "multiservice/arrangements.h"
#include "multiservice/composition_counts.h"
#include "multiservice/group_input.h"
#include "multiservice/group_limits.h"

namespace moravel {
namespace {

// The upper bound d - 1 of the "no link has d free units" count, in 32 bits.
std::int32_t BelowDemand(std::int64_t d) { return static_cast<std::int32_t>(d - 1); }

// Which of the distinct demands each class has.
void AssignDemands(const double* t, std::int32_t M, AcceptanceTables& tables) {
  const auto classes = static_cast<std::size_t>(M);
  tables.table_of_class.resize(classes);
  for (std::size_t i = 0; i < classes; ++i) {
    const auto at =
        std::lower_bound(tables.demands.begin(), tables.demands.end(), DemandCount(t[i]));
    tables.table_of_class[i] = static_cast<std::size_t>(at - tables.demands.begin());
  }
}

std::int64_t LastNonzero(const std::vector<double>& values) {
  for (auto x = static_cast<std::int64_t>(values.size()) - 1; x >= 0; --x) {
    if (values[static_cast<std::size_t>(x)] != 0.0) return x;
  }
  return -1;
}

// The shares from the inclusion-exclusion counts, or nullopt as soon as one
// of the counts leaves the exact range.
std::optional<ExactCounts> TabulateFromAlternatingSums(std::int32_t k, std::int32_t f,
                                                       AcceptanceTables& tables) {
  const std::int32_t V = k * f;
  const auto size = static_cast<std::size_t>(V) + 1;
  const ArrangementCoefficients coefficients = TabulateCoefficients(k, V);
  bool exact = true;
  ExactCounts counts{TabulateArrangements(coefficients, f, 0, 0, V, &exact)};
  if (!exact) return std::nullopt;
  const std::vector<double>& placements = counts.placements;

  // Where no arrangement lacks a wide enough link (B = 0) the factor is
  // AcceptanceShare(N, 0.0), whatever the demand: computed once.  It is 1
  // wherever N is finite and not 0, so normally everywhere.
  std::vector<double> unhindered(size);
  std::vector<double> unrefused(size);
  std::int64_t unhindered_partial = -1;
  for (std::size_t x = 0; x < size; ++x) {
    unhindered[x] = AcceptanceShare(placements[x], 0.0);
    unrefused[x] = RefusingShare(placements[x], 0.0);
    if (unrefused[x] != 0.0) unhindered_partial = static_cast<std::int64_t>(x);
  }
  tables.factors.reserve(tables.demands.size());
  tables.refusals.reserve(tables.demands.size());
  tables.last_refusing.reserve(tables.demands.size());
  for (const std::int64_t d : tables.demands) {
    if (d > f) {  // no link is wide enough: every placement refuses
      tables.factors.emplace_back(size, 0.0);
      tables.refusals.emplace_back(size, 1.0);
      tables.last_refusing.push_back(V);
      continue;
    }
    std::vector<double>& factor = tables.factors.emplace_back(unhindered);
    std::vector<double>& refusal = tables.refusals.emplace_back(unrefused);
    // B vanishes (the count returns 0.0 before summing) once x > k (d - 1),
    // so it is counted only up to there.  k (d - 1) lies in [-k, V].
    const std::int32_t hi = BelowDemand(d);
    const auto last = static_cast<std::int32_t>(std::min<std::int64_t>(V, std::int64_t{k} * hi));
    const std::vector<double> without = TabulateArrangements(coefficients, hi, 0, 0, last, &exact);
    if (!exact) return std::nullopt;
    std::int64_t partial = unhindered_partial > last ? unhindered_partial : -1;
    for (std::size_t x = 0; x < without.size(); ++x) {
      factor[x] = AcceptanceShare(placements[x], without[x]);
      refusal[x] = RefusingShare(placements[x], without[x]);
      if (refusal[x] != 0.0 && partial <= last) partial = static_cast<std::int64_t>(x);
    }
    tables.last_refusing.push_back(partial);
  }
  return counts;
}

// The factors from counts built of positive sums (groups whose counts leave
// the exact range have k >= 2 links and f >= 1 units).
WideCounts TabulateFromWideCounts(std::int32_t k, std::int32_t f, AcceptanceTables& tables) {
  const std::int32_t V = k * f;
  const auto size = static_cast<std::size_t>(V) + 1;
  tables.factors.clear();
  tables.refusals.clear();
  tables.last_refusing.clear();
  std::vector<std::int64_t> counted;  // the demands 1..f, whose shares need counts
  for (const std::int64_t d : tables.demands) {
    if (d >= 1 && d <= f) counted.push_back(d);
  }
  const DemandCounts counts = CountByDemand(k, f, counted, V);
  std::size_t next = 0;
  for (const std::int64_t d : tables.demands) {
    std::vector<double>& factor = tables.factors.emplace_back(size, d > f ? 0.0 : 1.0);
    std::vector<double>& refusal = tables.refusals.emplace_back(size, d > f ? 1.0 : 0.0);
    if (d > f || d < 1) continue;  // demand 0: every placement takes the call
    const std::vector<WideDouble>& reaching = counts.reaching[next];
    const std::vector<WideDouble>& short_of = counts.short_of[next];
    ++next;
    for (std::size_t x = 0; x < size; ++x) {
      factor[x] = ToDouble(reaching[x] / counts.all[x]);
      refusal[x] = ToDouble(short_of[x] / counts.all[x]);
    }
  }
  for (const std::vector<double>& refusal : tables.refusals) {
    tables.last_refusing.push_back(LastNonzero(refusal));
  }
  return {};
}

}  // namespace

double AcceptanceFactor(std::int32_t x, std::int64_t d, std::int32_t k, std::int32_t f) {
  if (d > f) return 0.0;
  const double all = Arrangements(x, k, f, 0);
  const double without = Arrangements(x, k, BelowDemand(d), 0);
  return AcceptanceShare(all, without);
}

AcceptanceTables TabulateAcceptance(const double* t, std::int32_t M, std::int32_t k,
                                    std::int32_t f) {
  return TabulateAcceptance(t, M, k, f, DistinctDemands(t, M));
}

AcceptanceTables TabulateAcceptance(const double* t, std::int32_t M, std::int32_t k, std::int32_t f,
                                    std::vector<std::int64_t> demands) {
  AcceptanceTables tables;
  tables.demands = std::move(demands);
  AssignDemands(t, M, tables);
  // The one place where the way of counting is decided: exact counts while
  // they last, wide counts from the first count that leaves the exact range.
  if (std::optional<ExactCounts> exact = TabulateFromAlternatingSums(k, f, tables)) {
    tables.counts = std::move(*exact);
  } else {
    tables.counts = TabulateFromWideCounts(k, f, tables);
  }
  return tables;
}

}  // namespace moravel
