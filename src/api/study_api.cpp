// The study core through the status-returning interface: the t quantile,
// the replication seeds, the estimates and the probability rule.
#include <cmath>

#include "api/checks.h"
#include "moravel/api.h"
#include "study/estimate.h"
#include "random/replication_seeds.h"
#include "study/sound_probability.h"
#include "study/student_t.h"

using namespace moravel::api;

namespace {

moravel_status CheckLevel(double level) {
  return level > 0.0 && level < 1.0 ? MORAVEL_OK : MORAVEL_ERROR_LEVEL;
}

}  // namespace

extern "C" {

MORAVEL_API moravel_status moravel_student_t_quantile(int32_t degrees_of_freedom, double level,
                                                      double* quantile) noexcept {
  if (quantile == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (degrees_of_freedom < 1) return MORAVEL_ERROR_DEGREES_OF_FREEDOM;
  if (const auto refused = CheckLevel(level)) return refused;
  *quantile = moravel::StudentTQuantile(degrees_of_freedom, level);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_replication_seeds(uint32_t first_seed, size_t n,
                                                     uint32_t* seeds) noexcept {
  if (n > 0 && seeds == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (first_seed == 0) return MORAVEL_ERROR_FIRST_SEED;
  for (size_t r = 0; r < n; ++r) seeds[r] = moravel::ReplicationSeed(first_seed, r);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_estimate(size_t n, const double* values, int32_t probability,
                                            double level,
                                            moravel_estimate_result* estimate) noexcept {
  if (values == nullptr || estimate == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (n < 2) return MORAVEL_ERROR_REPLICATIONS;
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(values[i])) return MORAVEL_ERROR_SAMPLE;
    if (probability != 0 && !moravel::IsSoundProbability(values[i])) {
      return MORAVEL_ERROR_NOT_PROBABILITY;
    }
  }
  if (const auto refused = CheckLevel(level)) return refused;
  // The degrees of freedom are a count within 32 bits.
  if (n - 1 > 2147483647u) return MORAVEL_ERROR_DEGREES_OF_FREEDOM;
  const double t = moravel::StudentTQuantile(static_cast<int32_t>(n - 1), level);
  const moravel::Estimate e = moravel::EstimateOf(n, values, t, probability != 0);
  // Values near the largest double square beyond it.
  if (!std::isfinite(e.mean) || !std::isfinite(e.standard_error) || !std::isfinite(e.low) ||
      !std::isfinite(e.high)) {
    return MORAVEL_ERROR_OVERFLOW;
  }
  *estimate = {e.mean, e.standard_error, e.low, e.high};
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_check_probability(double value) noexcept {
  return moravel::IsSoundProbability(value) ? MORAVEL_OK : MORAVEL_ERROR_NOT_PROBABILITY;
}

}  // extern "C"
