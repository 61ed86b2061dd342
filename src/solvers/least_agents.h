// Call-centre staffing: the least number of agents of an Erlang delay
// system that meets a service target.
#ifndef MORAVEL_SOLVERS_LEAST_AGENTS_H
#define MORAVEL_SOLVERS_LEAST_AGENTS_H

#include <cstdint>

#include "single_service/waiting_model.h"
#include "solvers/solver_budget.h"

namespace moravel {

enum class StaffingGoal {
  kServiceLevel,     // 1 - P(wait > t) >= target
  kMeanWait,         // mean wait over all calls <= target [unit of h]
  kWaitProbability,  // C(V, A) <= target
};

struct AgentsAnswer {
  SolverOutcome outcome;
  std::int32_t agents;
  WaitingCharacteristics figures;  // WaitingModel(t, h, agents, A), bit for bit
};

// Least V > A (and >= 1) up to 2^31 - 2 meeting the goal, for A finite and
// not negative, h finite and above 0, t finite and not negative.  Every
// figure falls as agents are added, so the first V that meets the goal,
// running the Erlang B recursion upward once, is the answer; kUnreachable
// when none does (A at or above 2^31 - 2).  The run takes at least A steps:
// kModelLimit when A passes kSolverStepBudget, or when the run passes twice
// that.
AgentsAnswer LeastAgents(double A, double h, double t, StaffingGoal goal, double target);

}  // namespace moravel

#endif
