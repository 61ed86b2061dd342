// Staffing a contact centre: the least agents that meet a target, and the
// largest traffic that given agents answer at one.
#ifndef MORAVEL_CONTACT_CENTRE_CONTACT_STAFFING_H
#define MORAVEL_CONTACT_CENTRE_CONTACT_STAFFING_H

#include <cstdint>
#include <optional>

#include "contact_centre/abandonment_model.h"

namespace moravel::contact {

enum class ContactGoal {
  kServiceLevel = 1,                        // service_level >= target
  kServiceLevelExcludingShortAbandons = 2,  // that one >= target
  kMeanAnswerWait = 3,                      // mean_answer_wait <= target [unit of h]
  kAbandonProbability = 4,                  // abandon_probability <= target
  kWaitProbability = 5,                     // wait_probability <= target
};

// The goal met, and the occupancy at most `max_occupancy` (1: no bound).
bool MeetsGoal(const ContactCentreFigures& f, ContactGoal goal, double target,
               double max_occupancy);

enum class StaffingOutcome {
  kFound,
  kUnreachable,        // no count up to the lines (or the largest) meets the goal
  kEveryTrafficMeets,  // every traffic up to 1e15 erlangs meets it
  kModelLimit,         // the search would pass kLargestSearchedAgents agents
  kOverflow,           // the model's figures left the doubles
};

// The agents a search evaluates at most: each evaluation costs the model's
// quadrature plus, once, the recursion up to the largest count tried (and
// 8 bytes per count kept), as the other solvers bound theirs.
inline constexpr std::int32_t kLargestSearchedAgents = 1 << 24;

struct ContactAgents {
  StaffingOutcome outcome;
  std::int32_t agents;
  ContactCentreFigures figures;  // ContactCentreModel() at that count, bit for bit
};

// The least n in 1 .. `most` (the line count when lines are limited,
// 2^31 - 2 otherwise) meeting the goal with `lines` (0: no limit) fixed.
// The figures improve as agents are added, so the least count is found by
// galloping from n = max(1, floor(A)) down or up, then bisection; the
// Erlang B values are kept from one recursion run upward (and one
// downward gallop recomputes), so each evaluation costs the quadrature
// only.  Exact on the computed values: the answer meets the goal and one
// agent fewer does not.
ContactAgents LeastContactAgents(double A, double h, double p, std::int32_t lines, double t,
                                 ContactGoal goal, double target, double max_occupancy);

struct ContactTraffic {
  StaffingOutcome outcome;
  double traffic;
  ContactCentreFigures figures;
};

// The largest A at which n agents meet the goal, the next double above it
// failing (the figures worsen as traffic grows), by the bracketed secant
// search of the other traffic solvers (here on the goal's verdict, so in
// effect a bisection in the doubles' order, at most 200 evaluations);
// kEveryTrafficMeets when every traffic up to 1e15 erlangs meets it.
ContactTraffic LargestContactTraffic(std::int32_t n, double h, double p, std::int32_t lines,
                                     double t, ContactGoal goal, double target,
                                     double max_occupancy);

}  // namespace moravel::contact

#endif
