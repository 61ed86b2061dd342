// The moravel tool's link-group and link-subset subcommands, run as a
// separate process: their tables, and their one-line refusals (status 2).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ToolRun {
  int status = -1;
  std::string out;  // stdout and stderr together
};

ToolRun RunTool(const std::string& arguments) {
  const std::string command = std::string(MORAVEL_TOOL_FILE) + " " + arguments + " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 512> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    run.out.append(buffer.data(), n);
  }
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

TEST(MoravelMultiserviceTool, TablesPerClass) {
  struct Case { std::string arguments, expected; };
  for (const Case& c : std::vector<Case>{
           {"link-group -k 2 -f 5 --class 2:1 --class 1:2 --format csv",
            "class,traffic,demand,blocking,carried\n"
            "0,2,1,0.0101235,1.97975\n1,1,2,0.047202,1.9056\n"},
           {"link-subset --links 2 --units 5 --subset 1 --class 2:1 --class 1:2 --format csv",
            "class,traffic,demand,blocking,carried\n"
            "0,2,1,0.0930953,1.81381\n1,1,2,0.20808,1.58384\n"},
           {"link-subset -k 3 -f 4 -g 2 --class 3:1 --class 1:2 --raw",
            "0.0240532 2.92784 0.0965412 1.80692 \n"}}) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.status, 0) << c.arguments;
    EXPECT_EQ(run.out, c.expected) << c.arguments;
  }
}

TEST(MoravelMultiserviceTool, BadOptionsGetOneLineAndStatusTwo) {
  struct Case { std::string arguments, mentions; };
  for (const Case& c : std::vector<Case>{
           {"link-group -k 2 -f 5 --class 2", "--class"},
           {"link-group -k 2 -f 5 --class 2:-1", "--class"},
           {"link-group -k 2 -f 5 --class inf:1", "--class"},
           {"link-group -k 2 -f 5 --class 1:x", "--class"},
           {"link-group -k 2 -f 5", "--class"},
           {"link-group -k 0 -f 5 --class 1:1", "--links"},
           {"link-group -k 2 -f -1 --class 1:1", "--units"},
           {"link-group -k 65536 -f 32768 --class 1:1", "--units"},
           {"link-subset -k 2 -f 5 -g 3 --class 1:1", "--subset"},
           {"link-subset -k 2 -f 5 -g 0 --class 1:1", "--subset"},
           {"link-subset -k 2 -f 5 --class 1:1", "--subset"}}) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.out.find(c.mentions), std::string::npos) << c.arguments << ": " << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << c.arguments << ": " << run.out;
  }
}

TEST(MoravelMultiserviceTool, DemoShowsTheLinkGroups) {
  const ToolRun run = RunTool("demo");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"0.0930953 1.81381 0.20808 1.58384 \""), std::string::npos) << run.out;
}

}  // namespace
