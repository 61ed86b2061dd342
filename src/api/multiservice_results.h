// Hands the per-class results of a link-group model to the caller's arrays.
#ifndef MORAVEL_API_MULTISERVICE_RESULTS_H
#define MORAVEL_API_MULTISERVICE_RESULTS_H

#include <cmath>
#include <optional>

#include "moravel/api.h"
#include "multiservice/class_results.h"

namespace moravel::api {

// True when every blocking and carried traffic is a number: arrangement
// counts or occupancy terms beyond the doubles give NaN or infinities.
inline bool AllFinite(const ClassResults& results) {
  for (std::size_t i = 0; i < results.E.size(); ++i) {
    if (!std::isfinite(results.E[i]) || !std::isfinite(results.C[i])) return false;
  }
  return true;
}

// Copies E and C into blocking and carried (either may be null, skipped).
// A model that refused its (already checked) input is an internal failure;
// values that left the doubles are an overflow, and nothing is copied.
inline moravel_status CopyClassResults(const std::optional<ClassResults>& results,
                                       double* blocking, double* carried) {
  if (!results) return MORAVEL_ERROR_INTERNAL;
  if (!AllFinite(*results)) return MORAVEL_ERROR_OVERFLOW;
  for (std::size_t i = 0; i < results->E.size(); ++i) {
    if (blocking != nullptr) blocking[i] = results->E[i];
    if (carried != nullptr) carried[i] = results->C[i];
  }
  return MORAVEL_OK;
}

}  // namespace moravel::api

#endif
