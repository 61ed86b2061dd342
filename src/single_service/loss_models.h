// Single-service loss systems: one stream of calls on V servers, a call
// that finds every server busy is lost.
#ifndef MORAVEL_SINGLE_SERVICE_LOSS_MODELS_H
#define MORAVEL_SINGLE_SERVICE_LOSS_MODELS_H

#include <array>
#include <cstdint>

namespace moravel {

// Loss probability and carried traffic [erlang], in the order written.
struct LossPair {
  double loss;
  double carried;
  std::array<double, 2> Numbers() const { return {loss, carried}; }
};

// Poisson traffic A on V servers: B = PalmTable(V, A), Y = (1 - B) A.
LossPair PoissonLossModel(std::int32_t V, double A);

// The same from B = PalmTable(V, A) already at hand.
inline LossPair PoissonLossFromLoss(double A, double B) { return {B, (1.0 - B) * A}; }

// The carried traffic of Poisson traffic A on V >= 1 servers, within the
// servers.  (1 - B) A loses its digits as B nears 1, and can pass V, or
// give 0 once B rounds to 1 (A = 1e20 on 10 servers).  Above B = 1/2 it is
// taken as A V / (V + A B(V - 1)), the last step of the recursion, whose
// terms are all positive; at or below, (1 - B) A is exact to an ulp and is
// kept.  Never above V.
LossPair PoissonLossWithinServers(std::int32_t V, double A, double B);

// N sources of a erlangs each: B = EngsetTable(N, V, a) and the Engset
// carried traffic N b (1 - B) / ((1 - B) b + 1), b = a / (1 - a).
LossPair FiniteSourceLossModel(std::int32_t N, std::int32_t V, double a);

// Poisson traffic assembled as A = (n / (1/x + 1/y)) (z/y + 1).
double AssembledLoad(double x, double y, double z, std::int32_t n);
LossPair AssembledLossModel(double x, double y, double z, std::int32_t V, std::int32_t n);

}  // namespace moravel

#endif
