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
#include <vector>

#include "support/tool_run.h"

namespace {

using moravel::testing::Bash;

using moravel::testing::RunTool;
using Outcome = moravel::testing::ToolRun;

// Each case's expected output (stdout and stderr together) is a file of
// tests/golden/.  The link-group
// models' comparisons use groups too large to ever lose a call, so that the
// self-seeded simulation gives the same figures in every run.
struct GoldenFile {
  const char* arguments;
  const char* file;
  int status = 0;  // 2 for a refusal, whose one line is the whole output
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
  EXPECT_EQ(outcome.status, GetParam().status);
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

auto GoldenName = [](const auto& info) {
  std::string name = info.param.file;
  for (char& c : name) {
    if (c == '.') c = '_';
  }
  return name;
};

// One case per command and output form: full precision in --raw, CSV and
// JSON, every input as its own field, typed JSON numbers.
INSTANTIATE_TEST_SUITE_P(
    Commands, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"loss --servers 10 --traffic 5 --raw", "loss_raw.txt"},
        GoldenFile{"erlang-b -V 1 -A 1 --raw", "erlang_b_raw.txt"},
        GoldenFile{"loss -V 10 -A 5", "loss.txt"},
        GoldenFile{"loss-priority -V 10 -a 5 3 --format csv", "loss_priority.csv"},
        GoldenFile{"loss-assembled -x 2 -y 3 -z 1.5 -V 4 -n 3 --format json",
                   "loss_assembled.json"},
        GoldenFile{"engset -N 10 -V 5 -a 0.2 --format json", "engset.json"},
        // A zero loss is written 0, never -0.
        GoldenFile{"engset -N 5 -V 10 -a 0.3 --raw", "engset_no_loss_raw.txt"},
        GoldenFile{"erlang-b-ratio -V 5 -A 3 -i 2 --format csv", "erlang_b_ratio.csv"},
        GoldenFile{"wait -V 10 -A 7 -t 0.5 --holding-time 1", "wait.txt"},
        GoldenFile{"wait -V 30 --calls-per-interval 400 --interval-minutes 60 --holding-time 180 "
                   "-t 20 --format json",
                   "wait_calls_per_interval.json"},
        GoldenFile{"simulate-wait -V 10 -A 8 -N 5000 -t 0.25 --seed 42 --format csv",
                   "simulate_wait.csv"},
        GoldenFile{"simulate-link-subset -k 4 -f 30 -g 2 --class 20:1 --class 5:2 -N 20000 "
                   "--seed 7 --policy first-free --format json",
                   "simulate_link_subset_seeded.json"},
        GoldenFile{"servers -A 50 --target 0.01", "servers.txt"},
        GoldenFile{"servers -N 1400 -a 0.7 --target 0.01 --format csv", "servers_engset.csv"},
        GoldenFile{"traffic -V 20 --target 0.01 --raw", "traffic_raw.txt"},
        GoldenFile{"traffic -V 10 -N 20 --target 0.01 --format json", "traffic_engset.json"},
        GoldenFile{"agents -A 20 --holding-time 180 -t 20 --service-level 0.8",
                   "agents_service_level.txt"},
        GoldenFile{"agents -A 20 --holding-time 180 -t 20 --wait-probability 0.2 --format csv",
                   "agents_wait_probability.csv"},
        GoldenFile{"agents --calls-per-interval 400 --interval-minutes 60 --holding-time 180 "
                   "--mean-wait 10 --format json",
                   "agents_mean_wait.json"},
        GoldenFile{"sweep --format csv link-subset -k 2 -f 5:6 -g 1 --class 2:1 --class 1:2",
                   "sweep_link_subset.csv"},
        GoldenFile{"sweep --format csv erlang-b --servers 1:3 --traffic 1", "sweep_erlang_b.csv"},
        GoldenFile{"sweep --format json loss -V 2:3 -A 1", "sweep_loss.json"},
        // An option with no long name is its column by its short one.
        GoldenFile{"sweep --format csv loss-assembled -x 1:2 -y 1 -z 1 -V 3 -n 2",
                   "sweep_loss_assembled.csv"},
        GoldenFile{"compare --format csv --calls 2000 --replications 3 wait -V 10 -A 7 -t 0.5 "
                   "--holding-time 1",
                   "compare_wait.csv"},
        GoldenFile{"compare --calls 2000 --replications 3 loss -V 10 -A 7", "compare_loss.txt"},
        // Only the probability of waiting is counted by the simulation, and
        // the model's holding time is carried over in mean holding times.
        GoldenFile{"compare --calls 2000 --replications 3 wait -V 10 -A 7 -t 20 --holding-time 180",
                   "compare_wait_holding_time.txt"},
        // The interval of a probability stops at 0.
        GoldenFile{"compare --format csv --calls 2000 --replications 2 link-group -k 2 -f 5 "
                   "--class 2:1",
                   "compare_link_group_clipped.csv"},
        GoldenFile{"erlang-c -V 10 -A 5 --format json", "erlang_c.json"},
        GoldenFile{"erlang-b-direct -V 13 -A 5 --raw", "erlang_b_direct_raw.txt"},
        GoldenFile{"loss-finite -N 10 -V 5 -a 0.2", "loss_finite.txt"},
        GoldenFile{"simulate-loss -V 10 -A 8 -N 5000 --seed 42 --format json",
                   "simulate_loss.json"},
        GoldenFile{"link-subset -k 3 -f 4 -g 2 --class 3:1 --class 1:2", "link_subset.txt"},
        // Every simulation in the demonstration is seeded: the same text each run.
        GoldenFile{"demo", "demo.txt"},
        GoldenFile{"offered-traffic --calls-per-interval 400 --interval-minutes 30 "
                   "--handling-time 180",
                   "offered_traffic.txt"},
        // Help names what an option takes, never the parser's internals.
        GoldenFile{"--help", "help.txt"}, GoldenFile{"link-group --help", "help_link_group.txt"},
        GoldenFile{"--version", "version.txt"}),
    GoldenName);

