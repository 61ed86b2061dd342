// The result text channel: numbers exactly as printf's "%.6g" writes them,
// whatever the double, the non-finite ones spelled the same on every
// platform, and the blanks between them.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "channel/result_channel.h"
#include "support/bits.h"

namespace moravel {
namespace {

std::string Written(double value) {
  const double numbers[] = {value};
  return RunTextExport([&](ResultWriter& out) { out.WriteSeparated(numbers); });
}

// printf's "%.6g" for the finite values; the platform-independent spelling
// for the others (glibc's: MinGW's printf drops a NaN's sign).
std::string Printf(double value) { return moravel::testing::Text(value); }

// Infinities and NaNs are spelled by their sign alone, whatever the payload,
// and the same on every platform the library is built for: a host that
// reads "-nan" on Linux reads it on Windows too.
TEST(ResultChannel, NonFiniteValuesAreSpelledTheSameOnEveryPlatform) {
  struct Case {
    std::uint64_t bits;
    const char* text;
  };
  const Case cases[] = {
      {0x7ff0000000000000, "inf"},  {0xfff0000000000000, "-inf"}, {0x7ff8000000000000, "nan"},
      {0xfff8000000000000, "-nan"}, {0x7ff0000000000001, "nan"},  {0xfff0000000000001, "-nan"},
      {0x7fffffffffffffff, "nan"},  {0xffffffffffffffff, "-nan"}, {0x7ff4000000000abc, "nan"},
      {0xfffc000000000123, "-nan"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written(std::bit_cast<double>(c.bits)), c.text) << std::hex << c.bits;
  }
  const double numbers[] = {-std::numeric_limits<double>::quiet_NaN(), 1.0,
                            std::numeric_limits<double>::quiet_NaN()};
  EXPECT_EQ(std::string(RunTextExport([&](ResultWriter& out) { out.WriteSeparated(numbers); })),
            "-nan 1 nan");
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
