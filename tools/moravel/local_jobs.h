// Running the model command lines of a study (the points of `sweep`, the
// replications of `compare`) in this process or on a local pool of
// processes (--jobs), with the same output and messages either way.
#ifndef MORAVEL_TOOL_LOCAL_JOBS_H
#define MORAVEL_TOOL_LOCAL_JOBS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commands.h"
#include "progress_line.h"
#include "report.h"

namespace moravel_tool {

// The most processes --jobs asks for.  A run starts no more workers than
// it has points, nor than the open-file limit leaves pipes for.
constexpr std::int32_t kMaxJobs = 1024;

// The value of the varied argument at point p.
using ValueOfPoint = std::function<std::string(std::size_t point)>;
// Receives the reports of point p; called once per point, in point order.
using TakeReports = std::function<void(std::size_t point, std::vector<Report>&& reports)>;

// Runs `runner` for the values of `points` points on `jobs` processes.  A
// point that fails stops the run with the exception the same value throws
// when run here (the lowest failing point's), so the output and the
// messages do not depend on `jobs`.  The progress line is cleared before
// this returns.
void RunModelCommands(std::size_t points, ModelRunner& runner, const ValueOfPoint& value_of,
                      std::int32_t jobs, Progress& progress, const TakeReports& take);

// The reports of one point as bytes for the pipes, every double's bits kept.
std::string EncodeReports(const std::vector<Report>& reports);
bool DecodeReports(const std::string& bytes, std::vector<Report>& reports);

}  // namespace moravel_tool

#endif
