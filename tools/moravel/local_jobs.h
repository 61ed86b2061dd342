// Running the points of a study (the lines of `sweep` and the replications
// of `compare`) on a local pool of processes.
//
// The library keeps one result text per process, so parallel work needs
// processes, not threads: `jobs` children are forked, child c runs points
// c, c + jobs, c + 2 jobs, ... through RunModelCommand and sends each
// point's reports back through a pipe; the parent hands them on in point
// order.  With one job everything runs in this process, as it always has.
#ifndef MORAVEL_TOOL_LOCAL_JOBS_H
#define MORAVEL_TOOL_LOCAL_JOBS_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report.h"

namespace moravel_tool {

// "sweep: 120/400 points" on stderr, rewritten in place (at most ten times a
// second) once a run has lasted a second; only when stderr is a terminal.
// Cleared at the end.
class Progress {
 public:
  Progress(std::string command, std::string unit, std::size_t total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void Update(std::size_t done);
  // Wipes the line, so that whatever is printed next starts on a clean line.
  void Clear();

 private:
  std::string command_, unit_;
  std::size_t total_;
  std::chrono::steady_clock::time_point start_, last_;
  bool tty_;
  bool shown_ = false;
};

// The most processes --jobs asks for.  A run starts no more workers than
// it has points, nor than the open-file limit leaves pipes for.
constexpr std::int32_t kMaxJobs = 1024;

// The model command line of point p.
using LineOfPoint = std::function<std::vector<std::string>(std::size_t point)>;
// Receives the reports of point p; called once per point, in point order.
using TakeReports = std::function<void(std::size_t point, std::vector<Report>&& reports)>;

// Runs `points` model command lines on `jobs` processes.  A point that fails
// stops the run with the exception the same line throws when run here (the
// lowest failing point's), so the output and the messages do not depend on
// `jobs`.
void RunModelCommands(std::size_t points, const LineOfPoint& line_of, std::int32_t jobs,
                      Progress& progress, const TakeReports& take);

// Serialised form of the reports of one point, for the pipes.
std::string EncodeReports(const std::vector<Report>& reports);
bool DecodeReports(const std::string& bytes, std::vector<Report>& reports);

}  // namespace moravel_tool

#endif
