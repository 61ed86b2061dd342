// The least number of servers whose loss is at most a target, for the
// Erlang and Engset loss formulas.
#ifndef MORAVEL_SOLVERS_LEAST_SERVERS_H
#define MORAVEL_SOLVERS_LEAST_SERVERS_H

#include <cstdint>

#include "solvers/solver_budget.h"

namespace moravel {

struct ServersAnswer {
  SolverOutcome outcome;
  std::int32_t servers;  // the least V that meets the target, when found
  double loss;           // the loss at V, bit for bit the formula's value
};

// The loss formulas are recursions in V whose step i yields the value for
// i servers exactly as the formula computes it, so one upward run visits
// every V in turn: the first V with a loss at most the target is the answer
// a plain search calling the formula for V = 1, 2, ... finds, in time
// linear in the answer rather than quadratic.
//
// The carried traffic never exceeds V, which bounds the answer from below:
// when that bound alone passes the budget, the search is refused before it
// starts (kModelLimit), and a run that passes it is stopped.

// Least V in 1 .. 2^31 - 2 with PalmTable(V, A) <= target, for A finite and
// not negative, target in (0, 1).  The answer is at least A (1 - target):
// kUnreachable when that passes 2^31 - 2, kModelLimit when it passes
// kSolverStepBudget.
ServersAnswer LeastErlangServers(double A, double target);

// Least V in 1 .. min(N, 2^31 - 2) with EngsetTable(N, V, a) <= target,
// for N >= 1, a in [0, 1), target in (0, 1).  V = N loses nothing, so only
// N = 2^31 - 1 can leave it unmet (kUnreachable).  The answer is at least
// N b (1 - target) / (1 + b (1 - target)), b = a / (1 - a): kModelLimit
// when that passes kSolverStepBudget / kEngsetStepCost.
ServersAnswer LeastEngsetServers(std::int32_t N, double a, double target);

}  // namespace moravel

#endif
