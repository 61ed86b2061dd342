// Engset loss formula: call congestion of N sources on V servers.
#ifndef MORAVEL_FORMULAS_ENGSET_H
#define MORAVEL_FORMULAS_ENGSET_H

#include <cstdint>

namespace moravel {

// The offered traffic per idle source, b = a / (1 - a).
inline double IdleSourceTraffic(double a) { return a / (1.0 - a); }

// One step of the Engset recursion: B(i) from B(i-1) with the factor
// (N - i) b, N - i wrapping in 32 bits.  Running it for i = 1 .. V from
// B(0) = 1 passes through EngsetTable(N, i, a) at every i, bit for bit.
inline double EngsetStep(double previous, std::int32_t N, double b, std::int32_t i) {
  const auto remaining =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(N) - static_cast<std::uint32_t>(i));
  const double f = static_cast<double>(remaining) * b;
  const double t = previous * f;
  return t / (static_cast<double>(i) + t);
}

// B = C(N-1, V) b^V / sum_{j<=V} C(N-1, j) b^j with b = a / (1 - a), by the
// recursion B(i) = t / (i + t), t = B(i-1) (N - i) b.  Returns 0 for V <= 0
// and V = 2^31 - 1.  At i = N the factor N - i is zero, so V >= N gives a
// zero whose sign flips with each further (negative) factor.
double EngsetTable(std::int32_t N, std::int32_t V, double a);

}  // namespace moravel

#endif
