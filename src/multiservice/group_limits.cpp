#include "multiservice/group_limits.h"

#include <algorithm>

#include "multiservice/group_input.h"

namespace moravel {
namespace {

// D' of the estimate: the demands 1..f.
double CountedDemands(std::int32_t f, const std::vector<std::int64_t>& demands) {
  return static_cast<double>(std::count_if(demands.begin(), demands.end(),
                                           [f](std::int64_t d) { return d >= 1 && d <= f; }));
}

}  // namespace

std::vector<std::int64_t> DistinctDemands(const double* t, std::int32_t M) {
  std::vector<std::int64_t> demands;
  demands.reserve(static_cast<std::size_t>(M));
  for (std::int32_t i = 0; i < M; ++i) demands.push_back(DemandCount(t[i]));
  std::sort(demands.begin(), demands.end());
  demands.erase(std::unique(demands.begin(), demands.end()), demands.end());
  return demands;
}

GroupCost LinkGroupCost(std::int32_t k, std::int32_t f, std::int32_t M,
                        const std::vector<std::int64_t>& demands) {
  const double V = static_cast<double>(k) * f;
  const double D = static_cast<double>(demands.size());
  const double counted = CountedDemands(f, demands);
  return {(V + 1.0) * (16.0 * D + 32.0 * counted + 160.0),
          V * M + static_cast<double>(k) * V * (1.0 + 2.0 * counted)};
}

GroupCost LinkSubsetCost(std::int32_t k, std::int32_t f, std::int32_t g, std::int32_t M,
                         const std::vector<std::int64_t>& demands) {
  GroupCost cost = LinkGroupCost(k, f, M, demands);
  const double V = static_cast<double>(k) * f;
  cost.bytes += (V + 1.0) * 100.0;
  cost.steps += static_cast<double>(k) * V + CountedDemands(f, demands) * g * V;
  return cost;
}

bool IsAffordable(std::int32_t k, std::int32_t f, const GroupCost& cost) {
  return static_cast<double>(k) * f <= static_cast<double>(kMaxGroupUnits) &&
         cost.bytes <= kMaxModelBytes && cost.steps <= kMaxModelSteps;
}

}  // namespace moravel
