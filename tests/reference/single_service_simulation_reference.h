// Plain transcriptions of the single-service replays: the four per-call
// lists materialised up front and a linear first-minimum search over all V
// server free instants per call.  Slow (N V) and memory-hungry (4 N
// doubles), kept as the differential reference for the fast replays.
#ifndef MORAVEL_TESTS_REFERENCE_SINGLE_SERVICE_SIMULATION_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_SINGLE_SERVICE_SIMULATION_REFERENCE_H

#include <cstdint>

#include "simulation/loss_simulation.h"
#include "simulation/waiting_simulation.h"

namespace moravel::reference {

// Defined for V >= 1 and N >= 1 (the literal steps read the first server
// and the first arrival); throws std::length_error for negative counts.
LossSimulationResult LossSystemReplay(double lambda, double mu, std::int32_t V, std::int32_t N,
                                      std::uint32_t seed);
WaitingSimulationResult WaitingSystemReplay(double lambda, double mu, std::int32_t V,
                                            std::int32_t N, double t, std::uint32_t seed);

}  // namespace moravel::reference

#endif
