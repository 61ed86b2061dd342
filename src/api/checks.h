// The argument checks of the status-returning interface, shared by its
// single-point and array entry points, and the guard that keeps exceptions
// inside the library.
#ifndef MORAVEL_API_CHECKS_H
#define MORAVEL_API_CHECKS_H

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "moravel/api.h"

namespace moravel::api {

// The recursions form V + 1 in 32 bits, so the largest count is one less.
inline constexpr std::int32_t kLargestServers = 2147483646;
// 170! is the largest finite factorial.
inline constexpr std::int32_t kLargestDirectFormServers = 170;

// Finite and not negative; false for NaN.
inline bool IsFiniteNonNegative(double x) { return x >= 0.0 && std::isfinite(x); }
inline bool IsFinitePositive(double x) { return x > 0.0 && std::isfinite(x); }

// The first code that is not MORAVEL_OK, in argument order.
template <class... Statuses>
constexpr moravel_status FirstRefusal(Statuses... statuses) {
  moravel_status first = MORAVEL_OK;
  ((first = first == MORAVEL_OK ? statuses : first), ...);
  return first;
}

inline moravel_status CheckServers(std::int32_t V) {
  if (V < 1) return MORAVEL_ERROR_SERVERS;
  if (V > kLargestServers) return MORAVEL_ERROR_SERVERS_TOO_MANY;
  return MORAVEL_OK;
}

inline moravel_status CheckTraffic(double A) {
  return IsFiniteNonNegative(A) ? MORAVEL_OK : MORAVEL_ERROR_TRAFFIC;
}

inline moravel_status CheckPositiveTraffic(double A) {
  if (!IsFiniteNonNegative(A)) return MORAVEL_ERROR_TRAFFIC;
  return A > 0.0 ? MORAVEL_OK : MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE;
}

// The delay system has a steady state only below full load.
inline moravel_status CheckBelowServers(double A, std::int32_t V) {
  return A < static_cast<double>(V) ? MORAVEL_OK : MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS;
}

inline moravel_status CheckSources(std::int32_t N) {
  return N >= 1 ? MORAVEL_OK : MORAVEL_ERROR_SOURCES;
}

// a = 1 makes the idle-source traffic a / (1 - a) infinite.
inline moravel_status CheckSourceTraffic(double a) {
  return a >= 0.0 && a < 1.0 ? MORAVEL_OK : MORAVEL_ERROR_SOURCE_TRAFFIC;
}

inline moravel_status CheckTarget(double target) {
  return target > 0.0 && target < 1.0 ? MORAVEL_OK : MORAVEL_ERROR_TARGET;
}

inline moravel_status CheckHoldingTime(double h) {
  return IsFinitePositive(h) ? MORAVEL_OK : MORAVEL_ERROR_HOLDING_TIME;
}

inline moravel_status CheckThreshold(double t) {
  return IsFiniteNonNegative(t) ? MORAVEL_OK : MORAVEL_ERROR_THRESHOLD;
}

// The delay system's waits, at most h / (V - A), well inside the doubles
// (the factor 1/2 leaves room for C's rounding above 1).
inline moravel_status CheckWaitsInRange(double h, std::int32_t V, double A) {
  const double longest = h / (static_cast<double>(V) - A);
  return longest <= std::numeric_limits<double>::max() / 2 ? MORAVEL_OK : MORAVEL_ERROR_OVERFLOW;
}

// Runs `body` (returning a moravel_status) so that nothing it throws leaves
// the library: memory exhaustion has its code, anything else the internal
// one.
template <class Body>
moravel_status Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return MORAVEL_ERROR_OUT_OF_MEMORY;
  } catch (...) {
    return MORAVEL_ERROR_INTERNAL;
  }
}

}  // namespace moravel::api

#endif