// Every input the library refuses is refused here: one line naming the
// option and what it accepts, status 2.  One case per kind of refusal.
INSTANTIATE_TEST_SUITE_P(
    Refusals, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"loss -V 0 -A 5", "refuse_no_servers.txt", 2},
        GoldenFile{"offered-traffic --calls-per-interval 1e308 --interval-minutes 1 "
                   "--handling-time 1e10",
                   "refuse_offered_traffic_overflow.txt", 2},
        GoldenFile{"erlang-c -V 10 -A 12", "refuse_erlang_c_traffic_above_servers.txt", 2},
        GoldenFile{"wait -V 10 -A 12 -t 1 --holding-time 1",
                   "refuse_wait_traffic_above_servers.txt", 2},
        GoldenFile{"simulate-wait -V 10 -A 10 -t 1 -N 10", "refuse_simulate_wait_traffic.txt", 2},
        GoldenFile{"engset -N 10 -V 5 -a 1.5", "refuse_traffic_per_source.txt", 2},
        GoldenFile{"loss-finite -N 10 -V 5 -a 1", "refuse_traffic_per_source_one.txt", 2},
        GoldenFile{"erlang-b-direct -V 200 -A 150", "refuse_direct_form_servers.txt", 2},
        GoldenFile{"erlang-b-direct -V 170 -A 150", "refuse_direct_form_overflow.txt", 2},
        GoldenFile{"erlang-b-ratio -V 5 -A 3 -i 6", "refuse_ratio_fewer.txt", 2},
        GoldenFile{"erlang-b-ratio -V 5 -A 0 -i 1", "refuse_ratio_zero_traffic.txt", 2},
        GoldenFile{"loss-assembled -x 1e308 -y 1e308 -z 1 -V 10 -n 2147483647",
                   "refuse_assembled_load.txt", 2},
        GoldenFile{"loss-priority -V 10 -a 1e308 1e308", "refuse_priority_sum.txt", 2},
        GoldenFile{"wait -V 10 -A 9.999999 -t 1 --holding-time 1e308", "refuse_wait_overflow.txt",
                   2},
        GoldenFile{"wait -V 10 -t 1 --holding-time 1", "refuse_wait_no_traffic.txt", 2},
        GoldenFile{"simulate-loss -V 10 -A 0", "refuse_simulation_no_traffic.txt", 2},
        GoldenFile{"link-group -k 2 -f 5 --class 1:2.5", "refuse_fractional_demand.txt", 2},
        GoldenFile{"link-group -k 200000 -f 10 --class 1:1", "refuse_model_limit.txt", 2},
        GoldenFile{"link-subset -k 2 -f 5 -g 3 --class 1:1", "refuse_subset.txt", 2},
        GoldenFile{"simulate-link-subset -k 40 -f 1 -g 20 --class 1:1", "refuse_subset_count.txt",
                   2},
        GoldenFile{"simulate-link-subset -k 4 -f 30 -g 2 --class 0:1 --class 0:2",
                   "refuse_no_class_traffic.txt", 2},
        GoldenFile{"servers -A 50 --target 1", "refuse_target.txt", 2},
        GoldenFile{"traffic -V 20 -N 10 --target 0.01", "refuse_servers_not_below_sources.txt", 2},
        GoldenFile{"agents -A 20 --holding-time 180 -t 20", "refuse_agents_no_goal.txt", 2},
        GoldenFile{"los -V 10 -A 5", "refuse_unknown_subcommand.txt", 2},
        GoldenFile{"loss --servers 10 --trafic 5", "refuse_unknown_option.txt", 2},
        GoldenFile{"--verison", "refuse_unknown_top_option.txt", 2},
        GoldenFile{"sweep loss -V 10 --trafic 1:5", "refuse_unknown_option_in_sweep.txt", 2},
        GoldenFile{"sweep link-group -k 1 -f 5 --class 1:2", "refuse_sweep_without_range.txt", 2},
        GoldenFile{"compare erlang-b -V 1 -A 1", "refuse_compare_without_twin.txt", 2}),
    GoldenName);

