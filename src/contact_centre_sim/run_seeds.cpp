#include "contact_centre_sim/run_seeds.h"

#include "random/second_seed.h"
#include "random/seed_sequence.h"
#include "random/uniform.h"

namespace moravel {

RunSeeds SeedsOfRun(std::uint32_t seed) {
  SeedSequence sequence(seed);
  RunSeeds seeds{};
  seeds.arrival = sequence();
  seeds.holding = sequence();
  seeds.patience = sequence();
  seeds.redial = sequence();
  return seeds;
}

std::uint32_t ChosenSeed(std::uint32_t seed) {
  while (seed == 0) seed = ClockSeed();
  return seed;
}

std::uint32_t NextReplicationSeed(std::uint32_t previous) {
  return SecondSeed(SecondSeed(SecondSeed(SecondSeed(previous))));
}

}  // namespace moravel
