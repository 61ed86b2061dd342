// Runs the moravel tool (MORAVEL_TOOL_FILE) as a separate process, for the
// tests of its commands.
#ifndef MORAVEL_TESTS_SUPPORT_TOOL_RUN_H
#define MORAVEL_TESTS_SUPPORT_TOOL_RUN_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace moravel::testing {

struct ToolRun {
  int status = -1;  // the exit status; -1 when the tool did not exit
  std::string out;  // standard output and (unless left out) standard error
};

// The tool run with `arguments`, as a shell would split them; standard
// error is left out of `out` when with_stderr is false.
inline ToolRun RunTool(const std::string& arguments, bool with_stderr = true) {
  const std::string command =
      std::string(MORAVEL_TOOL_FILE) + " " + arguments + (with_stderr ? " 2>&1" : " 2>/dev/null");
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    run.out.append(buffer.data(), n);
  }
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// What a bash script prints on stdout.  The script is handed to bash as
// one single-quoted word, so it is written as it would be typed.
inline std::string Bash(const std::string& script) {
  std::string quoted = "'";
  for (const char c : script) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  FILE* pipe = popen(("bash -c " + quoted + "'").c_str(), "r");
  std::string out;
  if (pipe == nullptr) return out;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

// Skips the test where the tool is not built.
class ToolCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(MORAVEL_TOOL_FILE).empty()) GTEST_SKIP() << "the tool is not built";
  }
};

}  // namespace moravel::testing

#endif
