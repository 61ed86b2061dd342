// The moravel tool's multi-service commands (link-group, link-subset and
// simulate-link-subset), run as a separate process: their tables, and their
// one-line refusals with status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/tool_run.h"

namespace {

using moravel::testing::RunTool;
using MultiserviceCommands = moravel::testing::ToolCommandTest;

TEST_F(MultiserviceCommands, PrintOneRowPerClass) {
  struct Case {
    std::string arguments, expected;
  };
  std::vector<Case> cases{
      {"link-group -k 2 -f 5 --class 2:1 --class 1:2 --raw",
       "0.010123526456805858 1.9797529470863884 0.047201967294662285 1.9055960654106754\n"},
      // Room for every call: the same figures in every simulated run.
      {"simulate-link-subset -k 1 -f 300 -g 1 --class 2:1 --class 1:3 -N 100 "
       "--policy min-free --format csv",
       "links,units,subset,calls,policy,seed,class,traffic,demand,blocking,carried\n"
       "1,300,1,100,МинСвоб,0,0,2,1,0,2\n1,300,1,100,МинСвоб,0,1,1,3,0,3\n"}};
  for (const char* policy : {"max-free", "first-free", "МаксСвоб", "МинСвоб", "ПервСвоб"}) {
    cases.push_back({std::string("simulate-link-subset -k 1 -f 1 -g 1 --class 2:1 -N 1 --raw "
                                 "--policy ") +
                         policy,
                     // One call carried; its estimate of 2 units is more than the
                     // one-unit group holds, so the group's unit is reported.
                     "0 1\n"});
  }
  for (const Case& c : cases) {
    const auto run = RunTool(c.arguments);
    EXPECT_EQ(run.status, 0) << c.arguments;
    EXPECT_EQ(run.out, c.expected) << c.arguments;
  }
}

// The checks of these commands' own options; tool_test covers what every
// command refuses (missing options, words for numbers, counts beyond 32 bits).
TEST_F(MultiserviceCommands, RefuseBadOptionsWithOneLineAndStatusTwo) {
  struct Case {
    std::string arguments, mentions;
  };
  for (const Case& c : std::vector<Case>{
           {"link-group -k 2 -f 5 --class 2", "--class"},
           {"link-group -k 2 -f 5 --class 2:-1", "--class"},
           {"link-group -k 2 -f 5 --class 2:0.5", "--class"},
           {"link-group -k 2 -f 5 --class inf:1", "--class"},
           {"link-group -k 2 -f 5 --class 1:x", "--class"},
           {"link-group -k 0 -f 5 --class 1:1", "--links"},
           {"link-group -k 2 -f -1 --class 1:1", "--units"},
           {"link-group -k 65536 -f 32768 --class 1:1", "--units"},
           {"link-group -k 200000 -f 10 --class 1:1", "beyond the sizes the model computes"},
           {"link-subset -k 1000 -f 1000 -g 500 --class 1:1",
            "beyond the sizes the model computes"},
           {"link-subset -k 2 -f 5 -g 3 --class 1:1", "--subset"},
           {"link-subset -k 2 -f 5 -g 0 --class 1:1", "--subset"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class 1:1 --policy best", "--policy"},
           {"simulate-link-subset -k 4 -f 30 -g 5 --class 1:1", "--subset"},
           {"simulate-link-subset -k 40 -f 1 -g 20 --class 1:1", "--subset"},
           {"simulate-link-subset -k 4 -f 0 -g 2 --class 1:1", "--units"},
           {"simulate-link-subset -k 100000 -f 100000 -g 1 --class 1:1", "--units"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class 1", "--class"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class -1:1", "--class"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class 1:nan", "--class"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class 0:1 --class 0:2", "--class"},
           {"simulate-link-subset -k 4 -f 30 -g 2 --class 1:1 -N 0", "--calls"}}) {
    const auto run = RunTool(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.out.find(c.mentions), std::string::npos) << c.arguments << ": " << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << c.arguments << ": " << run.out;
  }
}

}  // namespace
