// The moravel tool's simulation commands print the library's own text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "moravel.h"

namespace {

std::string Output(const std::string& arguments) {
  const std::string command = std::string(MORAVEL_TOOL_FILE) + " " + arguments + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "(popen failed)";
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
  pclose(pipe);
  return text;
}

TEST(SimulationTool, RawTextIsTheExportsForAFixedSeed) {
  if (std::string(MORAVEL_TOOL_FILE).empty()) GTEST_SKIP() << "tool not built";
  EXPECT_EQ(Output("simulate-loss -V 10 -A 8 -N 50000 --seed 42 --raw"),
            std::string(M_M_V_L_im(8.0, 10, 50000, 42u)) + "\n");
  EXPECT_EQ(Output("simulate-wait -V 10 -A 8 -N 50000 -t 0.25 --seed 42 --raw"),
            std::string(M_M_V_W_FF_R_im(8.0, 10, 50000, 0.25, 42u)) + "\n");
}

}  // namespace
