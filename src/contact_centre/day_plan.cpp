#include "contact_centre/day_plan.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <limits>

#include "contact_centre/contact_staffing.h"
#include "contact_centre/scheduled_agents.h"

namespace moravel::contact {
namespace {

bool IsFiniteNonNegative(double x) { return x >= 0.0 && std::isfinite(x); }

PlanRefusal CheckInterval(const PlanInterval& in) {
  if (!IsFiniteNonNegative(in.calls)) return PlanRefusal::kCalls;
  if (!(in.handling_time > 0.0 && std::isfinite(in.handling_time)))
    return PlanRefusal::kHandlingTime;
  if (!(in.patience > 0.0)) return PlanRefusal::kPatience;
  // The model takes hang-ups at the rate h / p, which must be a finite
  // double above 0 (0 only for callers who never hang up); the staffing
  // search would otherwise look for agents up to its bound before saying so.
  const double rate = in.handling_time / in.patience;
  if (in.patience != std::numeric_limits<double>::infinity() &&
      !(rate > 0.0 && std::isfinite(rate))) {
    return PlanRefusal::kOverflow;
  }
  return PlanRefusal::kNone;
}

// Sums of the day, in interval order.
struct Sums {
  double calls = 0.0, handled = 0.0, traffic = 0.0, carried = 0.0, queue = 0.0;
  double answered = 0.0, abandoned = 0.0;
  double waiting = 0.0, blocked = 0.0, abandon_within = 0.0, level = 0.0, wait = 0.0;
  double not_short = 0.0, level_not_short = 0.0, answer_wait = 0.0;
  std::int64_t needed = 0, scheduled = 0;
  std::int32_t peak = 0;

