// Engset loss formula: call congestion of N sources on V servers.
#ifndef MORAVEL_FORMULAS_ENGSET_H
#define MORAVEL_FORMULAS_ENGSET_H

#include <cstdint>

namespace moravel {

// B = C(N-1, V) b^V / sum_{j<=V} C(N-1, j) b^j with b = a / (1 - a), by the
// recursion B(i) = t / (i + t), t = B(i-1) (N - i) b.  Returns 0 for V <= 0
// and V = 2^31 - 1.  At i = N the factor N - i is zero, so V >= N gives a
// zero whose sign flips with each further (negative) factor.
double EngsetTable(std::int32_t N, std::int32_t V, double a);

}  // namespace moravel

#endif
