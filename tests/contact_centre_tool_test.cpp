// The tool's contact-centre commands as a user meets them: the worked
// example, lines, redials, the replay and the library's refusals naming the
// option as typed, each output pinned by a file of tests/golden/.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "support/tool_run.h"

namespace {

using moravel::testing::RunTool;

struct GoldenCase {
  const char* arguments;
  const char* file;
  int status = 0;  // 2 for a refusal, whose one line is the whole output
};

void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.file; }

std::string ReadGolden(const std::string& name) {
  std::ifstream in(std::string(MORAVEL_GOLDEN_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class ContactCentreTool : public ::testing::TestWithParam<GoldenCase> {
 protected:
  void SetUp() override {
    if (std::string(MORAVEL_TOOL_FILE).empty()) GTEST_SKIP() << "the tool is not built";
  }
};

TEST_P(ContactCentreTool, PrintsTheGoldenFile) {
  const std::string expected = ReadGolden(GetParam().file);
  ASSERT_FALSE(expected.empty()) << "no golden file " << GetParam().file;
  const auto run = RunTool(GetParam().arguments);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, expected);
}

auto FileName = [](const auto& info) {
  std::string name = info.param.file;
  for (char& c : name) {
    if (c == '.') c = '_';
  }
  return name;
};

INSTANTIATE_TEST_SUITE_P(
    Figures, ContactCentreTool,
    ::testing::Values(
        // 20 erlangs, h = 180 s, p = 120 s, 20 agents, t = 20 s.
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20",
                   "contact_centre.txt"},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--format json",
                   "contact_centre.json"},
        // Calls per interval: seconds; 400 calls of 180 s in an hour are 20 erlangs.
        GoldenCase{"contact-centre --calls-per-interval 400 --interval-minutes 60 "
                   "--handling-time 180 --patience 120 --agents 20 --answer-time 20 --lines 25 "
                   "--format csv",
                   "contact_centre_lines.csv"},
        // Far above the agents, and callers who never hang up on a few lines.
        GoldenCase{"contact-centre -A 40 --handling-time 1 --patience 0.5 -V 20 -t 0.1 --raw",
                   "contact_centre_overload_raw.txt"},
        GoldenCase{"contact-centre -A 30 --handling-time 1 --patience inf -V 20 -t 0 --lines 22",
                   "contact_centre_never_hang_up.txt"},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--lines 25 --blocked-retry-share 0.8 --abandoned-retry-share 0.5 "
                   "--redial-time 300",
                   "contact_centre_retrials.txt"},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--abandoned-retry-share 0.5 --redial-time 300 --format json",
                   "contact_centre_retrials.json"},
        // The replay, seeded: in seconds, as the model; the model beside it.
        GoldenCase{"simulate-contact-centre -A 20 --handling-time 180 --patience 120 -V 20 "
                   "-t 20 --lines 25 -N 2000 --warmup-calls 200 --seed 42 --format json",
                   "simulate_contact_centre.json"},
        GoldenCase{"simulate-contact-centre -A 20 --handling-time 180 --patience 120 -V 20 "
                   "-t 20 --patience-distribution erlang --patience-phases 4 "
                   "--abandoned-retry-share 0.5 --redial-time 300 -N 2000 --seed 7 -R 3 "
                   "--format csv",
                   "simulate_contact_centre_replications.csv"},
        // Staffing: the least agents for 80% within 20 s, the most traffic of 20 agents.
        GoldenCase{"contact-centre-agents -A 20 --handling-time 180 --patience 120 -t 20 "
                   "--goal service-level --target 0.8",
                   "contact_centre_agents.txt"},
        GoldenCase{"contact-centre-agents --calls-per-interval 400 --interval-minutes 30 "
                   "--handling-time 180 --patience 120 -t 20 --goal abandon-probability "
                   "--target 0.05 --max-occupancy 0.85 --format csv",
                   "contact_centre_agents_occupancy.csv"},
        GoldenCase{"contact-centre-traffic -V 20 --handling-time 180 --patience 120 -t 20 "
                   "--goal mean-answer-wait --target 15 --format json",
                   "contact_centre_traffic.json"},
        GoldenCase{"compare --calls 20000 --replications 5 contact-centre -A 20 "
                   "--handling-time 180 --patience 120 -V 20 -t 20",
                   "compare_contact_centre.txt"}),
    FileName);

INSTANTIATE_TEST_SUITE_P(
    Refusals, ContactCentreTool,
    ::testing::Values(
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 0 -V 20 -t 20",
                   "refuse_contact_centre_patience.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--lines 19",
                   "refuse_contact_centre_lines.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 0 -t 20",
                   "refuse_contact_centre_agents.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience inf -V 20 -t 20",
                   "refuse_contact_centre_traffic.txt", 2},
        GoldenCase{"contact-centre --calls-per-interval 500 --interval-minutes 60 "
                   "--handling-time 180 --patience inf -V 20 -t 20",
                   "refuse_contact_centre_calls_per_interval.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--blocked-retry-share 1.5 --redial-time 300",
                   "refuse_contact_centre_retry_share.txt", 2},
        GoldenCase{"contact-centre -A 40 --handling-time 1 --patience 1 -V 20 -t 1 --lines 25 "
                   "--blocked-retry-share 1 --abandoned-retry-share 1 --redial-time 1",
                   "refuse_contact_centre_retrials_diverge.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 20 -t 20 "
                   "--abandoned-retry-share 0.5",
                   "refuse_contact_centre_share_without_redial.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience soon -V 20 -t 20",
                   "refuse_contact_centre_not_a_number.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 180 --patience 120 -V 2147483648 "
                   "-t 20",
                   "refuse_contact_centre_agents_beyond_32_bits.txt", 2},
        GoldenCase{"contact-centre -A 20 --handling-time 1e-300 --patience 1e300 -V 20 -t 20",
                   "refuse_contact_centre_overflow.txt", 2},
        GoldenCase{"contact-centre-agents -A 20 --handling-time 180 --patience 120 -t 20 "
                   "--goal service-level --target 1.5",
                   "refuse_contact_centre_agents_target.txt", 2},
        GoldenCase{"contact-centre-traffic -V 20 --handling-time 180 --patience 120 -t 20 "
                   "--goal service-level --target 0.8 --max-occupancy 0",
                   "refuse_contact_centre_traffic_occupancy.txt", 2},
        GoldenCase{"contact-centre-agents -A 20 --handling-time 180 --patience 120 -t 20 "
                   "--goal speed --target 0.8",
                   "refuse_contact_centre_agents_goal.txt", 2},
        GoldenCase{"simulate-contact-centre -A 20 --handling-time 180 --patience 0 -V 20 -t 20 "
                   "-N 100",
                   "refuse_simulate_contact_centre_patience.txt", 2},
        GoldenCase{"simulate-contact-centre -A 20 --handling-time 180 --patience 120 -V 20 "
                   "-t 20 -N 100 --warmup-calls -1",
                   "refuse_simulate_contact_centre_warmup.txt", 2}),
    FileName);

}  // namespace
