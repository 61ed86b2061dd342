// Standard exponential times from one MT19937 engine, drawn a block ahead.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_EXPONENTIAL_STREAM_H
#define MORAVEL_CONTACT_CENTRE_SIM_EXPONENTIAL_STREAM_H

#include <array>
#include <cstdint>

#include "random/mt19937.h"

namespace moravel {

// Each time is E = -ln(1 - u), u the canonical uniform of two engine
// outputs (random/uniform.h), a multiple of 2^-53 in [0, 1 - 2^-53].  So
// 1 - u is exact and lies in [2^-53, 1], and every E is finite, from -0 to
// 53 ln 2 = 36.7: no infinite arrival gap, handling time or patience, unlike
// the single-service replays' widened uniform, which reaches 0.
//
// The k-th time of a stream depends on the seed and k alone: drawing a
// block of kBlockSize ahead, with no branch on the replay in the loop,
// lets the processor overlap the logarithms.
class ExponentialStream {
 public:
  static constexpr int kBlockSize = 256;

  explicit ExponentialStream(std::uint32_t seed) : engine_(seed) {}

  double Next() {
    if (next_ == kBlockSize) Refill();
    return times_[next_++];
  }

 private:
  void Refill();

  Mt19937 engine_;
  std::array<double, kBlockSize> times_{};
  int next_ = kBlockSize;
};

}  // namespace moravel

#endif
