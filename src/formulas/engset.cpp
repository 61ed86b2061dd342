#include "formulas/engset.h"

namespace moravel {

double EngsetTable(std::int32_t N, std::int32_t V, double a) {
  const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(V) + 1u);
  if (next < 2) return 0.0;
  double B = 1.0;
  const double beta = a / (1.0 - a);
  for (std::int32_t i = 1; i <= V; ++i) {
    // N - i wraps in 32 bits, as the count arithmetic of the model does.
    const auto remaining = static_cast<std::int32_t>(static_cast<std::uint32_t>(N) -
                                                     static_cast<std::uint32_t>(i));
    const double f = static_cast<double>(remaining) * beta;
    const double t = B * f;
    B = t / (static_cast<double>(i) + t);
  }
  return B;
}

}  // namespace moravel
