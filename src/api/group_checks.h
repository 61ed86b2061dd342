// The checks of the multi-rate link groups' arguments, shared by the
// models, the simulation and the solvers for the number of links.
#ifndef MORAVEL_API_GROUP_CHECKS_H
#define MORAVEL_API_GROUP_CHECKS_H

#include <cmath>
#include <cstdint>
#include <limits>

#include "api/checks.h"
#include "moravel/api.h"

namespace moravel::api {

// A demand is a whole, finite number of units, at least 1.
inline bool IsDemand(double t) { return t >= 1.0 && std::isfinite(t) && t == std::trunc(t); }

// M >= 1 classes, both arrays present, each traffic finite and not
// negative, each demand a count of units.
inline moravel_status CheckClasses(const double* a, std::int32_t M, const double* t) {
  if (M < 1) return MORAVEL_ERROR_CLASSES;
  if (a == nullptr || t == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  for (std::int32_t i = 0; i < M; ++i) {
    if (!IsFiniteNonNegative(a[i])) return MORAVEL_ERROR_TRAFFIC;
  }
  for (std::int32_t i = 0; i < M; ++i) {
    if (!IsDemand(t[i])) return MORAVEL_ERROR_DEMAND;
  }
  return MORAVEL_OK;
}

// k >= 1 links of f >= 1 units, k f within 32 bits.
inline moravel_status CheckLinks(std::int32_t k, std::int32_t f) {
  if (k < 1) return MORAVEL_ERROR_LINKS;
  if (f < 1) return MORAVEL_ERROR_LINK_UNITS;
  if (std::int64_t{k} * f > std::numeric_limits<std::int32_t>::max()) {
    return MORAVEL_ERROR_GROUP_SIZE;
  }
  return MORAVEL_OK;
}

// The arguments of a group model and its two result arrays.  A class
// carries at most a t units, which must be a double.
inline moravel_status CheckGroup(const double* a, std::int32_t M, const double* t, std::int32_t k,
                                 std::int32_t f, const double* blocking, const double* carried) {
  if (const auto refused = CheckClasses(a, M, t)) return refused;
  if (blocking == nullptr || carried == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckLinks(k, f)) return refused;
  for (std::int32_t i = 0; i < M; ++i) {
    if (!std::isfinite(a[i] * t[i])) return MORAVEL_ERROR_OVERFLOW;
  }
  return MORAVEL_OK;
}

}  // namespace moravel::api

#endif
