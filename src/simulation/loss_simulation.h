// Call-by-call replay of a full-availability loss system: V servers,
// Poisson arrivals, exponential holding times, a call that finds every
// server busy is lost.
#ifndef MORAVEL_SIMULATION_LOSS_SIMULATION_H
#define MORAVEL_SIMULATION_LOSS_SIMULATION_H

#include <array>
#include <cstdint>
#include <optional>

namespace moravel {

struct LossSimulationResult {
  double offered_traffic = 0.0;   // lambda / mu [erlang]
  double loss_probability = 0.0;  // lost calls / N
  double carried_traffic = 0.0;   // (1 - loss probability) offered traffic
  std::int32_t V = 0;
  std::array<double, 2> output{};  // loss probability, carried traffic: as written
};

// Replays N calls arriving at rate lambda, each held for an exponential time
// of rate mu, through V servers that start free at time 0.  The arrivals and
// the holding times come from two MT19937 streams seeded by
// SimulationStreamSeeds(seed): a nonzero seed repeats the run exactly, 0
// seeds from the clock.  An arrival at exactly the earliest free instant is
// lost.
//
// V = 0 loses every call.  Any lambda is taken, and the result is the plain
// replay's bit for bit: with lambda < 0, -0 or NaN no arrival ever comes
// after an instant at which a server frees, so every call is lost without a
// draw; +0 and +inf are replayed (see replay_loop.h and server_calendar.h).
//
// nullopt (refused) for N <= 0, V < 0, or mu not positive and finite (the
// holding times would be negative or NaN).
std::optional<LossSimulationResult> SimulateLossSystem(double lambda, double mu, std::int32_t V,
                                                       std::int32_t N, std::uint32_t seed);

}  // namespace moravel

#endif
