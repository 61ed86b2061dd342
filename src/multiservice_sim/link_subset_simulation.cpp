#include "multiservice_sim/link_subset_simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "multiservice_sim/link_choice.h"
#include "multiservice_sim/link_occupancy.h"
#include "multiservice_sim/link_subsets.h"

namespace moravel {
namespace {

// Units a call of demand t holds: t truncated toward zero.  A demand of
// 2^31 or more (infinity included) only has to exceed every link, which
// holds at most 2^31 - 1 units, so it is kept as 2^31 rather than
// converted out of the int32 range.
std::int64_t UnitsOfDemand(double t) {
  constexpr double kBeyondAnyLink = 2147483648.0;
  return t < kBeyondAnyLink ? static_cast<std::int64_t>(t) : std::int64_t{2147483648};
}

}  // namespace

bool IsWithinRunLimits(std::int32_t k, std::int32_t f, std::int32_t g, std::int32_t N) {
  if (f <= 0 || g <= 0) return true;
  const std::int64_t unit_count = std::int64_t{k} * f;
  return k <= kMaxLinksHoldingUnits &&
         std::min<std::int64_t>(N, unit_count) <= kMaxCallsInProgress &&
         std::int64_t{N} * g <= kMaxLinkReads;
}

std::optional<SimulatedClassResults> SimulateLinkSubsetSystem(const double* a, std::int32_t M,
                                                              const double* t, std::int32_t k,
                                                              std::int32_t f, std::int32_t g,
                                                              std::int32_t N, const char* policy,
                                                              const SeedSource& seeds,
                                                              RandomPlacementSeeding placement) {
  if (M <= 0 || N <= 0 || a == nullptr || t == nullptr || policy == nullptr) return std::nullopt;
  if (k < 0 || f < 0) return std::nullopt;
  const std::int64_t unit_count = std::int64_t{k} * f;
  if (unit_count > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  const std::optional<std::int32_t> subset_count = SubsetCount(k, g);
  if (!subset_count) return std::nullopt;
  if (!IsWithinRunLimits(k, f, g, N)) return std::nullopt;

  const auto classes = static_cast<std::size_t>(M);
  std::vector<std::int64_t> demand(classes);
  for (std::size_t i = 0; i < classes; ++i) {
    if (!(t[i] >= 0.0)) return std::nullopt;  // negative or NaN
    if (!(a[i] >= 0.0) || !std::isfinite(a[i])) return std::nullopt;
    demand[i] = UnitsOfDemand(t[i]);
  }
  double rate = 0.0;  // total arrival rate, in class order from 0
  for (std::size_t i = 0; i < classes; ++i) rate += a[i];
  if (!(rate > 0.0) || !std::isfinite(rate)) return std::nullopt;

  SimulatedClassResults r;
  r.a = a;
  r.t = t;
  r.k = k;
  r.f = f;
  r.g = g;
  r.N = N;
  r.policy = policy;
  r.E.assign(classes, 0.0);
  r.C.assign(classes, 0.0);
  r.offered.assign(classes, 0);
  r.lost.assign(classes, 0);

  const LinkPolicy chooser = PolicyFromKeyword(policy);

  // Every per-call quantity is drawn when its call comes up, from the
  // stream that a list drawn in advance would have used: the inter-arrival
  // and holding times from engines of their own, the classes from the run's
  // engine, and the subsets from a twin of it moved past the N class draws
  // (one CanonicalUniform, two outputs, per class draw).
  ExponentialTimes arrivals(seeds(), rate);
  ExponentialTimes holding(seeds(), 1.0);
  const std::uint32_t run_seed = seeds();
  Mt19937 class_engine(run_seed);
  Mt19937 subset_engine(run_seed);
  subset_engine.Discard(2 * static_cast<std::uint64_t>(N));
  const WeightedChoice class_choice(std::span<const double>(a, classes));
  const EqualWeightChoice subset_choice(*subset_count);

  std::optional<Mt19937> placement_engine;
  if (chooser == LinkPolicy::kRandomFree && placement == RandomPlacementSeeding::kOneEnginePerRun) {
    placement_engine.emplace(seeds());
  }
  const auto random_index = [&](std::uint32_t n) -> std::uint32_t {
    if (placement_engine) return UniformIndex(*placement_engine, n);
    Mt19937 fresh(seeds());
    return UniformIndex(fresh, n);
  };

  // The busy units of each link, kept only where calls can hold units:
  // never when f = 0 or g = 0 (and k may then be as large as 2^31 - 1).
  std::optional<SubsetLinks> subsets;
  std::optional<LinkOccupancy> occupancy;
  std::vector<std::int32_t> links;  // of the call's subset, ascending
  std::vector<std::int32_t> free;   // free units of each of those links
  if (f > 0 && g > 0) {
    subsets.emplace(k, g);
    occupancy.emplace(k, f);
    links.resize(static_cast<std::size_t>(g));
    free.resize(static_cast<std::size_t>(g));
  }

  double now = 0.0;  // arrival instant; the first call arrives at 0
  for (std::int32_t n = 0; n < N; ++n) {
    const double gap = arrivals.Next();  // the first one is drawn, not used
    const double hold = holding.Next();
    if (n > 0) now = gap + now;
    const auto c = static_cast<std::size_t>(class_choice.Draw(class_engine));
    const std::int32_t s = subset_choice.Draw(subset_engine);
    ++r.offered[c];

    const std::int64_t d = demand[c];
    bool admitted = false;
    if (chooser != LinkPolicy::kNone && g > 0 && d <= f) {
      if (d == 0) {
        // Every link of the subset fits and nothing is held, so the choice
        // changes nothing; "ПервСвоб" still draws among the g candidates,
        // to keep its draws in step.
        if (chooser == LinkPolicy::kRandomFree) random_index(static_cast<std::uint32_t>(g));
        admitted = true;
      } else {
        occupancy->ReleaseUntil(now);
        subsets->Unrank(s, links);
        for (std::size_t p = 0; p < links.size(); ++p) free[p] = occupancy->Free(links[p]);
        if (const auto choice = ChooseLink(free, d, chooser, random_index)) {
          // The link has at least d free units; which of them the call
          // holds (the d lowest-numbered) no later choice can tell.
          occupancy->Hold(links[static_cast<std::size_t>(choice->position)],
                          static_cast<std::int32_t>(d), now + hold);
          admitted = true;
        }
      }
    }
    if (!admitted) ++r.lost[c];
  }

  // A class that no link can ever take is blocked whether or not it drew a
  // call; one that could be taken but drew none shows no blocking.  A fully
  // blocked class carries nothing, even when a t overflows (inf * 0).
  for (std::size_t i = 0; i < classes; ++i) {
    const bool admissible = chooser != LinkPolicy::kNone && g > 0 && demand[i] <= f;
    if (!admissible) {
      r.E[i] = 1.0;
    } else if (r.offered[i] != 0) {
      r.E[i] = static_cast<double>(r.lost[i]) / static_cast<double>(r.offered[i]);
    }
    r.C[i] = r.E[i] == 1.0 ? 0.0 : (a[i] * t[i]) * (1.0 - r.E[i]);
  }
  return r;
}

}  // namespace moravel