  void Add(const PlanInterval& in, const PlannedInterval& out) {
    const ContactCentreFigures& f = out.figures;
    const double c = in.calls;
    calls += c;
    handled += c * in.handling_time;
    traffic += out.traffic;
    carried += f.carried;
    queue += f.queue_length;
    const double answered_here = c * (1.0 - f.abandon_probability);
    answered += answered_here;
    abandoned += c * f.abandon_probability;
    waiting += c * f.wait_probability;
    blocked += c * f.blocked_probability;
    abandon_within += c * f.abandon_within_answer_time;
    level += c * f.service_level;
    wait += c * f.mean_wait;
    const double counted = c * (1.0 - f.abandon_within_answer_time);
    not_short += counted;
    level_not_short += counted * f.service_level_excluding_short_abandons;
    answer_wait += answered_here * f.mean_answer_wait;
    needed += out.agents_needed;
    scheduled += out.agents_scheduled;
    peak = std::max(peak, out.agents_scheduled);
  }
};

PlanTotals Totals(const Sums& s, std::size_t count, double minutes) {
  PlanTotals t{};
  const double intervals = static_cast<double>(count);
  t.calls = s.calls;
  t.answered_calls = s.answered;
  t.abandoned_calls = s.abandoned;
  t.agent_intervals_needed = s.needed;
  t.agent_intervals_scheduled = s.scheduled;
  t.scheduled_agent_hours = static_cast<double>(s.scheduled) * minutes / 60.0;
  t.peak_agents_scheduled = s.peak;
  t.figures = EmptyIntervalFigures();
  if (count == 0) return t;
  t.traffic = s.traffic / intervals;
  t.figures.carried = s.carried / intervals;
  t.figures.queue_length = s.queue / intervals;
  if (s.needed > 0) t.figures.occupancy = s.carried / static_cast<double>(s.needed);
  if (s.calls > 0.0) {
    t.handling_time = s.handled / s.calls;
    t.figures.wait_probability = s.waiting / s.calls;
    t.figures.blocked_probability = s.blocked / s.calls;
    t.figures.abandon_probability = s.abandoned / s.calls;
    t.figures.abandon_within_answer_time = s.abandon_within / s.calls;
    t.figures.service_level = s.level / s.calls;
    t.figures.mean_wait = s.wait / s.calls;
  }
  if (s.not_short > 0.0) {
    t.figures.service_level_excluding_short_abandons = s.level_not_short / s.not_short;
  }
  if (s.answered > 0.0) t.figures.mean_answer_wait = s.answer_wait / s.answered;
  return t;
}

// The least agents meeting every target: the largest of the solver's
// answers for the goals given.
struct Staffing {
  PlanRefusal refusal = PlanRefusal::kNone;
  std::int32_t agents = 0;
  ContactCentreFigures figures{};
};

Staffing LeastAgents(double A, const PlanInterval& in, double t, const PlanTargets& targets) {
  const double occupancy = targets.occupancy == 0.0 ? 1.0 : targets.occupancy;
  const std::pair<ContactGoal, double> goals[] = {
      {targets.excluding_short_abandons ? ContactGoal::kServiceLevelExcludingShortAbandons
                                        : ContactGoal::kServiceLevel,
       targets.service_level},
      {ContactGoal::kMeanAnswerWait, targets.mean_answer_wait},
      {ContactGoal::kAbandonProbability, targets.abandonment},
      {ContactGoal::kWaitProbability, targets.wait_probability}};
  Staffing most;
  for (const auto& [goal, target] : goals) {
    if (target == 0.0) continue;
    const ContactAgents found =
        LeastContactAgents(A, in.handling_time, in.patience, 0, t, goal, target, occupancy);
    switch (found.outcome) {
      case StaffingOutcome::kFound: break;
      case StaffingOutcome::kModelLimit: return {PlanRefusal::kModelLimit};
      case StaffingOutcome::kOverflow: return {PlanRefusal::kOverflow};
      default: return {PlanRefusal::kUnreachable};
    }
    if (found.agents > most.agents) most = {PlanRefusal::kNone, found.agents, found.figures};
  }
  return most;
}

}  // namespace

bool MeetsTargets(const ContactCentreFigures& f, const PlanTargets& targets) {
  const double level =
      targets.excluding_short_abandons ? f.service_level_excluding_short_abandons : f.service_level;
  return (targets.service_level == 0.0 || level >= targets.service_level) &&
         (targets.mean_answer_wait == 0.0 || f.mean_answer_wait <= targets.mean_answer_wait) &&
         (targets.abandonment == 0.0 || f.abandon_probability <= targets.abandonment) &&
         (targets.wait_probability == 0.0 || f.wait_probability <= targets.wait_probability) &&
         (targets.occupancy == 0.0 || f.occupancy <= targets.occupancy);
}

ContactCentreFigures EmptyIntervalFigures() {
  ContactCentreFigures f{};
  f.service_level = 1.0;
  f.service_level_excluding_short_abandons = 1.0;
  return f;
}

DayPlanResult PlanDay(const std::vector<PlanInterval>& intervals, const PlanSettings& settings) {
  DayPlanResult result;
  result.intervals.reserve(intervals.size());
  Sums sums;
  const auto refuse = [&](PlanRefusal why, std::size_t index) {
    result.refusal = why;
    result.refused_index = index;
    return result;
  };
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    const PlanInterval& in = intervals[i];
    if (const PlanRefusal why = CheckInterval(in); why != PlanRefusal::kNone) return refuse(why, i);
    PlannedInterval out{};
    out.traffic = OfferedTraffic(in.calls, settings.interval_minutes, in.handling_time);
    if (!std::isfinite(out.traffic)) return refuse(PlanRefusal::kTraffic, i);
    if (out.traffic == 0.0) {
      out.figures = EmptyIntervalFigures();
    } else {
      const Staffing staffing =
          LeastAgents(out.traffic, in, settings.answer_time, settings.targets);
      if (staffing.refusal != PlanRefusal::kNone) return refuse(staffing.refusal, i);
      const auto scheduled = ScheduledAgents(staffing.agents, settings.shrinkage);
      if (!scheduled) return refuse(PlanRefusal::kScheduled, i);
      out.agents_needed = staffing.agents;
      out.agents_scheduled = *scheduled;
      out.figures = staffing.figures;
    }
    sums.Add(in, out);
    result.intervals.push_back(out);
  }
  result.totals = Totals(sums, intervals.size(), settings.interval_minutes);
  return result;
}

}  // namespace moravel::contact
