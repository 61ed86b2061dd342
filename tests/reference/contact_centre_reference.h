// Plain, slow references for the contact-centre replay:
//  - the exact figures of the centre with exponential patience and no
//    redials (M/M/n/L+M and its limits), from the birth-death chain of the
//    number of callers in it, in long double, for small centres;
//  - the replay itself, transcribed with the servers as a list searched
//    linearly, the queue as a list of every waiting caller's leaving
//    instant and the redials as a list, drawing from the same four streams
//    in the same order, for the bits of the fast replay.
#ifndef MORAVEL_TESTS_REFERENCE_CONTACT_CENTRE_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_CONTACT_CENTRE_REFERENCE_H

#include <cstdint>

#include "contact_centre_sim/centre_setup.h"
#include "contact_centre_sim/contact_centre_simulation.h"

namespace moravel::reference {

struct ExactCentre {
  long double wait_probability;
  long double abandon_probability;
  long double blocked_probability;
  long double abandon_within_answer_time;
  long double service_level;
  long double service_level_excluding_short_abandons;
  long double mean_answer_wait;
  long double mean_wait;
  long double queue_length;
  long double occupancy;
  long double carried;
};

// A erlangs, n agents, L lines (0: none), exponential patience of mean p
// (+inf: none; A < n then when L = 0), answer time t, all in mean handling
// times.  Arrivals see the stationary law (Poisson arrivals); a caller who
// finds j others waiting reaches an agent through j + 1 exponential stages
// of rates n + k/p (k ahead), racing its own patience: its chance of an
// answer and mean wait are products and sums over the stages, and its
// chances of an answer or an abandonment by t come from uniformising that
// chain.
ExactCentre BirthDeathCentre(double A, std::int32_t n, std::int32_t L, double p, double t);

ContactCentreEstimate ContactCentreReplay(const CentreSetup& centre, std::int64_t calls,
                                          std::int64_t warmup, std::uint32_t seed);

}  // namespace moravel::reference

#endif
