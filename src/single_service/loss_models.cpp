#include "single_service/loss_models.h"

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"

namespace moravel {

LossPair PoissonLossModel(std::int32_t V, double A) {
  return PoissonLossFromLoss(A, PalmTable(V, A));
}

LossPair FiniteSourceLossModel(std::int32_t N, std::int32_t V, double a) {
  const double B = EngsetTable(N, V, a);
  const double beta = a / (1.0 - a);
  const double q = 1.0 - B;
  const double numerator = (static_cast<double>(N) * beta) * q;
  const double denominator = (q * beta) + 1.0;
  return {B, numerator / denominator};
}

double AssembledLoad(double x, double y, double z, std::int32_t n) {
  const double r = (1.0 / x) + (1.0 / y);
  const double s = (z / y) + 1.0;
  return (static_cast<double>(n) / r) * s;
}

LossPair AssembledLossModel(double x, double y, double z, std::int32_t V, std::int32_t n) {
  return PoissonLossModel(V, AssembledLoad(x, y, z, n));
}

}  // namespace moravel

namespace moravel {

LossPair PoissonLossWithinServers(std::int32_t V, double A, double B) {
  if (!(B > 0.5)) return PoissonLossFromLoss(A, B);
  const auto servers = static_cast<double>(V);
  // E(0, A) = 1: a single server's predecessor blocks every call.
  const double t = A * (V > 1 ? PalmTable(V - 1, A) : 1.0);
  const double carried = servers * (A / (servers + t));
  return {B, carried < servers ? carried : servers};
}

}  // namespace moravel
