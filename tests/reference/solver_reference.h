// Plain searches the solvers are checked against: every size tried in turn
// from the smallest, each through the model's own function, and the traffic
// found by halving a bracket in value until its ends are neighbours.
#ifndef MORAVEL_TESTS_REFERENCE_SOLVER_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_SOLVER_REFERENCE_H

#include <cstdint>
#include <functional>

namespace moravel::reference {

// Least V = 1, 2, ... with PalmTable(V, A) <= target (0 when none up to `last`).
std::int32_t LinearErlangServers(double A, double target, std::int32_t last);

// Least V = 1, 2, ... with EngsetTable(N, V, a) <= target.
std::int32_t LinearEngsetServers(std::int32_t N, double a, double target);

// Least k = first, first + 1, ... with every class's blocking of
// LinkGroupModel (g = 0) or LinkSubsetModel (g >= 1) at most target; 0
// when none up to `last`.
std::int32_t LinearLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                         std::int32_t g, double target, std::int32_t last);

// Least V = floor(A) + 1, ... whose WaitingModel(t, h, V, A) meets the goal:
// 0 service level, 1 mean wait, 2 probability of waiting.
std::int32_t LinearAgents(double A, double h, double t, int goal, double target);

// From lo < hi with F(lo) <= target < F(hi): halves [lo, hi] at its value
// midpoint until lo and hi are neighbouring doubles, and returns lo.
double BisectedLargestAtOrBelow(const std::function<double(double)>& F, double target, double lo,
                                double hi);

}  // namespace moravel::reference

#endif
