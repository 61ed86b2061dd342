#include "progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace moravel_tool {

Progress::Progress(std::string command, std::string unit, std::size_t total)
    : command_(std::move(command)),
      unit_(std::move(unit)),
      total_(total),
      start_(std::chrono::steady_clock::now()),
      tty_(isatty(STDERR_FILENO) != 0) {}

void Progress::Update(std::size_t done) {
  if (!tty_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (shown_ && done != total_ && now - last_ < std::chrono::milliseconds(100)) return;
  std::fprintf(stderr, "\r%s: %zu/%zu %s", command_.c_str(), done, total_, unit_.c_str());
  std::fflush(stderr);
  shown_ = true;
  last_ = now;
}

void Progress::Clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%*s\r", 60, "");
  std::fflush(stderr);
  shown_ = false;
}

Progress::~Progress() { Clear(); }

}  // namespace moravel_tool
