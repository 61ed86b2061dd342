// The link-subset simulation written out plainly: every subset's mask in an
// ordered set, every subset's unit list, one row of release times per
// subset kept consistent by hand, and every per-call quantity drawn into a
// list before the first call.  Slow and memory-hungry on purpose; the
// library's simulation must count exactly what this counts.  Estimates: a
// class that no link can take (unknown keyword, g = 0, demand above f) is
// blocked (1) even without calls, and a blocked class carries exactly 0.
#ifndef MORAVEL_TESTS_REFERENCE_LINK_SUBSET_SIMULATION_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_LINK_SUBSET_SIMULATION_REFERENCE_H

#include <cstdint>
#include <functional>
#include <vector>

namespace moravel::reference {

// All distinct permutations of `list`, each once, in ascending
// lexicographic order.
std::vector<std::vector<std::int32_t>> DistinctPermutations(std::vector<std::int32_t> list);

// One unit list per subset of g links, in ascending order of the subsets'
// masks: the subset's links in ascending order, f units each.
std::vector<std::vector<std::int32_t>> BuildSubsetUnits(std::int32_t k, std::int32_t g,
                                                        std::int32_t f);

struct LinkSubsetCounts {
  std::vector<std::int32_t> offered;
  std::vector<std::int32_t> lost;
  std::vector<double> E;
  std::vector<double> C;
};

// One run, every engine seeded with the next value of `random_device`.
// For valid input only (M, N >= 1, 0 <= g <= k, demands >= 0, some traffic);
// a demand below 1 is admitted and holds nothing.
LinkSubsetCounts SimulateLinkSubsetSystem(const double* a, std::int32_t M, const double* t,
                                          std::int32_t k, std::int32_t f, std::int32_t g,
                                          std::int32_t N, const char* policy,
                                          const std::function<std::uint32_t()>& random_device);

}  // namespace moravel::reference

#endif
