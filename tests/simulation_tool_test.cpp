// The moravel tool's simulation commands print the library's own text.
#include <gtest/gtest.h>

#include <string>

#include "moravel.h"
#include "support/tool_run.h"

namespace {

using moravel::testing::RunTool;
using SimulationCommands = moravel::testing::ToolCommandTest;

TEST_F(SimulationCommands, RawTextIsTheExportsForAFixedSeed) {
  EXPECT_EQ(RunTool("simulate-loss -V 10 -A 8 -N 50000 --seed 42 --raw").out,
            std::string(M_M_V_L_im(8.0, 10, 50000, 42u)) + "\n");
  EXPECT_EQ(RunTool("simulate-wait -V 10 -A 8 -N 50000 -t 0.25 --seed 42 --raw").out,
            std::string(M_M_V_W_FF_R_im(8.0, 10, 50000, 0.25, 42u)) + "\n");
}

}  // namespace
