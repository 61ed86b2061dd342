// `sweep` and `compare` on several processes (--jobs): the output, and the
// message of a failing point, are exactly those of one process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "support/tool_run.h"

namespace {

using moravel::testing::Bash;

using moravel::testing::RunTool;
using Outcome = moravel::testing::ToolRun;

// A command run with --jobs N inserted after its first word.
std::string WithJobs(const std::string& command, int jobs) {
  const auto space = command.find(' ');
  return command.substr(0, space) + " --jobs " + std::to_string(jobs) + command.substr(space);
}

struct Case {
  const char* command;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.command; }

class SameForAnyJobs : public ::testing::TestWithParam<Case> {};

TEST_P(SameForAnyJobs, OutputAndStatus) {
  const Outcome one = RunTool(GetParam().command, true);
  ASSERT_FALSE(one.out.empty());
  for (int jobs : {1, 2, 3, 7}) {
    const Outcome many = RunTool(WithJobs(GetParam().command, jobs), true);
    EXPECT_EQ(many.status, one.status) << "--jobs " << jobs;
    EXPECT_EQ(many.out, one.out) << "--jobs " << jobs;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SameForAnyJobs,
    ::testing::Values(
        Case{"sweep --format csv erlang-b --servers 1:600:3 --traffic 120"},
        Case{"sweep --format json loss --servers 12 --traffic 0:30:0.25"},
        Case{"sweep loss-priority -V 10 -a 2:9:0.5 3"}, Case{"sweep wait -V 10 -t 0.5 -A 1:11:0.5"},
        // NaN, infinities and negative zeros cross the pipes intact.
        Case{"sweep --format json engset -N 10 -V 5 -a 0.5:1.5:0.1"},
        Case{"sweep engset -N 3 -V 3:6 -a 0.2"},
        // Fewer points than jobs.
        Case{"sweep --format csv engset -N 10 -V 5:6 -a 0.2"},
        // Points 3, 4 and 5 fail: the message is point 3's for any number of jobs.
        Case{"sweep loss-assembled -x 1 -y 1 -z 1 -V 10 -n 2147483645:2147483650"},
        // Every point fails, each with its own message: the first one's is shown.
        Case{"sweep loss-priority -V 10 -a -9:-1"},
        Case{"compare --format csv --calls 3000 --replications 9 loss --servers 10 --traffic 7"},
        Case{"compare --calls 2000 --replications 5 --first-seed 4294967293 wait --servers 8 "
             "--traffic 5 --threshold 0.5"}));

TEST(Jobs, FailingPointMessage) {
  const Outcome outcome =
      RunTool("sweep --jobs 2 loss-assembled -x 1 -y 1 -z 1 -V 10 -n 2147483645:2147483650", true);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out,
            "moravel: --multiplier: accepts a whole number from -2147483648 to 2147483647, not "
            "'2147483648'\n");
}

TEST(Jobs, TheSelfSeededSimulationRunsOnSeveralProcesses) {
  const Outcome outcome = RunTool(
      "compare --format csv --jobs 3 --calls 2000 --replications 6 link-subset --links 3 "
      "--units 2 --subset 2 --class 1.5:1 --class 0.5:2",
      true);
  EXPECT_EQ(outcome.status, 0) << outcome.out;
}

TEST(Jobs, MayFollowTheModel) {
  EXPECT_EQ(RunTool("sweep --format csv erlang-b --servers 1:90 --traffic 30 --jobs 3", false).out,
            RunTool("sweep --format csv erlang-b --servers 1:90 --traffic 30", false).out);
}

TEST(Jobs, BadCountIsRefused) {
  for (const char* command :
       {"sweep --jobs 0 erlang-b -V 1:3 -A 1", "sweep erlang-b -V 1:3 -A 1 --jobs 1025",
        "compare --jobs x loss --servers 1 --traffic 1",
        "compare loss --servers 1 --traffic 1 --jobs=-2"}) {
    const Outcome outcome = RunTool(command, true);
    EXPECT_EQ(outcome.status, 2) << command;
    EXPECT_EQ(outcome.out.rfind("moravel: --jobs: ", 0), 0u) << outcome.out;
  }
}

}  // namespace

namespace {

// More jobs than the open-file limit leaves pipes for run on fewer workers,
// with the same output.
TEST(Jobs, BoundedByTheOpenFileLimit) {
  const std::string tool = MORAVEL_TOOL_FILE;
  const std::string sweep = " sweep --format csv erlang-b -V 1:300 -A 50";
  EXPECT_EQ(Bash("ulimit -n 40; " + tool + " sweep --jobs 1024" + sweep.substr(6) + "; echo $?"),
            Bash(tool + sweep + "; echo $?"));
}

// Killing only the parent ends its workers too.
TEST(Jobs, WorkersEndWithTheirParent) {
  const std::string tool = MORAVEL_TOOL_FILE;
  // The workers are found and checked through /proc alone (a worker that
  // has ended may stay a zombie where nobody reaps orphans).
  // Waits (up to 20 s each) for the two workers to appear, and for them to
  // end once the parent is killed, so that a slow machine only waits longer.
  const std::string out =
      Bash(tool +
           " sweep --jobs 2 erlang-b -V 2000000:2100000 -A 5 >/dev/null 2>&1 & parent=$!; "
           "for i in $(seq 200); do workers=; "
           "for s in /proc/[0-9]*/stat; do read -r pid comm state ppid rest < $s 2>/dev/null "
           "|| continue; [ \"$ppid\" = \"$parent\" ] && workers=\"$workers $pid\"; done; "
           "[ $(echo $workers | wc -w) -ge 2 ] && break; sleep 0.1; done; "
           "kill $parent; wait $parent; "
           "for i in $(seq 200); do alive=; "
           "for w in $workers; do read -r pid comm state rest < /proc/$w/stat 2>/dev/null "
           "&& [ \"$state\" != Z ] && alive=\"$alive $w\"; done; "
           "[ -z \"$alive\" ] && break; sleep 0.1; done; "
           "echo workers $(echo $workers | wc -w); for w in $alive; do echo alive $w; done; true");
  EXPECT_EQ(out, "workers 2\n");
}

}  // namespace

namespace {

// A sweep parses its model line once and changes only the ranged value: its
// rows are exactly those of the model run alone at each point.
TEST(Sweep, RowsAreThoseOfTheModelRunAtEachPoint) {
  struct Case {
    std::string model, range, before, after;
    std::vector<std::string> points;
  };
  for (const Case& c : std::vector<Case>{
           {"loss-priority", "2:4", "-V 10 -a ", " 3", {"2", "3", "4"}},
           {"erlang-b-ratio", "0:2", "-V 5 -A 3 -i ", "", {"0", "1", "2"}},
           {"wait",
            "20:30:5",
            "-V 30 --calls-per-interval ",
            " --interval-minutes 60 --holding-time 180 -t 20",
            {"20", "25", "30"}},
           {"simulate-loss", "1:3", "-V 5 -A 4 -N 1000 --seed ", "", {"1", "2", "3"}}}) {
    const std::string sweep =
        RunTool("sweep --format csv " + c.model + " " + c.before + c.range + c.after, true).out;
    std::string expected;
    for (const std::string& point : c.points) {
      const std::string one =
          RunTool(c.model + " --format csv " + c.before + point + c.after, true).out;
      expected += expected.empty() ? one : one.substr(one.find('\n') + 1);
    }
    EXPECT_EQ(sweep, expected) << c.model;
  }
}

}  // namespace
