// The moravel tool as a user meets it: exact output for a few commands, and
// one line on stderr with status 2 for every kind of bad input.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
  int status;
  std::string out;
};

Outcome RunTool(const std::string& arguments, bool with_stderr = false) {
  const std::string command =
      std::string(MORAVEL_TOOL_FILE) + " " + arguments + (with_stderr ? " 2>&1" : " 2>/dev/null");
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  Outcome outcome{-1, ""};
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) outcome.out.append(buffer.data(), n);
  const int raw = pclose(pipe.release());
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

struct Golden {
  const char* arguments;
  const char* output;
};

class ToolOutput : public ::testing::TestWithParam<Golden> {};

TEST_P(ToolOutput, IsExactly) {
  const Outcome outcome = RunTool(GetParam().arguments);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ToolOutput,
    ::testing::Values(
        Golden{"loss --servers 10 --traffic 5 --raw", "0.0183846 4.90808\n"},
        Golden{"erlang-b -V 1 -A 1 --raw", "0.5\n"},
        Golden{"loss -V 10 -A 5",
               "Erlang loss system, V = 10 servers, A = 5 erlangs\n"
               "  loss probability  0.0183846\n"
               "  carried traffic   4.90808 erlang\n"},
        Golden{"loss-priority -V 10 -a 5 3 --format csv",
               "class,traffic,loss,carried\n0,5,0.0183846,4.90808\n1,3,0.293789,2.11863\n"},
        Golden{"sweep --format csv link-subset -k 2 -f 5:6 -g 1 --class 2:1 --class 1:2",
               "f,class,traffic,demand,blocking,carried\n5,0,2,1,0.0930953,1.81381\n"
               "5,1,1,2,0.20808,1.58384\n6,0,2,1,0.0483123,1.90338\n6,1,1,2,0.115773,1.76845\n"},
        Golden{"sweep --format csv erlang-b --servers 1:3 --traffic 1",
               "servers,loss\n1,0.5\n2,0.2\n3,0.0625\n"},
        Golden{"engset -N 10 -V 5 -a 0.2 --format json",
               "{\n  \"results\": [\n    {\n      \"loss\": 0.01656586905074941\n    }\n  ],\n"
               "  \"title\": \"Engset formula, N = 10 sources, V = 5 servers, a = 0.2 erlangs per source\"\n}\n"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Cases whose expected output is a file of tests/golden/.  The link-group
// models' comparisons use groups too large to ever lose a call, so that the
// self-seeded simulation gives the same figures in every run.
struct GoldenFile {
  const char* arguments;
  const char* file;
};

void PrintTo(const GoldenFile& c, std::ostream* out) { *out << c.file; }

std::string ReadGolden(const std::string& name) {
  std::ifstream in(std::string(MORAVEL_GOLDEN_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class ToolGoldenFile : public ::testing::TestWithParam<GoldenFile> {};

TEST_P(ToolGoldenFile, IsExactly) {
  const std::string expected = ReadGolden(GetParam().file);
  ASSERT_FALSE(expected.empty()) << "no golden file " << GetParam().file;
  const Outcome outcome = RunTool(GetParam().arguments, true);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Compare, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"compare --calls 2000 --replications 3 link-group -k 2 -f 300 --class 2:1 "
                   "--class 1:2",
                   "compare_link_group.txt"},
        GoldenFile{"compare --format json --calls 2000 --replications 3 --policy МинСвоб "
                   "link-group --links 3 --units 300 --class 2:1 --class 1:2",
                   "compare_link_group.json"},
        GoldenFile{"compare --calls 2000 --replications 3 --policy first-free link-subset -k 3 "
                   "-f 300 -g 2 --class 2:1 --class 1:2",
                   "compare_link_subset.txt"},
        // The model's tail beyond a simulated 0: an infinite relative difference.
        GoldenFile{"compare --format csv --calls 2000 --replications 3 link-subset -k 3 -f 300 "
                   "-g 1 --class 2:1 --class 1:2",
                   "compare_link_subset.csv"}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& c : name) {
        if (c == '.') c = '_';
      }
      return name;
    });

// Groups an engineer meets every day, whose occupancy recursion overflows
// or whose arrangement counts pass 2^53: the models' own values.
INSTANTIATE_TEST_SUITE_P(
    LinkGroups, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"link-group -k 4 -f 500 --class 666:1 --class 100:5 --class 20:20",
                   "link_group_four_links_of_500.txt"},
        GoldenFile{"link-subset -k 8 -f 100 -g 4 --class 200:1 --class 20:5",
                   "link_subset_eight_links_of_100.txt"},
        GoldenFile{"link-subset -k 1 -f 5000 -g 1 --class 1250:1 --class 125:5 --format csv",
                   "link_subset_one_link_of_5000.csv"},
        GoldenFile{"link-group -k 32 -f 50 --class 100:1 --class 20:5 --class 5:20",
                   "link_group_32_links_of_50.txt"},
        GoldenFile{"link-group -k 1 -f 1000 --class 710:1", "link_group_one_link_710_erlangs.txt"},
        GoldenFile{"link-group -k 1 -f 1000 --class 1000:1 --format json",
                   "link_group_one_link_1000_erlangs.json"},
        GoldenFile{"link-group -k 23 -f 23 --class 2.75:22", "link_group_fractional_traffic.txt"}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& c : name) {
        if (c == '.') c = '_';
      }
      return name;
    });

class BadInput : public ::testing::TestWithParam<const char*> {};

TEST_P(BadInput, OneLineOnStderrAndStatusTwo) {
  const Outcome outcome = RunTool(GetParam(), true);
  EXPECT_EQ(outcome.status, 2);
  ASSERT_FALSE(outcome.out.empty());
  EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
  EXPECT_EQ(outcome.out.rfind("moravel: ", 0), 0u) << outcome.out;
}

INSTANTIATE_TEST_SUITE_P(Commands, BadInput,
                         ::testing::Values("no-such-command", "loss --servers 10",
                                           "loss --servers ten --traffic 5",
                                           "loss --servers 4294967296 --traffic 5",
                                           "loss --servers -1 --traffic 5",
                                           "loss --servers 10 --traffic nan",
                                           "loss --servers 10 --traffic 5 --bogus",
                                           "loss --servers 10 --traffic 5 --format xml",
                                           "loss-priority -V 10 -a 5 -1",
                                           "sweep loss --servers 10 --traffic 5"),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Tool, BadInputMessageNamesTheOptionAndWhatItAccepts) {
  const Outcome outcome = RunTool("loss --servers ten --traffic 5", true);
  EXPECT_EQ(outcome.out,
            "moravel: --servers: accepts a whole number from 0 to 2147483647, not 'ten'\n");
}

TEST(Tool, DemoRuns) {
  const Outcome outcome = RunTool("demo");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("0.0183846 4.90808"), std::string::npos);
}

}  // namespace
