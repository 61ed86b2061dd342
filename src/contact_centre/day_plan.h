// A day's staffing plan: for each interval of a day, the least agents that
// meet the targets, the agents to schedule for shrinkage, the figures they
// achieve, and the day's totals.
#ifndef MORAVEL_CONTACT_CENTRE_DAY_PLAN_H
#define MORAVEL_CONTACT_CENTRE_DAY_PLAN_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "contact_centre/abandonment_model.h"

namespace moravel::contact {

// One interval as forecast: calls offered (any finite number >= 0, not
// necessarily whole), mean handling time and mean patience in seconds
// (patience +inf: callers who never hang up).
struct PlanInterval {
  double calls;
  double handling_time;
  double patience;
};

// Each target is met when it is 0 (no target) or the figure lies on its
// side of it; waits in seconds.  At least one of the first four (the
// goals) is given.
struct PlanTargets {
  double service_level = 0.0;             // answered within t: at least
  bool excluding_short_abandons = false;  // the level over calls not abandoned within t
  double mean_answer_wait = 0.0;          // ASA: at most
  double abandonment = 0.0;               // share of calls that hang up: at most
  double wait_probability = 0.0;          // at most
  double occupancy = 0.0;                 // carried traffic over agents: at most
};

bool MeetsTargets(const ContactCentreFigures& f, const PlanTargets& targets);

struct PlanSettings {
  PlanTargets targets;
  double answer_time;       // t of the service level [s]
  double interval_minutes;  // length of every interval
  double shrinkage;         // share of scheduled time not on the phones, in [0, 1)
};

struct PlannedInterval {
  double traffic;  // calls x handling time / (60 x minutes) [erlang]
  std::int32_t agents_needed;
  std::int32_t agents_scheduled;
  ContactCentreFigures figures;  // at agents_needed; waits in seconds
};

// The day: sums, and figures weighted as the day's calls meet them.
struct PlanTotals {
  double calls;
  double handling_time;  // mean over the day's calls [s]
  double traffic;        // mean over the intervals [erlang]
  double answered_calls;
  double abandoned_calls;
  std::int64_t agent_intervals_needed;
  std::int64_t agent_intervals_scheduled;
  double scheduled_agent_hours;
  std::int32_t peak_agents_scheduled;
  ContactCentreFigures figures;
};

enum class PlanRefusal {
  kNone,
  kCalls,         // calls not finite or negative
  kHandlingTime,  // not finite or not above 0
  kPatience,      // not above 0 (NaN included)
  kTraffic,       // calls x handling time overflows
  kUnreachable,   // no number of agents meets the targets (a highest occupancy)
  kModelLimit,    // the search would pass the staffing solvers' bound
  kOverflow,      // the model cannot compute the figures (patience far from handling)
  kScheduled,     // the agents to schedule pass 2^31 - 1
};

struct DayPlanResult {
  std::vector<PlannedInterval> intervals;  // those planned, in order
  PlanTotals totals{};                     // set when every interval was planned
  PlanRefusal refusal = PlanRefusal::kNone;
  std::size_t refused_index = 0;  // the interval refused, when refusal != kNone
};

// The traffic a call volume offers: calls in an interval of so many
// minutes, each held handling_time seconds on average, give
// calls x handling_time / (60 x minutes) erlangs.  Not finite where the
// product overflows; the caller checks the three arguments.
inline double OfferedTraffic(double calls, double interval_minutes, double handling_time) {
  return calls * handling_time / (interval_minutes * 60.0);
}

// The figures of an interval without traffic: nothing waits, every call is
// (vacuously) answered at once, nobody is busy.
ContactCentreFigures EmptyIntervalFigures();

// Plans the intervals in order and stops at the first it refuses.  The
// settings must have been checked (targets as the C interface states,
// answer time finite >= 0, minutes finite > 0, shrinkage in [0, 1)).
//
// Per interval: A = calls x handling time / (60 x minutes); an interval
// with A = 0 needs no agent and has EmptyIntervalFigures(); otherwise
// agents_needed is the least n whose ContactCentreModel(A, h, p, n, no line
// limit, t) figures meet every target, and agents_scheduled is
// ScheduledAgents(needed, shrinkage).  Each goal given is met from its own
// least count on (the figures improve as agents are added), so that n is
// the largest of the contact-centre staffing solver's answers for the
// goals, each with the highest occupancy; its figures are that answer's,
// bit for bit.
//
// Totals, summed in interval order, with c the calls of an interval:
// calls, answered calls c (1 - P(abandon)), abandoned calls c P(abandon),
// agent-intervals needed and scheduled and their peak; scheduled agent
// hours = scheduled agent-intervals x minutes / 60; handling time
// sum(c h) / sum(c); traffic and carried traffic the means over the
// intervals, as is the queue length (every interval is as long).  The
// shares of offered calls (waiting, blocked, abandoning, abandoning within
// t, service level) and the mean wait of all calls are weighted by c; the
// service level excluding short abandons by c (1 - P(abandon within t)),
// its own denominator; the ASA by the answered calls; occupancy is the
// carried traffic over the agents needed, summed over the intervals.  A
// day without calls has the figures of an empty interval.
DayPlanResult PlanDay(const std::vector<PlanInterval>& intervals, const PlanSettings& settings);

}  // namespace moravel::contact

#endif
