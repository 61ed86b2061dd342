// The seeds of a study's replications.
#ifndef MORAVEL_RANDOM_REPLICATION_SEEDS_H
#define MORAVEL_RANDOM_REPLICATION_SEEDS_H

#include <cstdint>

namespace moravel {

// Run r (from 0) of a study whose first run has seed `first` (1 .. 2^32 - 1)
// gets ((first - 1 + r) mod (2^32 - 1)) + 1: first, first + 1, ... up to
// 2^32 - 1, then on from 1.  The rule stays on the nonzero 32-bit words, so
// a run is never seeded from the clock (seed 0).
std::uint32_t ReplicationSeed(std::uint32_t first, std::uint64_t run);

}  // namespace moravel

#endif
