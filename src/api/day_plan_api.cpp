// A day's plan through the status-returning interface.
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "api/checks.h"
#include "api/contact_centre_results.h"
#include "contact_centre/day_plan.h"
#include "moravel/api.h"

namespace moravel::api {
namespace {

// 0 stands for "no such target".
moravel_status CheckShare(double target, moravel_status refused) {
  return target == 0.0 || (target > 0.0 && target < 1.0) ? MORAVEL_OK : refused;
}

moravel_status CheckTargets(const moravel_day_plan_targets& t) {
  const bool basis_known = t.service_level_basis == MORAVEL_SERVICE_LEVEL_OFFERED ||
                           t.service_level_basis == MORAVEL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS;
  const bool wait_ok = t.mean_answer_wait == 0.0 || IsFinitePositive(t.mean_answer_wait);
  if (const auto refused =
          FirstRefusal(CheckThreshold(t.answer_time),
                       CheckShare(t.service_level, MORAVEL_ERROR_SERVICE_LEVEL_TARGET),
                       basis_known ? MORAVEL_OK : MORAVEL_ERROR_SERVICE_LEVEL_BASIS,
                       wait_ok ? MORAVEL_OK : MORAVEL_ERROR_TARGET_WAIT,
                       CheckShare(t.abandonment, MORAVEL_ERROR_ABANDONMENT_TARGET),
                       CheckShare(t.wait_probability, MORAVEL_ERROR_WAIT_PROBABILITY_TARGET),
                       t.occupancy == 0.0 || (t.occupancy > 0.0 && t.occupancy <= 1.0)
                           ? MORAVEL_OK
                           : MORAVEL_ERROR_OCCUPANCY)) {
    return refused;
  }
  const bool any = t.service_level != 0.0 || t.mean_answer_wait != 0.0 || t.abandonment != 0.0 ||
                   t.wait_probability != 0.0;
  return any ? MORAVEL_OK : MORAVEL_ERROR_NO_TARGET;
}

moravel_status StatusOf(contact::PlanRefusal refusal) {
  switch (refusal) {
    case contact::PlanRefusal::kNone: return MORAVEL_OK;
    case contact::PlanRefusal::kCalls: return MORAVEL_ERROR_CALLS_OFFERED;
    case contact::PlanRefusal::kHandlingTime: return MORAVEL_ERROR_HOLDING_TIME;
    case contact::PlanRefusal::kPatience: return MORAVEL_ERROR_PATIENCE;
    case contact::PlanRefusal::kTraffic: return MORAVEL_ERROR_TRAFFIC;
    case contact::PlanRefusal::kUnreachable: return MORAVEL_ERROR_UNREACHABLE;
    case contact::PlanRefusal::kModelLimit: return MORAVEL_ERROR_MODEL_LIMIT;
    case contact::PlanRefusal::kOverflow: return MORAVEL_ERROR_OVERFLOW;
    case contact::PlanRefusal::kScheduled: return MORAVEL_ERROR_SCHEDULED_TOO_MANY;
  }
  return MORAVEL_ERROR_INTERNAL;
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_offered_traffic(double calls, double interval_minutes,
                                                   double handling_time, double* traffic) noexcept {
  if (traffic == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(
          IsFiniteNonNegative(calls) ? MORAVEL_OK : MORAVEL_ERROR_CALLS_OFFERED,
          IsFinitePositive(interval_minutes) ? MORAVEL_OK : MORAVEL_ERROR_INTERVAL_MINUTES,
          IsFinitePositive(handling_time) ? MORAVEL_OK : MORAVEL_ERROR_HOLDING_TIME)) {
    return refused;
  }
  const double offered = moravel::contact::OfferedTraffic(calls, interval_minutes, handling_time);
  if (!std::isfinite(offered)) return MORAVEL_ERROR_OVERFLOW;
  *traffic = offered;
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_day_plan(size_t count, const double* calls,
                                            const double* handling_time, const double* patience,
                                            const moravel_day_plan_targets* targets,
                                            double interval_minutes, double shrinkage,
                                            moravel_day_plan_interval* intervals,
                                            moravel_day_plan_totals* totals,
                                            size_t* refused_index) noexcept {
  if ((count > 0 && (calls == nullptr || handling_time == nullptr || intervals == nullptr)) ||
      targets == nullptr || totals == nullptr) {
    return MORAVEL_ERROR_NULL_POINTER;
  }
  if (const auto refused = FirstRefusal(
          CheckTargets(*targets),
          IsFinitePositive(interval_minutes) ? MORAVEL_OK : MORAVEL_ERROR_INTERVAL_MINUTES,
          shrinkage >= 0.0 && shrinkage < 1.0 ? MORAVEL_OK : MORAVEL_ERROR_SHRINKAGE)) {
    return refused;
  }
  return Guarded([&] {
    std::vector<moravel::contact::PlanInterval> day(count);
    for (std::size_t i = 0; i < count; ++i) {
      day[i] = {calls[i], handling_time[i],
                patience != nullptr ? patience[i] : std::numeric_limits<double>::infinity()};
    }
    moravel::contact::PlanSettings settings{};
    settings.targets.service_level = targets->service_level;
    settings.targets.excluding_short_abandons =
        targets->service_level_basis == MORAVEL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS;
    settings.targets.mean_answer_wait = targets->mean_answer_wait;
    settings.targets.abandonment = targets->abandonment;
    settings.targets.wait_probability = targets->wait_probability;
    settings.targets.occupancy = targets->occupancy;
    settings.answer_time = targets->answer_time;
    settings.interval_minutes = interval_minutes;
    settings.shrinkage = shrinkage;
    const auto plan = moravel::contact::PlanDay(day, settings);
    for (std::size_t i = 0; i < plan.intervals.size(); ++i) {
      const auto& p = plan.intervals[i];
      intervals[i].traffic = p.traffic;
      intervals[i].agents_needed = p.agents_needed;
      intervals[i].agents_scheduled = p.agents_scheduled;
      Store(p.figures, intervals[i].figures);
    }
    if (plan.refusal != moravel::contact::PlanRefusal::kNone) {
      if (refused_index != nullptr) *refused_index = plan.refused_index;
      return StatusOf(plan.refusal);
    }
    const auto& t = plan.totals;
    *totals = {t.calls,
               t.handling_time,
               t.traffic,
               t.answered_calls,
               t.abandoned_calls,
               t.agent_intervals_needed,
               t.agent_intervals_scheduled,
               t.scheduled_agent_hours,
               t.peak_agents_scheduled,
               {}};
    Store(t.figures, totals->figures);
    return MORAVEL_OK;
  });
}

}  // extern "C"
