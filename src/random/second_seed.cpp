#include "random/second_seed.h"

#include "random/uniform.h"

namespace moravel {

StreamSeeds SimulationStreamSeeds(std::uint32_t seed) {
  if (seed != 0) return {seed, SecondSeed(seed)};
  const std::uint32_t arrival = ClockSeed();
  std::uint32_t holding = ClockSeed();
  while (holding == arrival) holding = ClockSeed();
  return {arrival, holding};
}

}  // namespace moravel
