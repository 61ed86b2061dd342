#include "local_jobs.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <optional>
#include <utility>

#include "commands.h"

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
  if (shown_) std::fprintf(stderr, "\r%*s\r", 60, "");
  std::fflush(stderr);
  shown_ = false;
}

Progress::~Progress() { Clear(); }

// ---- the records on the pipes ----------------------------------------------
//
// A record is [body length: 8 bytes][point: 8 bytes][kind: 1 byte][payload],
// in the host's byte order (both ends are this program).  Kind 0 carries the
// point's reports, kind 1 the message of the exception the point threw.
// Doubles travel as their 8 bytes, so every bit arrives.

namespace {

enum : char { kReports = 0, kFailure = 1 };

void PutSize(std::string& out, std::uint64_t value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof value);
}

void PutText(std::string& out, const std::string& text) {
  PutSize(out, text.size());
  out += text;
}

void PutDouble(std::string& out, double value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof value);
}

class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Size(std::uint64_t& value) { return Raw(&value, sizeof value); }
  bool Double(double& value) { return Raw(&value, sizeof value); }
  bool Text(std::string& text) {
    std::uint64_t size = 0;
    if (!Size(size) || size > bytes_.size() - at_) return false;
    text.assign(bytes_, at_, size);
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  bool Raw(void* out, std::size_t size) {
    if (bytes_.size() - at_ < size) return false;
    std::memcpy(out, bytes_.data() + at_, size);
    at_ += size;
    return true;
  }
  const std::string& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

namespace {

void PutFigure(std::string& out, const Figure& figure) {
  PutText(out, figure.name);
  PutText(out, figure.label);
  PutText(out, figure.unit);
  PutDouble(out, figure.value);
  PutSize(out, static_cast<std::uint64_t>(figure.kind));
  PutText(out, figure.text);
}

bool GetFigure(Reader& in, Figure& figure) {
  std::uint64_t kind = 0;
  if (!in.Text(figure.name) || !in.Text(figure.label) || !in.Text(figure.unit) ||
      !in.Double(figure.value) || !in.Size(kind) || kind > 3 || !in.Text(figure.text)) {
    return false;
  }
  figure.kind = static_cast<Kind>(kind);
  return true;
}

void PutFigures(std::string& out, const std::vector<Figure>& figures) {
  PutSize(out, figures.size());
  for (const Figure& figure : figures) PutFigure(out, figure);
}

bool GetFigures(Reader& in, std::vector<Figure>& figures) {
  std::uint64_t count = 0;
  if (!in.Size(count)) return false;
  figures.clear();
  for (std::uint64_t f = 0; f < count; ++f) {
    Figure figure;
    if (!GetFigure(in, figure)) return false;
    figures.push_back(std::move(figure));
  }
  return true;
}

}  // namespace

std::string EncodeReports(const std::vector<Report>& reports) {
  std::string out;
  PutSize(out, reports.size());
  for (const Report& report : reports) {
    PutText(out, report.title);
    PutText(out, report.note);
    PutSize(out, report.identifiers);
    PutFigures(out, report.inputs);
    PutSize(out, report.rows.size());
    for (const Row& row : report.rows) PutFigures(out, row);
  }
  return out;
}

bool DecodeReports(const std::string& bytes, std::vector<Report>& reports) {
  Reader in(bytes);
  std::uint64_t count = 0;
  if (!in.Size(count)) return false;
  reports.clear();
  for (std::uint64_t r = 0; r < count; ++r) {
    Report report;
    std::uint64_t identifiers = 0, rows = 0;
    if (!in.Text(report.title) || !in.Text(report.note) || !in.Size(identifiers) ||
        !GetFigures(in, report.inputs) || !in.Size(rows)) {
      return false;
    }
    report.identifiers = static_cast<std::size_t>(identifiers);
    for (std::uint64_t i = 0; i < rows; ++i) {
      Row row;
      if (!GetFigures(in, row)) return false;
      report.rows.push_back(std::move(row));
    }
    reports.push_back(std::move(report));
  }
  return in.AtEnd();
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Record(std::size_t point, char kind, const std::string& payload) {
  std::string body;
  PutSize(body, point);
  body += kind;
  body += payload;
  std::string record;
  PutSize(record, body.size());
  record += body;
  return record;
}

// A child's whole life: its share of the points, each sent as soon as it is
// done; the first failure is sent and ends the share.
[[noreturn]] void RunShare(int fd, std::size_t first, std::size_t step, std::size_t points,
                           const LineOfPoint& line_of) {
  signal(SIGPIPE, SIG_IGN);  // a parent gone away shows as a failed write
  for (std::size_t p = first; p < points; p += step) {
    std::string record;
    bool failed = true;
    try {
      record = Record(p, kReports, EncodeReports(RunModelCommand(line_of(p))));
      failed = false;
    } catch (const std::exception& e) {
      std::string message;
      PutText(message, e.what());
      record = Record(p, kFailure, message);
    } catch (...) {
      std::string message;
      PutText(message, "an unknown exception");
      record = Record(p, kFailure, message);
    }
    if (!WriteAll(fd, record)) _exit(1);
    if (failed) break;
  }
  close(fd);
  _exit(0);  // no static destructors or stdio flushes of the parent's copies
}

struct Child {
  pid_t pid = -1;
  int fd = -1;
  std::size_t first = 0;
  std::optional<std::size_t> last;  // the last point received
  std::string buffer;
  bool stopped = false;  // killed by the parent, its points no longer needed
};

// Children are reaped however the parent leaves (a result, an exception).
class Children {
 public:
  std::vector<Child> all;
  ~Children() {
    for (Child& child : all) {
      if (child.fd >= 0) close(child.fd);
      if (child.pid > 0) {
        kill(child.pid, SIGKILL);
        int status = 0;
        while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
        }
      }
    }
  }
};

[[noreturn]] void Fail(const std::string& message) { throw CLI::ValidationError("--jobs", message); }

void RunInProcesses(std::size_t points, const LineOfPoint& line_of, std::size_t jobs,
                    Progress& progress, const TakeReports& take) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  Children children;
  children.all.reserve(jobs);
  const pid_t parent = getpid();
  for (std::size_t c = 0; c < jobs; ++c) {
    int ends[2];
    if (pipe(ends) != 0) Fail(std::string("cannot open a pipe: ") + std::strerror(errno));
    const pid_t pid = fork();
    if (pid < 0) {
      close(ends[0]);
      close(ends[1]);
      Fail(std::string("cannot start a worker process: ") + std::strerror(errno));
    }
    if (pid == 0) {
      // A worker ends with its parent, however the parent ends.
      if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(1);
      close(ends[0]);
      for (const Child& earlier : children.all) close(earlier.fd);
      RunShare(ends[1], c, jobs, points, line_of);
    }
    close(ends[1]);
    Child child;
    child.pid = pid;
    child.fd = ends[0];
    child.first = c;
    children.all.push_back(std::move(child));
  }

  std::map<std::size_t, std::vector<Report>> early;  // arrived before their turn
  std::size_t next = 0;                               // the next point to hand on
  std::size_t received = 0;
  std::optional<std::size_t> failing;                 // the lowest failing point
  std::string failure;

  auto accept = [&](Child& child, const std::string& body) {
    Reader in(body);
    std::uint64_t point = 0;
    if (body.size() < sizeof point + 1 || !in.Size(point) || point >= points ||
        point % jobs != child.first) {
      Fail("a worker process sent a damaged record");
    }
    const char kind = body[sizeof point];
    const std::string payload = body.substr(sizeof point + 1);
    child.last = point;
    ++received;
    progress.Update(received);
    if (kind == kFailure) {
      std::string message;
      Reader text(payload);
      if (!text.Text(message)) Fail("a worker process sent a damaged record");
      if (!failing || point < *failing) {
        failing = point;
        failure = message;
      }
      return;
    }
    std::vector<Report> reports;
    if (kind != kReports || !DecodeReports(payload, reports)) {
      Fail("a worker process sent a damaged record");
    }
    if (failing) return;  // the run ends in an error; nothing more is handed on
    early.emplace(point, std::move(reports));
    for (auto it = early.find(next); it != early.end(); it = early.find(next)) {
      take(next, std::move(it->second));
      early.erase(it);
      ++next;
    }
  };

  auto close_child = [](Child& child) {
    close(child.fd);
    child.fd = -1;
  };

  std::vector<pollfd> watched;
  std::vector<Child*> owners;
  char chunk[1 << 16];
  for (;;) {
    // Once a point has failed, a child whose next point lies beyond it has
    // nothing left to contribute.
    if (failing) {
      for (Child& child : children.all) {
        const std::size_t upcoming = child.last ? *child.last + jobs : child.first;
        if (child.fd >= 0 && upcoming > *failing) {
          kill(child.pid, SIGKILL);
          child.stopped = true;
          close_child(child);
        }
      }
    }
    watched.clear();
    owners.clear();
    for (Child& child : children.all) {
      if (child.fd < 0) continue;
      watched.push_back(pollfd{child.fd, POLLIN, 0});
      owners.push_back(&child);
    }
    if (watched.empty()) break;
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) continue;
      Fail(std::string("cannot wait for the worker processes: ") + std::strerror(errno));
    }
    for (std::size_t i = 0; i < watched.size(); ++i) {
      if (watched[i].revents == 0) continue;
      Child& child = *owners[i];
      const ssize_t n = read(child.fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        close_child(child);
        continue;
      }
      child.buffer.append(chunk, static_cast<std::size_t>(n));
      std::size_t used = 0;
      for (;;) {
        std::uint64_t size = 0;
        if (child.buffer.size() - used < sizeof size) break;
        std::memcpy(&size, child.buffer.data() + used, sizeof size);
        if (child.buffer.size() - used - sizeof size < size) break;
        accept(child, child.buffer.substr(used + sizeof size, size));
        used += sizeof size + size;
      }
      child.buffer.erase(0, used);
    }
  }

  for (Child& child : children.all) {
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
    if (!failing && !child.stopped && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
      Fail("a worker process ended before its points were done" +
           (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                : std::string()));
    }
  }
  if (failing) {
    // The same line run here throws what a run with one job would have.
    RunModelCommand(line_of(*failing));
    throw CLI::ValidationError(failure);
  }
  if (next != points) Fail("a worker process ended before its points were done");
}

// The workers the open-file limit leaves room for: the parent keeps one
// pipe end per worker, and opens both ends of the next one while starting
// it; 16 descriptors stay for stdio and the library.
std::size_t WorkersWithinFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return static_cast<std::size_t>(kMaxJobs);
  }
  const rlim_t spare = 16;
  return limit.rlim_cur > spare + 1 ? static_cast<std::size_t>(limit.rlim_cur - spare - 1) : 1;
}

}  // namespace

void RunModelCommands(std::size_t points, const LineOfPoint& line_of, std::int32_t jobs,
                      Progress& progress, const TakeReports& take) {
  const std::size_t processes =
      std::min({jobs > 1 ? static_cast<std::size_t>(jobs) : std::size_t{1}, points,
                WorkersWithinFileLimit()});
  if (processes <= 1) {
    for (std::size_t p = 0; p < points; ++p) {
      take(p, RunModelCommand(line_of(p)));
      progress.Update(p + 1);
    }
  } else {
    RunInProcesses(points, line_of, processes, progress, take);
  }
  progress.Clear();
}

}  // namespace moravel_tool
