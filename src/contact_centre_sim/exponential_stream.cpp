#include "contact_centre_sim/exponential_stream.h"

#include <cmath>

#include "random/uniform.h"

namespace moravel {

void ExponentialStream::Refill() {
  for (double& time : times_) time = -std::log(1.0 - CanonicalUniform(engine_));
  next_ = 0;
}

}  // namespace moravel
