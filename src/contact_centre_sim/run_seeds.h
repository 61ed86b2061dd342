// The seeds of a contact-centre run and of its replications.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_RUN_SEEDS_H
#define MORAVEL_CONTACT_CENTRE_SIM_RUN_SEEDS_H

#include <cstdint>

namespace moravel {

// A run draws from four engines, seeded in this order with the first four
// words of SeedSequence(seed): s, S(s), S(S(s)), S(S(S(s))), where S is
// SecondSeed, the seed rule of the single-service replays.
//   arrival:  gaps between first attempts;
//   holding:  one handling time per attempt, in the order of the attempts;
//   patience: the patience of each attempt that finds every agent busy and
//             a line free (none when patience is infinite or deterministic);
//   redial:   the decisions and redial times of failed attempts.
// The arrival and holding engines are those a single-service replay seeds
// for s.  S runs through all 2^32 - 1 nonzero words in one cycle, so the
// four differ.
struct RunSeeds {
  std::uint32_t arrival;
  std::uint32_t holding;
  std::uint32_t patience;
  std::uint32_t redial;
};

// seed != 0.
RunSeeds SeedsOfRun(std::uint32_t seed);

// The seed of a run asked for with `seed`: itself, or for 0 a reading of
// the monotonic clock (ClockSeed), read again while it is 0.
std::uint32_t ChosenSeed(std::uint32_t seed);

// Replication r of a set seeded with s (!= 0) is the run with seed S^(4r)(s):
// the replications take the words of SeedSequence(s) four by four, so the
// engines of the first 2^30 replications all have different seeds.
// `previous` is replication r - 1's seed; the first is s itself.
std::uint32_t NextReplicationSeed(std::uint32_t previous);

}  // namespace moravel

#endif
