// The two random streams of a single-service replay, drawn call by call:
// arrival instants from one engine, holding times from the other.
#ifndef MORAVEL_SIMULATION_CALL_STREAMS_H
#define MORAVEL_SIMULATION_CALL_STREAMS_H

#include <cmath>

#include "random/mt19937.h"
#include "random/second_seed.h"
#include "random/uniform.h"

namespace moravel {

// Value i of UniformSample(N, 0, 1, seed) is the (i + 1)-th UniformValue(engine,
// 0, 1) of an engine seeded alike, so drawing the values call by call gives
// the very numbers of the two sample lists, in the same order, without
// holding N of them.  Each call spends two outputs of each engine.
//
// The values are drawn a block of calls at a time, ahead of the decisions:
// the drawing loop then has no branch that depends on the replay, so the
// processor overlaps the logarithms of successive calls, which a mispredicted
// decision in the same loop would throw away.
class CallStreams {
 public:
  static constexpr int kBlockSize = 256;

  CallStreams(StreamSeeds seeds, double arrival_rate, double service_rate)
      : arrival_engine_(seeds.arrival),
        holding_engine_(seeds.holding),
        arrival_rate_(arrival_rate),
        service_rate_(service_rate) {}

  // The next `count` calls (at most kBlockSize): arrival instants, the
  // running sum, left to right, of the inter-arrival times -(ln v / lambda),
  // and holding times -(ln v / mu).
  void Draw(int count, double* arrivals, double* holdings) {
    double instant = instant_;
    for (int i = 0; i < count; ++i) {
      const double v = UniformValue(arrival_engine_, 0.0, 1.0);
      instant = instant + -(std::log(v) / arrival_rate_);
      arrivals[i] = instant;
      const double w = UniformValue(holding_engine_, 0.0, 1.0);
      holdings[i] = -(std::log(w) / service_rate_);
    }
    instant_ = instant;
  }

 private:
  Mt19937 arrival_engine_;
  Mt19937 holding_engine_;
  double arrival_rate_;
  double service_rate_;
  // -0 + x is x for every x, signed zeros and NaN included, so the first
  // instant is the first inter-arrival time itself, bit for bit.
  double instant_ = -0.0;
};

}  // namespace moravel

#endif
