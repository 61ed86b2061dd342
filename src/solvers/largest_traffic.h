// The largest offered traffic that given servers carry at a target loss.
#ifndef MORAVEL_SOLVERS_LARGEST_TRAFFIC_H
#define MORAVEL_SOLVERS_LARGEST_TRAFFIC_H

#include <cstdint>

#include "solvers/solver_budget.h"

namespace moravel {

struct TrafficAnswer {
  SolverOutcome outcome;
  double traffic;  // when found
};

// Each search evaluates its model, a recursion of V steps, at a bracket
// around a starting point and then closes the bracket (LargestAtOrBelow).
// kModelLimit, before any evaluation, when kPlannedEvaluations of them
// would pass kSolverStepBudget, and when a search passes twice the budget.

// The largest A with PalmTable(V, A) <= target < PalmTable(V, A'), A' the
// next double above A, for V in 1 .. 2^31 - 2 and target in (0, 1).  The
// loss rises from 0 at A = 0 towards 1, so such an A always exists.  The
// search starts from an asymptotic root (ErlangTrafficEstimate).
TrafficAnswer LargestErlangTraffic(std::int32_t V, double target);

// A close estimate of the traffic at which B(V, A) = target, from
// 1 / B = A \int_0^inf e^{-A x} (1 + x)^V dx by Laplace's method.  For A up
// to V the exponent peaks at 1 + x = V / A, and with the Gaussian cut at
// x = 0, 1 / B ~ sqrt(2 pi V) exp(V ln(V / A) - V + A) Phi((V - A) / sqrt V)
// (small losses: the root lies near V - c sqrt V, c growing as the target
// falls).  Above V it falls from x = 0, and 1 / B ~ A sqrt(2 pi / V)
// e^{w^2 / 2} Phi(-w), w = (A - V) / sqrt V, which tends to A / (A - V)
// (large losses: A ~ V / (1 - target)).  The two meet at A = V, where both
// give sqrt(pi V / 2).  Solved for A by bisection of ln A.
double ErlangTrafficEstimate(std::int32_t V, double target);

// The largest traffic per source a below 1 with EngsetTable(N, V, a) <=
// target < EngsetTable(N, V, a'), for 1 <= V < N and target in (0, 1);
// kEveryTraffic when even the largest double below 1 meets the target.
TrafficAnswer LargestEngsetTraffic(std::int32_t N, std::int32_t V, double target);

// The largest traffic A below V with a service level 1 - P(wait > t) of at
// least target in the delay system of V agents, handling time h and answer
// time t (WaitingModel(t, h, V, A)): SL(A) >= target > SL(A'), A' the next
// double above A.  The service level falls from 1 at A = 0 towards 0 as A
// nears V; kEveryTraffic when even the largest double below V meets the
// target.  For V >= 1, h finite and above 0, t finite and not negative,
// target in (0, 1).
TrafficAnswer LargestDelayTraffic(std::int32_t V, double h, double t, double target);

}  // namespace moravel

#endif
