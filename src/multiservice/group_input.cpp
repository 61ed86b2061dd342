#include "multiservice/group_input.h"

#include <limits>

namespace moravel {
namespace {
constexpr double kBeyondCounts = 2147483648.0;  // 2^31
}  // namespace

bool IsComputableGroup(const double* a, std::int32_t M, const double* t, std::int32_t k,
                       std::int32_t f) {
  if (M < 0 || k < 0 || f < 0) return false;
  if (std::int64_t{k} * f > std::numeric_limits<std::int32_t>::max()) return false;
  if (M == 0) return true;
  if (a == nullptr || t == nullptr) return false;
  for (std::int32_t i = 0; i < M; ++i) {
    if (!(t[i] >= 0.0)) return false;  // negative or NaN
  }
  return true;
}

bool IsComputableSubset(const double* a, std::int32_t M, const double* t, std::int32_t k,
                        std::int32_t f, std::int32_t g) {
  return g >= 0 && g <= k && IsComputableGroup(a, M, t, k, f);
}

std::int64_t DemandCount(double t) {
  if (t >= kBeyondCounts) return static_cast<std::int64_t>(kBeyondCounts);
  return static_cast<std::int64_t>(t);
}

}  // namespace moravel
