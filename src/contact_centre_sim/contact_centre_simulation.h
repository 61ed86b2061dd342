// Call-by-call replay of a contact centre: Poisson first attempts,
// exponential handling, n agents serving first come, first served,
// callers who abandon when their patience runs out, an optional limit of L
// lines, and callers who redial after a busy tone or an abandonment.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_CONTACT_CENTRE_SIMULATION_H
#define MORAVEL_CONTACT_CENTRE_SIM_CONTACT_CENTRE_SIMULATION_H

#include <cstdint>
#include <optional>

#include "contact_centre_sim/call_tally.h"
#include "contact_centre_sim/centre_setup.h"

namespace moravel {

struct ContactCentreEstimate {
  CallFigures attempt;         // every attempt of the counted callers
  CallFigures first_attempt;   // their first attempts
  double offered_total = 0.0;  // A x attempts per caller [erlang]
  double retry_traffic = 0.0;  // A x redials per caller [erlang]
  double attempts_per_caller = 0.0;
  double answered_share = 0.0;   // callers answered at some attempt
  double blocked_share = 0.0;    // callers who stopped after a busy tone
  double abandoned_share = 0.0;  // callers who stopped after hanging up
  double redialling = 0.0;       // mean number of callers waiting to redial
  std::uint32_t seed = 0;        // the run's seed
};

// Each attempt is decided when it arrives.  The agents are first come,
// first served and an abandoning caller takes no agent, so an attempt that
// finds every agent busy would be taken at the instant F at which the
// earliest of them frees once every earlier attempt has been placed: it
// waits F - a, or abandons at a + patience when its patience is shorter
// (it stays when they are equal).  One pass in the order of the attempts
// thus replays the centre exactly.
//
// The run offers warmup + calls first attempts, in arrival order, and
// counts the callers numbered warmup .. warmup + calls - 1 (from 0), each
// with all its attempts: the earlier ones fill the centre from empty.  With
// redials it goes on offering uncounted first attempts until every counted
// caller has been answered or has stopped, so that the counted ones meet a
// centre still under load; a redial and a first attempt at the same instant
// are taken first attempt first.
//
// The time averages come from Little's law, A times a counted caller's
// mean time in a state over all its attempts: in the queue for the queue
// length, between a failure and its redial for the callers redialling.
// The carried traffic is A times the answered attempts per caller.
//
// nullopt when the run passes its bound of 64 (warmup + calls) attempts,
// which only persistent redialling reaches.  The setup must have been
// checked (moravel_simulate_contact_centre's refusals); seed != 0.
std::optional<ContactCentreEstimate> SimulateContactCentre(const CentreSetup& centre,
                                                           std::int64_t calls, std::int64_t warmup,
                                                           std::uint32_t seed);

inline constexpr std::int64_t kAttemptsPerCallerBound = 64;

}  // namespace moravel

#endif
