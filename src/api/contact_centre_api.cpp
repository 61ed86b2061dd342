// The contact-centre models through the status-returning interface.
#include <cmath>
#include <cstdint>

#include "api/checks.h"
#include "api/contact_centre_results.h"
#include "contact_centre/abandonment_model.h"
#include "contact_centre/contact_staffing.h"
#include "contact_centre/retrial_model.h"
#include "moravel/api.h"

namespace moravel::api {
namespace {

moravel_status CheckPatience(double p) {
  return p > 0.0 ? MORAVEL_OK : MORAVEL_ERROR_PATIENCE;  // NaN fails too; +inf passes
}

moravel_status CheckLines(std::int32_t lines, std::int32_t agents) {
  if (lines == MORAVEL_NO_LINE_LIMIT) return MORAVEL_OK;
  if (lines < agents) return MORAVEL_ERROR_LINES;
  const std::int64_t places = std::int64_t{lines} - agents;
  return places <= contact::kLargestQueuePlaces ? MORAVEL_OK : MORAVEL_ERROR_LINES_TOO_MANY;
}

moravel_status CheckContactCentre(double A, double h, double p, std::int32_t n, std::int32_t lines,
                                  double t) {
  if (const auto refused = FirstRefusal(CheckTraffic(A), CheckHoldingTime(h), CheckPatience(p),
                                        CheckServers(n), CheckLines(lines, n), CheckThreshold(t))) {
    return refused;
  }
  if (p == INFINITY && lines == MORAVEL_NO_LINE_LIMIT) return CheckBelowServers(A, n);
  return MORAVEL_OK;
}

std::int64_t Places(std::int32_t lines, std::int32_t agents) {
  return lines == MORAVEL_NO_LINE_LIMIT ? moravel::contact::kUnlimitedPlaces
                                        : std::int64_t{lines} - agents;
}

moravel_status CheckGoal(std::int32_t goal, double target, double max_occupancy,
                         double answer_time) {
  if (goal < 1 || goal > 5) return MORAVEL_ERROR_GOAL;
  const moravel_status target_status =
      goal == MORAVEL_GOAL_MEAN_ANSWER_WAIT
          ? (IsFinitePositive(target) ? MORAVEL_OK : MORAVEL_ERROR_TARGET_WAIT)
          : CheckTarget(target);
  const moravel_status occupancy =
      max_occupancy > 0.0 && max_occupancy <= 1.0 ? MORAVEL_OK : MORAVEL_ERROR_OCCUPANCY;
  return FirstRefusal(CheckThreshold(answer_time), target_status, occupancy);
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_contact_centre(double traffic, double handling_time,
                                                  double patience, int32_t agents, int32_t lines,
                                                  double answer_time,
                                                  moravel_contact_centre_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused =
          CheckContactCentre(traffic, handling_time, patience, agents, lines, answer_time)) {
    return refused;
  }
  return Guarded([&] {
    const auto figures = moravel::contact::ContactCentreModel(
        traffic, handling_time, patience, agents, Places(lines, agents), answer_time);
    if (!figures) return MORAVEL_ERROR_OVERFLOW;
    Store(*figures, *result);
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_contact_centre_retrials(
    double traffic, double handling_time, double patience, int32_t agents, int32_t lines,
    double answer_time, double blocked_retry_share, double abandoned_retry_share,
    double redial_time, moravel_retrial_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused =
          CheckContactCentre(traffic, handling_time, patience, agents, lines, answer_time)) {
    return refused;
  }
  const auto share = [](double r) {
    return r >= 0.0 && r <= 1.0 ? MORAVEL_OK : MORAVEL_ERROR_RETRY_SHARE;
  };
  if (const auto refused =
          FirstRefusal(share(blocked_retry_share), share(abandoned_retry_share),
                       IsFinitePositive(redial_time) ? MORAVEL_OK : MORAVEL_ERROR_REDIAL_TIME)) {
    return refused;
  }
  return Guarded([&] {
    moravel::contact::RetrialFigures figures{};
    switch (moravel::contact::RetrialModel(traffic, handling_time, patience, agents,
                                           Places(lines, agents), answer_time, blocked_retry_share,
                                           abandoned_retry_share, redial_time, figures)) {
      case moravel::contact::RetrialOutcome::kSolved: break;
      case moravel::contact::RetrialOutcome::kDiverges: return MORAVEL_ERROR_RETRIALS_DIVERGE;
      case moravel::contact::RetrialOutcome::kModelRefusesTotal:
        return MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS;
      case moravel::contact::RetrialOutcome::kOverflow: return MORAVEL_ERROR_OVERFLOW;
    }
    Store(figures.attempt, result->attempt);
    result->offered_total = figures.offered_total;
    result->retry_traffic = figures.retry_traffic;
    result->attempts_per_caller = figures.attempts_per_caller;
    result->answered_share = figures.answered_share;
    result->blocked_share = figures.blocked_share;
    result->abandoned_share = figures.abandoned_share;
    result->redialling = figures.redialling;
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status
moravel_contact_centre_agents(double traffic, double handling_time, double patience, int32_t lines,
                              double answer_time, int32_t goal, double target, double max_occupancy,
                              int32_t* agents, moravel_contact_centre_result* figures) noexcept {
  if (agents == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  const moravel_status lines_status = lines < 0 ? MORAVEL_ERROR_LINES
                                      : lines > moravel::contact::kLargestQueuePlaces
                                          ? MORAVEL_ERROR_LINES_TOO_MANY
                                          : MORAVEL_OK;
  if (const auto refused = FirstRefusal(CheckTraffic(traffic), CheckHoldingTime(handling_time),
                                        CheckPatience(patience), lines_status,
                                        CheckGoal(goal, target, max_occupancy, answer_time))) {
    return refused;
  }
  return Guarded([&] {
    const auto found = moravel::contact::LeastContactAgents(
        traffic, handling_time, patience, lines, answer_time,
        static_cast<moravel::contact::ContactGoal>(goal), target, max_occupancy);
    if (const moravel_status status = StatusOf(found.outcome)) return status;
    *agents = found.agents;
    if (figures != nullptr) Store(found.figures, *figures);
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_contact_centre_traffic(
    int32_t agents, double handling_time, double patience, int32_t lines, double answer_time,
    int32_t goal, double target, double max_occupancy, double* traffic,
    moravel_contact_centre_result* figures) noexcept {
  if (traffic == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(CheckHoldingTime(handling_time), CheckPatience(patience),
                                        CheckServers(agents), CheckLines(lines, agents),
                                        CheckGoal(goal, target, max_occupancy, answer_time))) {
    return refused;
  }
  return Guarded([&] {
    const auto found = moravel::contact::LargestContactTraffic(
        agents, handling_time, patience, lines, answer_time,
        static_cast<moravel::contact::ContactGoal>(goal), target, max_occupancy);
    if (const moravel_status status = StatusOf(found.outcome)) return status;
    *traffic = found.traffic;
    if (figures != nullptr) Store(found.figures, *figures);
    return MORAVEL_OK;
  });
}

}  // extern "C"
