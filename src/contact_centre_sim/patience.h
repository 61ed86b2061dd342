// How long a caller who finds every agent busy is prepared to wait.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_PATIENCE_H
#define MORAVEL_CONTACT_CENTRE_SIM_PATIENCE_H

#include <cmath>
#include <cstdint>

#include "contact_centre_sim/centre_setup.h"
#include "contact_centre_sim/exponential_stream.h"

namespace moravel {

class Patience {
 public:
  explicit Patience(const CentreSetup& centre)
      : distribution_(centre.patience_distribution),
        mean_(centre.patience),
        phases_(centre.patience_phases),
        phase_mean_(centre.patience / centre.patience_phases) {}

  bool Infinite() const { return std::isinf(mean_); }

  // One caller's patience, from `times` (the patience stream): m E for the
  // exponential, m itself (no draw) when deterministic, (m / k)(E_1 + ...
  // + E_k) summed left to right for the Erlang, which for k = 1 is m E1
  // bit for bit.  An infinite mean gives +inf without a draw (m E would be
  // NaN for E = 0).  A product past the doubles is +inf: that caller stays.
  double Draw(ExponentialStream& times) const {
    if (Infinite()) return mean_;
    switch (distribution_) {
      case PatienceDistribution::kDeterministic: return mean_;
      case PatienceDistribution::kErlang: {
        double sum = times.Next();
        for (std::int32_t k = 1; k < phases_; ++k) sum = sum + times.Next();
        return phase_mean_ * sum;
      }
      case PatienceDistribution::kExponential: break;
    }
    return mean_ * times.Next();
  }

 private:
  PatienceDistribution distribution_;
  double mean_;
  std::int32_t phases_;
  double phase_mean_;
};

}  // namespace moravel

#endif
