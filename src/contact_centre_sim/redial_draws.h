// Whether a failed attempt is tried again, and after how long.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_REDIAL_DRAWS_H
#define MORAVEL_CONTACT_CENTRE_SIM_REDIAL_DRAWS_H

#include <cmath>
#include <cstdint>

#include "random/mt19937.h"
#include "random/uniform.h"

namespace moravel {

// The fourth stream of a run.  For each failed attempt whose share of
// redialling callers is above 0, in the order of the attempts: a canonical
// uniform u (below 1 - 2^-53), the caller redials when u < share (a share
// of 1 always does); then, if so, the redial time m E, E = -ln(1 - u') as in
// ExponentialStream.
class RedialDraws {
 public:
  RedialDraws(std::uint32_t seed, double mean_redial_time)
      : engine_(seed), mean_(mean_redial_time) {}

  bool Redials(double share) { return CanonicalUniform(engine_) < share; }
  double RedialTime() { return mean_ * -std::log(1.0 - CanonicalUniform(engine_)); }

 private:
  Mt19937 engine_;
  double mean_;
};

}  // namespace moravel

#endif
