// Running the points of a study on a local pool of forked processes.
//
// Worker w of W runs points w, w + W, w + 2W, ... and sends each point's
// bytes back through its own pipe as soon as they are done; the parent
// hands them on in point order.  A point that throws ends its worker's
// share, and the run hands on nothing from that point on.  Each worker
// ends when its parent ends, however the parent ends.
#ifndef MORAVEL_TOOL_PROCESS_POOL_H
#define MORAVEL_TOOL_PROCESS_POOL_H

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace moravel_tool {

// The work of one point, as bytes; throws std::exception on failure.
using PointWork = std::function<std::string(std::size_t point)>;
// Receives the bytes of point p; called once per point, in point order.
using TakeBytes = std::function<void(std::size_t point, std::string&& bytes)>;
// Told how many points have arrived, after each one.
using PointsArrived = std::function<void(std::size_t arrived)>;

// The lowest point that threw, and what it said.
struct PointFailure {
  std::size_t point;
  std::string message;
};

// The pool itself failed: no pipe or process, a damaged record, a worker
// that died before its points were done.
class PoolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs `points` points on `workers` processes (at least 2).  Returns the
// lowest failing point, once every point below it has been handed on, or
// nothing when all succeeded.
std::optional<PointFailure> RunOnProcesses(std::size_t points, std::size_t workers,
                                           const PointWork& work, const TakeBytes& take,
                                           const PointsArrived& arrived);

// `wanted`, or fewer: as many workers as the open-file limit leaves pipes
// for, keeping a few descriptors for the rest of the program.
std::size_t WorkersWithinFileLimit(std::size_t wanted);

}  // namespace moravel_tool

#endif