// Times name their unit: a threshold or an answer time without the holding
// time it is measured against is refused, a service level needs its answer
// time, and an interval is in minutes (the holding and answer times of a
// call volume in seconds).
INSTANTIATE_TEST_SUITE_P(
    Units, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"wait -V 24 -A 20 -t 20", "refuse_wait_without_holding_time.txt", 2},
        GoldenFile{"agents -A 20 -t 20 --service-level 0.8",
                   "refuse_agents_without_holding_time.txt", 2},
        GoldenFile{"agents -A 20 --holding-time 180 --service-level 0.8",
                   "refuse_service_level_without_answer_time.txt", 2},
        GoldenFile{"agents --calls-per-interval 400 --interval 30 --holding-time 180 -t 20 "
                   "--service-level 0.8",
                   "refuse_interval_without_unit.txt", 2},
        GoldenFile{"wait -V 24 -A 20 -t 20 --holding-time 180", "wait_holding_time.txt"},
        GoldenFile{"agents --calls-per-interval 400 --interval-minutes 30 --holding-time 180 "
                   "-t 20 --service-level 0.8",
                   "agents_calls_per_interval.txt"},
        GoldenFile{"simulate-wait -V 10 -A 8 -N 5000 -t 30 --holding-time 60 --seed 42 "
                   "--format csv",
                   "simulate_wait_holding_time.csv"},
        GoldenFile{"wait --help", "help_wait.txt"}, GoldenFile{"agents --help", "help_agents.txt"},
        GoldenFile{"plan --help", "help_plan.txt"}),
    GoldenName);

// Whole numbers in all their digits, in every form and in a sweep's echo of
// its inputs; counts are read in decimal, leading zeros and all.
INSTANTIATE_TEST_SUITE_P(
    Counts, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"agents -A 10000000 --holding-time 180 -t 20 --service-level 0.8",
                   "agents_ten_million.txt"},
        GoldenFile{"loss -V 100000 -A 100000 --format csv", "loss_hundred_thousand.csv"},
        GoldenFile{"agents --calls-per-interval 200000 --interval-minutes 600 --holding-time 180 "
                   "--wait-probability 0.5 --format csv",
                   "agents_large_volume.csv"},
        GoldenFile{"sweep --format csv erlang-b -V 100000:300000:100000 -A 100000",
                   "sweep_large_counts.csv"},
        GoldenFile{"erlang-b -V 010 -A 5 --raw", "erlang_b_leading_zero_raw.txt"},
        GoldenFile{"erlang-b -V 08 -A 5 --raw", "erlang_b_leading_zero_eight_raw.txt"},
        GoldenFile{"traffic -V 020 --target 0.01 --raw", "traffic_leading_zero_raw.txt"},
        GoldenFile{"link-group -k 010 -f 5 --class 1:1 --format csv",
                   "link_group_leading_zero.csv"},
        GoldenFile{"sweep --format csv erlang-b -V 010 -A 1:2", "sweep_leading_zero.csv"},
        GoldenFile{"compare --calls 01000 --replications 02 --first-seed 010 --format csv loss "
                   "-V 05 -A 5",
                   "compare_leading_zero.csv"},
        GoldenFile{"erlang-b -V 0x10 -A 5", "refuse_hexadecimal_count.txt", 2}),
    GoldenName);

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

