// Call-by-call simulation of multi-rate classes on a group of k links of f
// allocation units, each call offered to a random subset of g links and
// carried whole on one link of it.
#ifndef MORAVEL_MULTISERVICE_SIM_LINK_SUBSET_SIMULATION_H
#define MORAVEL_MULTISERVICE_SIM_LINK_SUBSET_SIMULATION_H

#include <cstdint>
#include <optional>
#include <vector>

#include "multiservice_sim/draws.h"

namespace moravel {

// How "ПервСвоб" draws its position among the candidate links.
enum class RandomPlacementSeeding {
  // A fresh engine per arrival that finds a candidate, seeded with the next
  // value of the seed source: a given source replays a run exactly.
  kFreshEnginePerArrival,
  // One engine for the whole run, seeded with one more value of the source
  // after the run's engine.  With a non-deterministic source the positions
  // have the same distribution, at a fraction of the cost.
  kOneEnginePerRun,
};

// Limits of one run where calls can hold units (f >= 1 and g >= 1), checked
// before anything is allocated or drawn; beyond any of them the run answers
// nothing.  With f = 0 or g = 0 no call ever holds a unit: nothing is kept
// per link and a call costs the same whatever k, so only the 32-bit bounds
// apply (k f < 2^31, C(k, g) < 2^31).
//
// Links whose busy units are counted, 4 bytes each: 64 MiB at the limit.
inline constexpr std::int32_t kMaxLinksHoldingUnits = std::int32_t{1} << 24;
// Calls in progress at once, 16 bytes each, which never exceed N (one per
// call) nor k f (each holds a unit or more): the run is refused when both
// exceed 2^26, which keeps them within 1 GiB.  They grow as calls come, to
// about the carried traffic in erlangs, not to the bound.
inline constexpr std::int64_t kMaxCallsInProgress = std::int64_t{1} << 26;
// Each call reads the free units of the g links of its subset: N g reads
// per run, at most 2^37 (about 1.4 10^11; a read, with its share of drawing
// and ranking the subset, takes 3 to 6 ns on a 2-core Xeon, so some 7 to 14
// minutes at the limit).  Never binding for g <= 64.
inline constexpr std::int64_t kMaxLinkReads = std::int64_t{1} << 37;

// Within the three limits above (always, when f <= 0 or g <= 0).  For k, f
// >= 0 with k f within 32 bits.
bool IsWithinRunLimits(std::int32_t k, std::int32_t f, std::int32_t g, std::int32_t N);

// The per-class estimates of one run, with the inputs they came from.
struct SimulatedClassResults {
  const double* a = nullptr;  // offered traffic per class [erlang], borrowed
  const double* t = nullptr;  // demand per class [units], borrowed
  std::int32_t k = 0;
  std::int32_t f = 0;
  std::int32_t g = 0;
  std::int32_t N = 0;
  const char* policy = nullptr;  // link-choice keyword, borrowed
  std::vector<double> E;         // blocking per class (see SimulateLinkSubsetSystem)
  std::vector<double> C;         // carried traffic per class [units]: a t (1 - E), 0 when E = 1
  std::vector<std::int32_t> offered;  // calls of each class in the run
  std::vector<std::int32_t> lost;     // of those, the calls no link took
};

// Offers N calls, in arrival order, to k links of f units.  Times are in
// mean holding times: the arrivals form a Poisson stream of rate
// a_0 + ... + a_(M-1), every holding time is exponential of mean 1, the
// class of a call is drawn with probabilities proportional to a_i and its
// subset uniformly among the C(k, g).  A class-i call needs d_i = trunc(t_i)
// free units on one link of its subset; the link is chosen by the policy
// keyword and the call holds the d_i lowest-numbered free units of it.  A
// unit is free at instant T when its release time is not later than T.
//
// The blocking of class i is lost_i / offered_i over the run.  A class that
// no link can ever take -- a demand above f, g = 0, or a keyword other than
// the three -- gets 1 even when it drew no call; a class that could be
// taken but drew no call gets 0 (no call was lost), which a short run or a
// class of tiny or zero traffic can show.  The carried traffic is
// (a_i t_i)(1 - E_i), with t_i itself rather than d_i, and exactly 0 when
// E_i = 1, also where a_i t_i overflows to infinity.
//
// Seeds, in the order read from `seeds`: the inter-arrival times, the
// holding times, the run's engine (classes, then subsets: the subset of
// call n is the draw after all N class draws), then for "ПервСвоб" as
// `placement` says.
//
// nullopt (nothing simulated) when: M <= 0, N <= 0, a, t or policy null,
// k < 0, f < 0, g < 0, g > k, k f beyond 32 bits, C(k, g) >= 2^31, a demand
// negative or NaN, a traffic negative or not finite, a total traffic that
// is 0 or overflows; and, with f >= 1 and g >= 1, beyond the limits above:
// k > kMaxLinksHoldingUnits, N and k f both > kMaxCallsInProgress, or
// N g > kMaxLinkReads (IsWithinRunLimits).  A demand in [0, 1) is always admitted and holds
// nothing; one above f is never admitted.
//
// Memory O(k + M) plus 16 bytes per call in progress, whatever f, N and
// C(k, g) (with 768 kB at most for numbering the subsets); each call costs
// O(g log k) for its subset's links and O(log n) for the departures it
// passes, n the calls in progress, whatever f.
std::optional<SimulatedClassResults> SimulateLinkSubsetSystem(const double* a, std::int32_t M,
                                                              const double* t, std::int32_t k,
                                                              std::int32_t f, std::int32_t g,
                                                              std::int32_t N, const char* policy,
                                                              const SeedSource& seeds,
                                                              RandomPlacementSeeding placement);

}  // namespace moravel

#endif
