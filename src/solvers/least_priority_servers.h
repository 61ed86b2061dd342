// The least number of servers at which every class of the priority loss
// system meets a target loss.
#ifndef MORAVEL_SOLVERS_LEAST_PRIORITY_SERVERS_H
#define MORAVEL_SOLVERS_LEAST_PRIORITY_SERVERS_H

#include <cstdint>
#include <vector>

#include "solvers/least_size_search.h"

namespace moravel {

struct PriorityServersAnswer {
  SizeOutcome outcome;
  std::int32_t servers;      // the least V, when found
  std::vector<double> loss;  // each class's loss at V, bit for bit the model's
  bool over_budget = false;  // stopped: the next evaluation would pass the step budget
};

// Least V in 1 .. 2^31 - 2 at which PriorityModel(N, V, a) gives every
// class a loss of at most target.  Adding a server lowers the aggregate
// losses of every prefix of classes, so each class's loss falls with V:
// galloping and bisection (LeastMeetingSize) find the least V with about
// 2 log2(V) evaluations of the model, each linear in V.  A loss that is not
// a sound probability, or a carried traffic that is not finite, stops the
// search as kOverflow.  Each evaluation costs V steps per class; one that
// would take the search past kSolverStepBudget stops it (over_budget, with
// kOverflow), so that the call ends within its bound.  N >= 1, a[N] finite and not negative with a
// finite sum; target in (0, 1).
PriorityServersAnswer LeastPriorityServers(std::int32_t N, const double* a, double target);

}  // namespace moravel

#endif
