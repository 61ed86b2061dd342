// A progress line on stderr: "sweep: 120/400 points", rewritten in place (at
// most ten times a second) once a run has lasted a second, and only when
// stderr is a terminal.
#ifndef MORAVEL_TOOL_PROGRESS_LINE_H
#define MORAVEL_TOOL_PROGRESS_LINE_H

#include <chrono>
#include <cstddef>
#include <string>

namespace moravel_tool {

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

}  // namespace moravel_tool

#endif
