#include "process_pool.h"

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
#include <vector>

#include "pipe_records.h"

namespace moravel_tool {
namespace {

enum : char { kResult = 0, kFailure = 1 };

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

// A worker's whole life: its share of the points, each sent as soon as it
// is done; the first failure is sent and ends the share.
[[noreturn]] void RunShare(int fd, std::size_t first, std::size_t step, std::size_t points,
                           const PointWork& work) {
  signal(SIGPIPE, SIG_IGN);  // a parent gone away shows as a failed write
  for (std::size_t p = first; p < points; p += step) {
    std::string record;
    bool failed = true;
    try {
      record = Record(p, kResult, work(p));
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

struct Worker {
  pid_t pid = -1;
  int fd = -1;
  std::size_t first = 0;
  std::optional<std::size_t> last;  // the last point received
  std::string buffer;
  bool stopped = false;  // killed by the parent, its points no longer needed
};

// Workers are reaped however the parent leaves (a result, an exception).
class Workers {
 public:
  std::vector<Worker> all;
  ~Workers() {
    for (Worker& worker : all) {
      if (worker.fd >= 0) close(worker.fd);
      if (worker.pid > 0) {
        kill(worker.pid, SIGKILL);
        int status = 0;
        while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
      }
    }
  }
};

[[noreturn]] void Fail(const std::string& message) { throw PoolError(message); }

}  // namespace

std::size_t WorkersWithinFileLimit(std::size_t wanted) {
  // The parent keeps one pipe end per worker and holds both ends of the next
  // one while starting it.
  constexpr rlim_t kSpare = 16;
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return wanted;
  const rlim_t room = limit.rlim_cur > kSpare + 1 ? limit.rlim_cur - kSpare - 1 : 1;
  return std::min<std::size_t>(wanted, static_cast<std::size_t>(room));
}

std::optional<PointFailure> RunOnProcesses(std::size_t points, std::size_t jobs,
                                           const PointWork& work, const TakeBytes& take,
                                           const PointsArrived& arrived) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  Workers workers;
  workers.all.reserve(jobs);
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
      for (const Worker& earlier : workers.all) close(earlier.fd);
      RunShare(ends[1], c, jobs, points, work);
    }
    close(ends[1]);
    Worker worker;
    worker.pid = pid;
    worker.fd = ends[0];
    worker.first = c;
    workers.all.push_back(std::move(worker));
  }

  std::map<std::size_t, std::string> early;  // arrived before their turn
  std::size_t next = 0;                      // the next point to hand on
  std::size_t received = 0;
  std::optional<PointFailure> failing;  // the lowest failing point

  auto accept = [&](Worker& worker, const std::string& body) {
    std::uint64_t point = 0;
    char kind = 0;
    std::string payload;
    if (!SplitRecord(body, point, kind, payload) || point >= points ||
        point % jobs != worker.first) {
      Fail("a worker process sent a damaged record");
    }
    worker.last = point;
    ++received;
    arrived(received);
    if (kind == kFailure) {
      std::string message;
      ByteReader text(payload);
      if (!text.Text(message)) Fail("a worker process sent a damaged record");
      if (!failing || point < failing->point) failing = PointFailure{point, message};
      return;
    }
    if (kind != kResult) Fail("a worker process sent a damaged record");
    if (failing) return;  // the run ends in an error; nothing more is handed on
    early.emplace(point, std::move(payload));
    for (auto it = early.find(next); it != early.end(); it = early.find(next)) {
      take(next, std::move(it->second));
      early.erase(it);
      ++next;
    }
  };

  auto close_worker = [](Worker& worker) {
    close(worker.fd);
    worker.fd = -1;
  };

  std::vector<pollfd> watched;
  std::vector<Worker*> owners;
  char chunk[1 << 16];
  for (;;) {
    // Once a point has failed, a worker whose next point lies beyond it has
    // nothing left to contribute.
    if (failing) {
      for (Worker& worker : workers.all) {
        const std::size_t upcoming = worker.last ? *worker.last + jobs : worker.first;
        if (worker.fd >= 0 && upcoming > failing->point) {
          kill(worker.pid, SIGKILL);
          worker.stopped = true;
          close_worker(worker);
        }
      }
    }
    watched.clear();
    owners.clear();
    for (Worker& worker : workers.all) {
      if (worker.fd < 0) continue;
      watched.push_back(pollfd{worker.fd, POLLIN, 0});
      owners.push_back(&worker);
    }
    if (watched.empty()) break;
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) continue;
      Fail(std::string("cannot wait for the worker processes: ") + std::strerror(errno));
    }
    for (std::size_t i = 0; i < watched.size(); ++i) {
      if (watched[i].revents == 0) continue;
      Worker& worker = *owners[i];
      const ssize_t n = read(worker.fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        close_worker(worker);
        continue;
      }
      worker.buffer.append(chunk, static_cast<std::size_t>(n));
      std::string body;
      while (TakeRecord(worker.buffer, body)) accept(worker, body);
    }
  }

  for (Worker& worker : workers.all) {
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    worker.pid = -1;
    if (!failing && !worker.stopped && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
      Fail("a worker process ended before its points were done" +
           (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                : std::string()));
    }
  }
  if (failing) return failing;
  if (next != points) Fail("a worker process ended before its points were done");
  return std::nullopt;
}

}  // namespace moravel_tool