// The solvers added beside servers, traffic and agents: the assembled load
// and the direct form in servers, a service level's traffic in traffic, the
// least links.  Their refusals are the library's messages, each naming the
// option of the argument refused (all of them where several are).
INSTANTIATE_TEST_SUITE_P(
    Solvers, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"servers -x 2 -y 3 -z 1.5 -n 3 --target 0.01 --format json",
                   "servers_assembled.json"},
        GoldenFile{"servers -A 50 --target 0.01 --direct --format csv", "servers_direct.csv"},
        GoldenFile{"traffic --agents 24 --holding-time 180 -t 20 --service-level 0.8",
                   "traffic_service_level.txt"},
        GoldenFile{"traffic --agents 24 --holding-time 180 -t 20 --service-level 0.8 --raw",
                   "traffic_service_level_raw.txt"},
        GoldenFile{"links -f 10 --class 5:1 --class 2:3 --target 0.01", "links.txt"},
        GoldenFile{"links -f 10 -g 2 --class 5:1 --class 2:3 --target 0.01 --format csv",
                   "links_subset.csv"},
        GoldenFile{"links -f 10 --class 5:1 --class 2:3 --target 0.01 --format json", "links.json"},
        GoldenFile{"servers -x 0 -y 3 -z 1 -n 3 --target 0.01", "refuse_assembly_times.txt", 2},
        GoldenFile{"servers -x 1e308 -y 1e308 -z 1 -n 2147483647 --target 0.01",
                   "refuse_servers_assembled_load.txt", 2},
        GoldenFile{"servers -x 2 -y 3 -z 1 -n -1 --target 0.01", "refuse_multiplier.txt", 2},
        GoldenFile{"servers -x 2 -y 3 -z 1 --target 0.01", "refuse_assembled_incomplete.txt", 2},
        GoldenFile{"servers -A 60 --target 1e-40 --direct", "refuse_direct_unreachable.txt", 2},
        GoldenFile{"servers -A 200 --target 0.01 --direct", "refuse_direct_servers_overflow.txt",
                   2},
        GoldenFile{"traffic --agents 0 --holding-time 180 -t 20 --service-level 0.8",
                   "refuse_traffic_agents.txt", 2},
        GoldenFile{"traffic --agents 24 --holding-time 180 -t 20 --service-level 1",
                   "refuse_traffic_service_level.txt", 2},
        GoldenFile{"traffic --agents 24 --holding-time 0 -t 20 --service-level 0.8",
                   "refuse_traffic_holding_time.txt", 2},
        GoldenFile{"traffic --agents 24 -t 20 --service-level 0.8",
                   "refuse_traffic_without_holding_time.txt", 2},
        GoldenFile{"traffic -V 20", "refuse_traffic_without_target.txt", 2},
        GoldenFile{"links -f 10 --class 5:11 --target 0.01", "refuse_links_demand.txt", 2},
        GoldenFile{"links -f 10 -g 0 --class 5:1 --target 0.01", "refuse_links_subset.txt", 2},
        GoldenFile{"links -f 0 --class 5:1 --target 0.01", "refuse_links_units.txt", 2},
        GoldenFile{"links -f 10 --class 5:1 --target 1", "refuse_links_target.txt", 2},
        GoldenFile{"sweep --format csv links -f 5:7 --class 2:1 --target 0.01", "sweep_links.csv"},
        GoldenFile{"servers --help", "help_servers.txt"},
        GoldenFile{"traffic --help", "help_traffic.txt"},
        GoldenFile{"links --help", "help_links.txt"}),
    GoldenName);

// Entry points the tool shows through its described command: options,
// output and refusals read from the interface description, the call
// generated from it.  The quantile at full precision is the library's.
INSTANTIATE_TEST_SUITE_P(
    Described, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"student-t --degrees-of-freedom 10 --level 0.95", "student_t.txt"},
        GoldenFile{"student-t --degrees-of-freedom 49 --level 0.95 --raw", "student_t_raw.txt"},
        GoldenFile{"student-t --degrees-of-freedom 1 --level 0.99 --format json", "student_t.json"},
        GoldenFile{"sweep --format csv student-t --degrees-of-freedom 1:4 --level 0.95",
                   "sweep_student_t.csv"},
        GoldenFile{"student-t --degrees-of-freedom 0 --level 0.95",
                   "refuse_student_t_degrees_of_freedom.txt", 2},
        GoldenFile{"student-t --degrees-of-freedom 3 --level 1", "refuse_student_t_level.txt", 2},
        GoldenFile{"student-t --degrees-of-freedom 3 --level 0.5x",
                   "refuse_student_t_not_a_number.txt", 2},
        GoldenFile{"student-t --degrees-of-freedom 2147483648 --level 0.5",
                   "refuse_student_t_beyond_32_bits.txt", 2},
        GoldenFile{"student-t --help", "help_student_t.txt"},
        // The formulas are described commands too: the title's template
        // filled, the results labelled, the options' help, as described.
        GoldenFile{"erlang-b-ratio -V 5 -A 3 -i 2", "erlang_b_ratio.txt"},
        GoldenFile{"engset -N 10 -V 5 -a 0.2", "engset.txt"},
        GoldenFile{"erlang-b --help", "help_erlang_b.txt"}),
    GoldenName);

