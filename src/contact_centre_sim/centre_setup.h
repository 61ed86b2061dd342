// What a simulated contact centre is: its callers, agents, lines, patience
// and redialling.  Time runs in mean handling times (service rate 1).
#ifndef MORAVEL_CONTACT_CENTRE_SIM_CENTRE_SETUP_H
#define MORAVEL_CONTACT_CENTRE_SIM_CENTRE_SETUP_H

#include <cstdint>

namespace moravel {

enum class PatienceDistribution : std::int32_t {
  kExponential = 1,    // memoryless: the M/M/n+M centre
  kDeterministic = 2,  // every caller waits exactly the mean
  kErlang = 3,         // a sum of k exponential phases: coefficient of variation 1/sqrt(k)
};

struct CentreSetup {
  double traffic = 0.0;     // A: first attempts per mean handling time [erlang]
  std::int32_t agents = 0;  // n
  std::int32_t lines = 0;   // L >= n: callers in the centre at most; 0 for no limit
  PatienceDistribution patience_distribution = PatienceDistribution::kExponential;
  std::int32_t patience_phases = 1;    // k of the Erlang distribution
  double patience = 0.0;               // mean patience; +inf: callers never abandon
  double answer_time = 0.0;            // t of the service levels
  double blocked_retry_share = 0.0;    // share of blocked attempts that redial
  double abandoned_retry_share = 0.0;  // share of abandoned attempts that redial
  double redial_time = 0.0;            // mean time from the failure to the next attempt

  bool LinesLimited() const { return lines != 0; }
  bool Redials() const { return blocked_retry_share > 0.0 || abandoned_retry_share > 0.0; }
};

}  // namespace moravel

#endif
