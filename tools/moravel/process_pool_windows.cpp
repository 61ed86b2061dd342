// Windows has no fork: a study there runs its points one after another in
// the tool's own process, which gives the same output as any number of
// workers (--jobs changes how long a study takes, never what it prints).
#include "process_pool.h"

namespace moravel_tool {

std::size_t WorkersWithinFileLimit(std::size_t /*wanted*/) { return 1; }

std::optional<PointFailure> RunOnProcesses(std::size_t /*points*/, std::size_t /*workers*/,
                                           const PointWork& /*work*/, const TakeBytes& /*take*/,
                                           const PointsArrived& /*arrived*/) {
  throw PoolError("this platform runs a study in one process");
}

}  // namespace moravel_tool
