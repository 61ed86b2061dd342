// The moravel tool's simulation commands give the library's doubles, every
// bit of them, in --raw.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "moravel/api.h"
#include "support/bits.h"
#include "support/tool_run.h"

namespace {

using moravel::testing::RunTool;
using SimulationCommands = moravel::testing::ToolCommandTest;

std::vector<double> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> numbers;
  std::string word;
  while (in >> word) numbers.push_back(std::strtod(word.c_str(), nullptr));
  return numbers;
}

TEST_F(SimulationCommands, RawIsTheInterfacesDoublesForAFixedSeed) {
  moravel_loss_result loss{};
  ASSERT_EQ(moravel_simulate_loss(8.0, 10, 50000, 42u, &loss), MORAVEL_OK);
  moravel_wait_result wait{};
  ASSERT_EQ(moravel_simulate_wait(8.0, 10, 50000, 0.25, 42u, &wait), MORAVEL_OK);
  const std::vector<std::vector<double>> expected{
      {loss.loss, loss.carried},
      {wait.wait_probability, wait.wait_exceeds, wait.mean_wait, wait.mean_wait_of_waiting,
       wait.queue_length}};
  const std::vector<std::string> runs{
      RunTool("simulate-loss -V 10 -A 8 -N 50000 --seed 42 --raw").out,
      RunTool("simulate-wait -V 10 -A 8 -N 50000 -t 0.25 --seed 42 --raw").out};
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const std::vector<double> got = Numbers(runs[r]);
    ASSERT_EQ(got.size(), expected[r].size()) << runs[r];
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(moravel::testing::Bits(got[i]), moravel::testing::Bits(expected[r][i])) << runs[r];
    }
  }
}

}  // namespace
