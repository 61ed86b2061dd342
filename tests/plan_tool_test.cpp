// `moravel plan` as a planner meets it: the plan of a CSV day in each
// format, and one line naming the file, line and column (or the option)
// with status 2 for every fault of the file or the options.  The CSV files
// are in tests/plan, the expected outputs (stdout and stderr together) in
// tests/golden.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
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

// Runs the tool in tests/plan, so that the messages name the files as given.
Outcome RunPlan(const std::string& arguments) {
  const std::string command = std::string("cd '") + MORAVEL_GOLDEN_DIR + "/../plan' && '" +
                              MORAVEL_TOOL_FILE + "' plan " + arguments + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  Outcome outcome{-1, ""};
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
    outcome.out.append(buffer.data(), n);
  }
  const int raw = pclose(pipe.release());
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

std::string ReadGolden(const std::string& name) {
  std::ifstream in(std::string(MORAVEL_GOLDEN_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct PlanCase {
  const char* arguments;
  const char* file;
  int status = 0;
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.file; }

class PlanGolden : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanGolden, IsExactly) {
  const std::string expected = ReadGolden(GetParam().file);
  ASSERT_FALSE(expected.empty()) << "no golden file " << GetParam().file;
  const Outcome outcome = RunPlan(GetParam().arguments);
  EXPECT_EQ(outcome.status, GetParam().status);
  EXPECT_EQ(outcome.out, expected);
}

auto Name = [](const auto& info) {
  std::string name = info.param.file;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
};

INSTANTIATE_TEST_SUITE_P(
    Plans, PlanGolden,
    ::testing::Values(
        PlanCase{"day.csv --service-level 0.8 --answer-time 20 --shrinkage 0.3", "plan_day.txt"},
        PlanCase{"day.csv --service-level 0.8 --answer-time 20 --shrinkage 0.3 --format csv",
                 "plan_day.csv"},
        PlanCase{"day.csv --service-level 0.9 --service-level-basis excluding-short-abandons "
                 "--answer-time 30 --abandonment 0.04 --interval-minutes 15 --shrinkage 0.35 "
                 "--format json",
                 "plan_day.json"},
        PlanCase{"no_patience.csv --mean-answer-wait 30 --occupancy 0.85 -t 20",
                 "plan_no_patience.txt"},
        PlanCase{"- --wait-probability 0.3 -t 15 --format csv < no_patience.csv",
                 "plan_stdin.csv"}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    FileFaults, PlanGolden,
    ::testing::Values(
        PlanCase{"bad_number.csv --service-level 0.8 -t 20", "plan_bad_number.txt", 2},
        PlanCase{"negative_calls.csv --service-level 0.8 -t 20", "plan_negative_calls.txt", 2},
        PlanCase{"zero_patience.csv --service-level 0.8 -t 20", "plan_zero_patience.txt", 2},
        PlanCase{"zero_handling.csv --service-level 0.8 -t 20", "plan_zero_handling.txt", 2},
        PlanCase{"unknown_column.csv --service-level 0.8 -t 20", "plan_unknown_column.txt", 2},
        PlanCase{"missing_column.csv --service-level 0.8 -t 20", "plan_missing_column.txt", 2},
        PlanCase{"twice_column.csv --service-level 0.8 -t 20", "plan_twice_column.txt", 2},
        PlanCase{"short_row.csv --service-level 0.8 -t 20", "plan_short_row.txt", 2},
        PlanCase{"long_row.csv --service-level 0.8 -t 20", "plan_long_row.txt", 2},
        PlanCase{"unclosed_quote.csv --service-level 0.8 -t 20", "plan_unclosed_quote.txt", 2},
        PlanCase{"empty.csv --service-level 0.8 -t 20", "plan_empty.txt", 2},
        PlanCase{"header_only.csv --service-level 0.8 -t 20", "plan_header_only.txt", 2},
        PlanCase{"empty_cell.csv --service-level 0.8 -t 20", "plan_empty_cell.txt", 2},
        PlanCase{"utf8_label.csv --service-level 0.8 -t 20", "plan_utf8_label.txt", 2},
        PlanCase{"no_such_file.csv --service-level 0.8 -t 20", "plan_no_such_file.txt", 2},
        PlanCase{"day.csv --service-level 0.8 --occupancy 1e-9 -t 20", "plan_model_limit.txt", 2},
        PlanCase{"day.csv --service-level 0.8 -t 20 --shrinkage 0.9999999999",
                 "plan_scheduled_too_many.txt", 2}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    OptionFaults, PlanGolden,
    ::testing::Values(
        PlanCase{"day.csv -t 20", "plan_no_target.txt", 2},
        PlanCase{"day.csv --service-level 0.8", "plan_no_answer_time.txt", 2},
        PlanCase{"day.csv --service-level 0 -t 20", "plan_zero_service_level.txt", 2},
        PlanCase{"day.csv --service-level 1 -t 20", "plan_service_level_one.txt", 2},
        PlanCase{"day.csv --abandonment 0 -t 20", "plan_zero_abandonment.txt", 2},
        PlanCase{"day.csv --mean-answer-wait -5 -t 20", "plan_negative_asa.txt", 2},
        PlanCase{"day.csv --wait-probability 2 -t 20", "plan_wait_probability_two.txt", 2},
        PlanCase{"day.csv --service-level 0.8 --occupancy 1.5 -t 20",
                 "plan_occupancy_above_one.txt", 2},
        PlanCase{"day.csv --occupancy 0.8 -t 20", "plan_occupancy_alone.txt", 2},
        PlanCase{"day.csv --service-level 0.8 -t -1", "plan_negative_answer_time.txt", 2},
        PlanCase{"day.csv --service-level 0.8 -t 20 --shrinkage 1", "plan_shrinkage_one.txt", 2},
        PlanCase{"day.csv --service-level 0.8 -t 20 --interval-minutes 0", "plan_zero_minutes.txt",
                 2},
        PlanCase{"day.csv --service-level 0.8 -t 20 --service-level-basis answered",
                 "plan_unknown_basis.txt", 2},
        PlanCase{"day.csv --service-level 0.8 -t 20 --format xml", "plan_unknown_format.txt", 2},
        // The options are judged before the file is read.
        PlanCase{"bad_number.csv --service-level 0.8 -t 20 --shrinkage 1",
                 "plan_options_before_file.txt", 2}),
    Name);

}  // namespace
