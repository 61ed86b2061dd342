// How much work one solver call may do, counted in steps of the loss
// recursions, so that every call answers, or refuses, within a bound.
#ifndef MORAVEL_SOLVERS_SOLVER_BUDGET_H
#define MORAVEL_SOLVERS_SOLVER_BUDGET_H

#include <cstdint>

namespace moravel {

// An Erlang B step (a product, a sum and a quotient in one dependent chain)
// takes about 7.5 ns of CPU on a 2-core Xeon; an Engset step, which also
// converts and multiplies its source count, is counted as three (measured:
// about one under light load, three under heavy).  2^28 Erlang steps are
// about 2 s of CPU there.
inline constexpr std::int64_t kSolverStepBudget = std::int64_t{1} << 28;
inline constexpr std::int64_t kEngsetStepCost = 3;

// A traffic search evaluates its model at its bracket's ends and then at
// about a dozen points (8 to 20 for targets up to 0.9); it plans this many,
// plus log2(1 / (1 - target)) above 1/2, and is refused before it starts
// when those would pass the budget.  One that needs more is stopped at
// twice the budget.
inline constexpr std::int64_t kPlannedEvaluations = 16;

enum class SolverOutcome {
  kFound,
  kUnreachable,   // no size within 32 bits meets the target
  kEveryTraffic,  // every traffic the model takes meets the target
  kModelLimit,    // the work would pass the budget
};

}  // namespace moravel

#endif