// Arguments the tool turns into the library's before calling it: the
// study's replications and first seed (judged by the study core), a call
// volume's interval and calls (named as typed), the replay's holding time
// (judged as the delay model judges it), a policy's keyword.
INSTANTIATE_TEST_SUITE_P(
    Converted, ToolGoldenFile,
    ::testing::Values(
        GoldenFile{"compare --replications 1 loss -V 10 -A 5", "refuse_compare_replications.txt",
                   2},
        GoldenFile{"compare --first-seed 0 loss -V 10 -A 5", "refuse_compare_first_seed.txt", 2},
        GoldenFile{"simulate-wait -V 10 -A 8 -N 100 -t 1 --holding-time 0",
                   "refuse_simulate_wait_holding_time.txt", 2},
        GoldenFile{"wait -V 30 --calls-per-interval 400 --interval-minutes 0 --holding-time 180 "
                   "-t 20",
                   "refuse_interval_minutes.txt", 2},
        GoldenFile{"agents --calls-per-interval -5 --interval-minutes 60 --holding-time 180 "
                   "--mean-wait 10",
                   "refuse_calls_per_interval.txt", 2},
        GoldenFile{"wait -V 10 --calls-per-interval 4000 --interval-minutes 60 --holding-time 180 "
                   "-t 20",
                   "refuse_calls_per_interval_above_servers.txt", 2},
        GoldenFile{"simulate-link-subset -k 4 -f 30 -g 2 --class 1:1 --policy best",
                   "refuse_policy.txt", 2}),
    GoldenName);

class BadInput : public ::testing::TestWithParam<const char*> {};

TEST_P(BadInput, OneLineOnStderrAndStatusTwo) {
  const Outcome outcome = RunTool(GetParam(), true);
  EXPECT_EQ(outcome.status, 2);
  ASSERT_FALSE(outcome.out.empty());
  EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
  EXPECT_EQ(outcome.out.rfind("moravel: ", 0), 0u) << outcome.out;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BadInput,
    ::testing::Values("no-such-command", "loss --servers 10", "loss --servers ten --traffic 5",
                      "loss --servers 4294967296 --traffic 5", "loss --servers -1 --traffic 5",
                      "loss --servers 10 --traffic nan", "loss --servers 10 --traffic 5 --bogus",
                      "loss --servers 10 --traffic 5 --format xml", "loss-priority -V 10 -a 5 -1",
                      "sweep loss --servers 10 --traffic 5"),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Tool, BadInputMessageNamesTheOptionAndWhatItAccepts) {
  const Outcome outcome = RunTool("loss --servers ten --traffic 5", true);
  EXPECT_EQ(
      outcome.out,
      "moravel: --servers: accepts a whole number from -2147483648 to 2147483647, not 'ten'\n");
}

}  // namespace

namespace {

// Output that never arrived is a failure with a message, not a success.
TEST(Tool, WriteFailuresEndWithAMessageAndStatusOne) {
  const std::string tool = MORAVEL_TOOL_FILE;
  struct Case {
    std::string line, expected;
  };
  for (const Case& c : std::vector<Case>{
           {tool + " loss -V 10 -A 5 2>&1 >/dev/full; echo status $?",
            "moravel: cannot write the output: No space left on device\nstatus 1\n"},
           {tool + " loss -V 10 -A 5 2>&1 >&-; echo status $?",
            "moravel: cannot write the output: Bad file descriptor\nstatus 1\n"},
           {"trap '' PIPE; { " + tool +
                " sweep erlang-b -V 10 -A 0:100000 2>&3 | head -c 1 >/dev/null; echo status "
                "${PIPESTATUS[0]}; } 3>&1",
            "moravel: cannot write the output: Broken pipe\nstatus 1\n"}}) {
    EXPECT_EQ(Bash(c.line), c.expected) << c.line;
  }
}

}  // namespace
