// What evaluating a link group costs, and how much of it the library takes
// on: a few numbers of arguments can ask for tables of gigabytes or hours
// of work, and the models refuse those before allocating anything.
#ifndef MORAVEL_MULTISERVICE_GROUP_LIMITS_H
#define MORAVEL_MULTISERVICE_GROUP_LIMITS_H

#include <cstdint>
#include <vector>

namespace moravel {

// At most this many units in the group (V = k f).
inline constexpr std::int64_t kMaxGroupUnits = std::int64_t{1} << 24;  // 16777216
// At most this much memory for one evaluation's tables.
inline constexpr double kMaxModelBytes = 1073741824.0;  // 1 GiB
// At most this many elementary steps (an addition of two counts, one term
// of the recursion), at most some 15 seconds on one core of a current
// server (a step of the wide-exponent counts, the slowest, takes 35 to 50 ns
// on a 2-core Xeon).
inline constexpr double kMaxModelSteps = 268435456.0;  // 2^28

// The estimate for one evaluation.  With V = k f, M classes, D distinct
// demand counts and D' of them between 1 and f (the ones whose shares need
// arrangement counts):
//   bytes = (V + 1) (16 D + 32 D' + 160),
//   steps = V M + k V (1 + 2 D'),
// and the link-subset model adds (V + 1) 100 bytes and k V + D' g V steps.
struct GroupCost {
  double bytes = 0.0;
  double steps = 0.0;
};

// The distinct demand counts of the classes, ascending.
std::vector<std::int64_t> DistinctDemands(const double* t, std::int32_t M);

GroupCost LinkGroupCost(std::int32_t k, std::int32_t f, std::int32_t M,
                        const std::vector<std::int64_t>& demands);
GroupCost LinkSubsetCost(std::int32_t k, std::int32_t f, std::int32_t g, std::int32_t M,
                         const std::vector<std::int64_t>& demands);

// Within kMaxGroupUnits, kMaxModelBytes and kMaxModelSteps.
bool IsAffordable(std::int32_t k, std::int32_t f, const GroupCost& cost);

}  // namespace moravel

#endif
