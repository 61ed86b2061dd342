#include "formulas/erlang_loss.h"

namespace moravel {

double PalmTable(std::int32_t V, double A) {
  // V + 1 in two's complement: the largest V wraps and counts as "no servers".
  const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(V) + 1u);
  if (next < 2) return 0.0;
  double B = 1.0;
  // Latency-bound chain: one multiply, one add, one divide per server.
  for (std::int32_t i = 1; i <= V; ++i) B = ErlangLossStep(B, A, i);
  return B;
}

double ErlangFormula2(std::int32_t V, double A) { return ErlangCFromLoss(V, A, PalmTable(V, A)); }

}  // namespace moravel
