// The result text channel: numbers exactly as printf's "%.6g" writes them,
// whatever the double, and the blanks between them.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "channel/result_channel.h"

namespace moravel {
namespace {

std::string Written(double value) {
  const double numbers[] = {value};
  return RunTextExport([&](ResultWriter& out) { out.WriteSeparated(numbers); });
}

std::string Printf(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

TEST(ResultChannel, EveryKindOfDoubleIsWrittenAsPrintfWritesIt) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0 / 3.0,
                                2.0,
                                0.5,
                                1234567.0,
                                0.00001,
                                0.0001,
                                999999.5,
                                999999.4,
                                9.999995e-5,
                                123456.5,
                                0.0183846,
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(),
                                -std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                -std::numeric_limits<double>::max(),
                                1e-320,
                                0.1,
                                5e-5,
                                1e21,
                                1e22};
  std::mt19937_64 bits(20261207);
  for (int i = 0; i < 200000; ++i) values.push_back(std::bit_cast<double>(bits()));
  std::uniform_real_distribution<double> near_one(-1e7, 1e7);
  for (int i = 0; i < 200000; ++i) values.push_back(near_one(bits));
  // Halfway cases at the sixth digit, where rounding direction matters.
  for (int i = 0; i < 20000; ++i) values.push_back((i + 0.5) * 1e-5);
  for (double value : values) {
    ASSERT_EQ(Written(value), Printf(value)) << std::bit_cast<std::uint64_t>(value);
  }
}

TEST(ResultChannel, BlanksBetweenOrAfterNumbers) {
  const double numbers[] = {0.5, -0.0, 2.0};
  EXPECT_EQ(std::string(RunTextExport([&](ResultWriter& out) { out.WriteSeparated(numbers); })),
            "0.5 -0 2");
  EXPECT_EQ(
      std::string(RunTextExport([&](ResultWriter& out) { out.WriteEachFollowedByBlank(numbers); })),
      "0.5 -0 2 ");
}

TEST(ResultChannel, AnExceptionDuringTheComputationGivesTheEmptyText) {
  const double numbers[] = {1.0};
  const char* text = RunTextExport([&](ResultWriter& out) {
    out.WriteSeparated(numbers);
    throw std::bad_alloc();
  });
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  // The next call is not affected.
  EXPECT_EQ(Written(0.25), "0.25");
}

}  // namespace
}  // namespace moravel
