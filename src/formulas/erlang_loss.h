// Erlang loss (B) and delay (C) formulas.
#ifndef MORAVEL_FORMULAS_ERLANG_LOSS_H
#define MORAVEL_FORMULAS_ERLANG_LOSS_H

#include <cstdint>

namespace moravel {

// One step of the Erlang B recursion: B(i) from B(i-1), t = B(i-1) A and
// B(i) = t / (i + t).  Running it for i = 1 .. V from B(0) = 1 passes
// through PalmTable(i, A) at every i, bit for bit.
inline double ErlangLossStep(double previous, double A, std::int32_t i) {
  const double t = previous * A;
  return t / (static_cast<double>(i) + t);
}

// B(V, A) by the recursion B(0) = 1, B(i) = A*B(i-1) / (i + A*B(i-1)).
// Returns 0 whenever V + 1 (wrapping in 32 bits) is below 2: V <= 0 and
// V = 2^31 - 1.  For finite A >= 0 every step stays in [0, 1].
double PalmTable(std::int32_t V, double A);

// C(V, A) = B / (1 - (A/V)(1 - B)), with B = PalmTable(V, A).  Not clamped.
double ErlangFormula2(std::int32_t V, double A);

// The same from B = PalmTable(V, A) already at hand:
// ErlangFormula2(V, A) is ErlangCFromLoss(V, A, PalmTable(V, A)).
inline double ErlangCFromLoss(std::int32_t V, double A, double B) {
  const double q = ((1.0 - B) * A) / static_cast<double>(V);
  const double d = 1.0 - q;
  return B / d;
}

}  // namespace moravel

#endif
