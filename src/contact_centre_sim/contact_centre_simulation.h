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
  CallFigures attempts;        // every attempt of the counted callers
  double queue_length = 0.0;   // mean number of callers waiting (time average)
  double occupancy = 0.0;      // carried traffic / n
  CallFigures first_attempts;  // the counted callers' first attempts
  double answered = 0.0;           // share of callers answered at some attempt
  double gave_up_blocked = 0.0;    // share who stopped after a busy tone
  double gave_up_abandoned = 0.0;  // share who stopped after abandoning
  double attempts_per_caller = 0.0;
  double offered_traffic = 0.0;  // A x attempts per caller [erlang]
  std::uint32_t seed = 0;        // the run's seed (a clock reading for 0)
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
// The queue length is the time average by Little's law, A times the mean
// time that a counted caller spends waiting over all its attempts; the
// carried traffic is A times the share of callers answered.
//
// nullopt when the run passes its bound of 64 (warmup + calls) attempts,
// which only persistent redialling reaches.  The setup must have been
// checked (moravel_simulate_contact_centre's refusals); seed != 0.
std::optional<ContactCentreEstimate> SimulateContactCentre(const CentreSetup& centre,
                                                           std::int64_t calls,
                                                           std::int64_t warmup,
                                                           std::uint32_t seed);

inline constexpr std::int64_t kAttemptsPerCallerBound = 64;

}  // namespace moravel

#endif
