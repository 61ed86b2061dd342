// The call loop shared by the two single-service replays.
#ifndef MORAVEL_SIMULATION_REPLAY_LOOP_H
#define MORAVEL_SIMULATION_REPLAY_LOOP_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "random/second_seed.h"
#include "simulation/call_streams.h"
#include "simulation/server_calendar.h"

namespace moravel {

// Whether every arrival instant is at most 0 or NaN: an arrival rate with the
// sign bit set (-0, negative, -inf) makes every inter-arrival time at most 0
// or NaN, a NaN rate makes them all NaN, and an infinite rate makes each one
// -(ln v / inf), +0 or -0 (NaN where v is 0), so every instant is a zero or
// NaN.  No such arrival comes after any free instant (all are at least 0),
// so every call is lost or waits, and a replay can say so without drawing,
// however many calls it has.
inline bool NoArrivalComesAfterZero(double arrival_rate) {
  return std::signbit(arrival_rate) || std::isnan(arrival_rate) || std::isinf(arrival_rate);
}

// Offers N calls to `servers` through `offer(servers, arrival, holding)`,
// which returns whether the call started at once; returns how many did not.
// The rate must be +0 or more, so the arrival instants never decrease until
// one is NaN; from there all are NaN, and a NaN arrival is never later than
// a free instant, so the rest of the calls are counted without being offered.
//
// Time is counted in the unit of the rates, mean holding times for the
// replays, unless the arrival instants could pass the largest double: each
// inter-arrival time is at most 36.74 / lambda (-ln of the least nonzero
// uniform value, 2^-53), so N of them stay finite whenever N 37 / lambda is
// below half the largest double.  A smaller positive rate (1e-305 erlangs
// over 10^5 calls) would sum to +inf, and every call from there on would
// be lost.  Time is then counted in mean inter-arrival times instead:
// arrival rate 1 and service rate mu / lambda (at most the largest double),
// which only rescales the instants, so the decisions are those of exact
// arithmetic, and the figures, counted from the decisions, keep their
// meaning.  Runs that stay within the doubles keep their bits.
inline bool ArrivalInstantsMayOverflow(double lambda, std::int32_t N) {
  constexpr double kLongestInterArrival = 37.0;  // in mean inter-arrival times
  return lambda > 0.0 && static_cast<double>(N) * kLongestInterArrival >
                             lambda * (std::numeric_limits<double>::max() / 2);
}

template <class Offer>
std::int32_t CountCallsNotStartedAtOnce(double lambda, double mu, std::int32_t V, std::int32_t N,
                                        std::uint32_t seed, Offer offer) {
  if (ArrivalInstantsMayOverflow(lambda, N)) {
    mu = std::min(mu / lambda, std::numeric_limits<double>::max());
    lambda = 1.0;
  }
  CallStreams streams(SimulationStreamSeeds(seed), lambda, mu);
  ServerCalendar servers(V, lambda, mu);
  double arrivals[CallStreams::kBlockSize];
  double holdings[CallStreams::kBlockSize];
  std::int32_t not_at_once = 0;
  for (std::int64_t done = 0; done < N; done += CallStreams::kBlockSize) {
    int count = static_cast<int>(std::min<std::int64_t>(CallStreams::kBlockSize, N - done));
    streams.Draw(count, arrivals, holdings);
    const bool nan_reached = std::isnan(arrivals[count - 1]);
    if (nan_reached)
      count = static_cast<int>(
          std::find_if(arrivals, arrivals + count, [](double a) { return std::isnan(a); }) -
          arrivals);
    for (int i = 0; i < count; ++i) {
      if (!offer(servers, arrivals[i], holdings[i])) ++not_at_once;
    }
    if (nan_reached) return not_at_once + static_cast<std::int32_t>(N - done - count);
  }
  return not_at_once;
}

}  // namespace moravel

#endif
