#include "simulation/loss_simulation.h"

#include <limits>

#include "simulation/replay_loop.h"

namespace moravel {
namespace {

std::int32_t CountLostCalls(double lambda, double mu, std::int32_t V, std::int32_t N,
                            std::uint32_t seed) {
  if (V == 0 || NoArrivalComesAfterZero(lambda)) return N;
  return CountCallsNotStartedAtOnce(lambda, mu, V, N, seed,
                                    [](ServerCalendar& servers, double arrival, double holding) {
                                      return servers.StartIfFree(arrival, holding);
                                    });
}

}  // namespace

std::optional<LossSimulationResult> SimulateLossSystem(double lambda, double mu, std::int32_t V,
                                                       std::int32_t N, std::uint32_t seed) {
  if (N <= 0 || V < 0 || !(mu > 0.0 && mu < std::numeric_limits<double>::infinity())) {
    return std::nullopt;
  }
  const std::int32_t lost = CountLostCalls(lambda, mu, V, N, seed);
  LossSimulationResult result;
  result.V = V;
  result.offered_traffic = lambda / mu;
  result.loss_probability = static_cast<double>(lost) / static_cast<double>(N);
  result.carried_traffic = (1.0 - result.loss_probability) * result.offered_traffic;
  result.output = {result.loss_probability, result.carried_traffic};
  return result;
}

}  // namespace moravel
