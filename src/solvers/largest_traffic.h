// The largest offered traffic that given servers carry at a target loss.
#ifndef MORAVEL_SOLVERS_LARGEST_TRAFFIC_H
#define MORAVEL_SOLVERS_LARGEST_TRAFFIC_H

#include <cstdint>
#include <optional>

namespace moravel {

// The largest A with PalmTable(V, A) <= target < PalmTable(V, A'), A' the
// next double above A, for V in 1 .. 2^31 - 2 and target in (0, 1).  The
// loss rises from 0 at A = 0 towards 1, so such an A always exists.
double LargestErlangTraffic(std::int32_t V, double target);

// The largest traffic per source a below 1 with EngsetTable(N, V, a) <=
// target < EngsetTable(N, V, a'), for 1 <= V < N and target in (0, 1);
// nullopt when even the largest double below 1 meets the target.
std::optional<double> LargestEngsetTraffic(std::int32_t N, std::int32_t V, double target);

// The largest traffic A below V with a service level 1 - P(wait > t) of at
// least target in the delay system of V agents, handling time h and answer
// time t (WaitingModel(t, h, V, A)): SL(A) >= target > SL(A'), A' the next
// double above A.  The service level falls from 1 at A = 0 towards 0 as A
// nears V; nullopt when even the largest double below V meets the target.
// For V >= 1, h finite and above 0, t finite and not negative, target in
// (0, 1).
std::optional<double> LargestDelayTraffic(std::int32_t V, double h, double t, double target);

}  // namespace moravel

#endif
