// A seeded simulation repeats its text in any process, and the scalar
// formulas may run on other threads while a text-returning export runs.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <atomic>
#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "moravel.h"

namespace {

#if !defined(_WIN32)  // forked children are POSIX
// Runs `call` in a fresh child process and returns the text it produced.
std::string TextFromChildProcess(const std::function<const char*()>& call) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return "(pipe failed)";
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    const char* text = call();
    const auto length = static_cast<ssize_t>(std::strlen(text));
    const bool written = write(pipe_ends[1], text, static_cast<std::size_t>(length)) == length;
    close(pipe_ends[1]);
    _exit(written ? 0 : 1);
  }
  close(pipe_ends[1]);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(pipe_ends[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return text;
}

TEST(Reproducibility, SeededSimulationsGiveTheSameTextInSeparateProcesses) {
  const std::vector<std::function<const char*()>> runs = {
      [] { return M_M_V_L_im(9.0, 10, 200000, 12345u); },
      [] { return M_M_V_L_im(45.0, 50, 100000, 4294967295u); },
      [] { return M_M_V_W_FF_R_im(8.5, 10, 200000, 0.25, 12345u); },
      [] { return M_M_V_W_FF_R_im(1.5, 2, 100000, 1.0, 1u); },
  };
  for (const auto& run : runs) {
    const std::string first = TextFromChildProcess(run);
    const std::string second = TextFromChildProcess(run);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, std::string(run()));  // and in this process too
  }
}
#endif

TEST(Concurrency, ScalarFormulasRunBesideTextReturningExports) {
  struct Scalar {
    std::function<double()> call;
    std::uint64_t bits;
  };
  std::vector<Scalar> scalars = {
      {[] { return PalmTable(300, 250.0); }, 0},    {[] { return ErlangFormula2(40, 33.0); }, 0},
      {[] { return EngsetTable(60, 30, 0.4); }, 0}, {[] { return E(150, 120.0); }, 0},
      {[] { return Hi(100, 80.0, 7); }, 0},
  };
  for (Scalar& s : scalars) s.bits = std::bit_cast<std::uint64_t>(s.call());

  std::atomic<bool> stop{false};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 3; ++w) {
    workers.emplace_back([&] {
      while (!stop.load(std::memory_order_relaxed)) {
        for (const Scalar& s : scalars) {
          if (std::bit_cast<std::uint64_t>(s.call()) != s.bits) ++mismatches;
        }
      }
    });
  }
  const double classes[] = {2.0, 3.0, 4.0};
  const std::string loss = M_M_V_L_an(10, 5.0);
  const std::string priority = M_M_V_L_PRA_an(3, 10, classes);
  const std::string simulated = M_M_V_L_im(5.0, 10, 20000, 99u);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(std::string(M_M_V_L_an(10, 5.0)), loss);
    ASSERT_EQ(std::string(M_M_V_L_PRA_an(3, 10, classes)), priority);
    ASSERT_EQ(std::string(M_M_V_L_im(5.0, 10, 20000, 99u)), simulated);
  }
  stop = true;
  for (std::thread& t : workers) t.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
