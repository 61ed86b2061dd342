#include "formulas/engset.h"

namespace moravel {

double EngsetTable(std::int32_t N, std::int32_t V, double a) {
  const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(V) + 1u);
  if (next < 2) return 0.0;
  double B = 1.0;
  const double beta = IdleSourceTraffic(a);
  for (std::int32_t i = 1; i <= V; ++i) B = EngsetStep(B, N, beta, i);
  return B;
}

}  // namespace moravel
