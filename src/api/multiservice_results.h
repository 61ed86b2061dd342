// Hands the per-class results of a link-group model to the caller's arrays.
#ifndef MORAVEL_API_MULTISERVICE_RESULTS_H
#define MORAVEL_API_MULTISERVICE_RESULTS_H

#include <cmath>
#include <optional>

#include "moravel/api.h"
#include "multiservice/class_results.h"

namespace moravel::api {

// True when every blocking is a probability, up to the rounding of its sum
// (IsSoundBlocking), and every carried traffic a number.  The models keep
// both within the doubles for every input the checks pass; this is the
// last guard that nothing else is handed out as a result.
inline bool AllSound(const ClassResults& results) {
  for (std::size_t i = 0; i < results.E.size(); ++i) {
    if (!IsSoundBlocking(results.E[i]) || !std::isfinite(results.C[i])) return false;
  }
  return true;
}

// Copies E and C into blocking and carried (either may be null, skipped).
// A model that declined its (already checked) input did so because the
// group is beyond the memory and work it takes on; results that are not
// sound are an overflow, and nothing is copied.
inline moravel_status CopyClassResults(const std::optional<ClassResults>& results, double* blocking,
                                       double* carried) {
  if (!results) return MORAVEL_ERROR_MODEL_LIMIT;
  if (!AllSound(*results)) return MORAVEL_ERROR_OVERFLOW;
  for (std::size_t i = 0; i < results->E.size(); ++i) {
    if (blocking != nullptr) blocking[i] = results->E[i];
    if (carried != nullptr) carried[i] = results->C[i];
  }
  return MORAVEL_OK;
}

}  // namespace moravel::api

#endif
