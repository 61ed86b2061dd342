#include "simulation/waiting_simulation.h"

#include <cmath>
#include <limits>

#include "simulation/replay_loop.h"

namespace moravel {
namespace {

std::int32_t CountDelayedCalls(double lambda, double mu, std::int32_t V, std::int32_t N,
                               std::uint32_t seed) {
  if (NoArrivalComesAfterZero(lambda)) return N;
  return CountCallsNotStartedAtOnce(lambda, mu, V, N, seed,
                                    [](ServerCalendar& servers, double arrival, double holding) {
                                      return servers.StartAtOnceOrWait(arrival, holding);
                                    });
}

}  // namespace

std::optional<WaitingSimulationResult> SimulateWaitingSystem(double lambda, double mu,
                                                             std::int32_t V, std::int32_t N,
                                                             double t, std::uint32_t seed) {
  if (N <= 0 || V <= 0 || !(mu > 0.0 && mu < std::numeric_limits<double>::infinity())) {
    return std::nullopt;
  }
  const std::int32_t delayed = CountDelayedCalls(lambda, mu, V, N, seed);
  WaitingSimulationResult r;
  r.threshold = t;
  r.mean_holding_time = 1.0 / mu;
  r.V = V;
  r.offered_traffic = lambda / mu;
  r.wait_probability = static_cast<double>(delayed) / static_cast<double>(N);
  const double margin = static_cast<double>(V) - r.offered_traffic;
  r.wait_exceeds_threshold = std::exp(((-mu) * t) * margin) * r.wait_probability;
  r.mean_wait_of_waiting = 1.0 / (margin * mu);
  r.mean_wait = r.mean_wait_of_waiting * r.wait_probability;
  r.mean_queue_length = (r.mean_wait_of_waiting * r.wait_probability) * lambda;
  r.output = {r.wait_probability, r.wait_exceeds_threshold, r.mean_wait, r.mean_wait_of_waiting,
              r.mean_queue_length};
  return r;
}

}  // namespace moravel
