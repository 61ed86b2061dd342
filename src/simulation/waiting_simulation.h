// Call-by-call replay of a full-availability waiting system: V servers,
// Poisson arrivals, exponential holding times, an unlimited queue served
// first come, first served.
#ifndef MORAVEL_SIMULATION_WAITING_SIMULATION_H
#define MORAVEL_SIMULATION_WAITING_SIMULATION_H

#include <array>
#include <cstdint>
#include <optional>

namespace moravel {

// Only the probability of waiting is measured; the other figures follow
// from it by the closed-form relations of the M/M/V queue, with the margin
// M = V - lambda / mu.
struct WaitingSimulationResult {
  double threshold = 0.0;               // t [mean holding times when mu = 1]
  double mean_holding_time = 0.0;       // 1 / mu
  double mean_wait = 0.0;               // w P, over all calls
  double mean_wait_of_waiting = 0.0;    // w = 1 / (M mu)
  double offered_traffic = 0.0;         // lambda / mu [erlang]
  double wait_probability = 0.0;        // P = delayed calls / N
  double wait_exceeds_threshold = 0.0;  // exp(-mu t M) P
  double mean_queue_length = 0.0;       // w P lambda
  std::int32_t V = 0;
  std::array<double, 5> output{};  // P, P(wait > t), w P, w, queue: as written
};

// Replays N calls arriving at rate lambda, each held for an exponential time
// of rate mu (drawn for every call), through V servers that start free at
// time 0; each call in arrival order takes the server that frees first.  A
// call arriving at exactly that instant counts as delayed.  Seeds as in
// SimulateLossSystem.
//
// Any lambda and t are taken, and the result is the plain replay's bit for
// bit: with lambda < 0, -0 or NaN every call is delayed, settled without a
// draw.  lambda >= V gives the unclamped figures of M <= 0.
//
// nullopt (refused) for N <= 0, V <= 0 (no call could ever be served), or
// mu not positive and finite.
std::optional<WaitingSimulationResult> SimulateWaitingSystem(double lambda, double mu,
                                                             std::int32_t V, std::int32_t N,
                                                             double t, std::uint32_t seed);

}  // namespace moravel

#endif
