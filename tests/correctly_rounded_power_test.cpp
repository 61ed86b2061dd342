// The correctly rounded power against exact values (the exact rational
// power rounded once, computed with Python's fractions), and the direct
// form's power: the C library's pow where that keeps the build's bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "formulas/correctly_rounded_power.h"
#include "support/bits.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
  double A;
  std::int32_t k;
  double expected;
};

void PrintTo(const Case& c, std::ostream* out) { *out << std::hexfloat << c.A << "^" << c.k; }

class CorrectlyRounded : public ::testing::TestWithParam<Case> {};

TEST_P(CorrectlyRounded, IsTheExactPowerRoundedOnce) {
  const Case c = GetParam();
  EXPECT_EQ(moravel::testing::Bits(moravel::CorrectlyRoundedPower(c.A, c.k)),
            moravel::testing::Bits(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Powers, CorrectlyRounded,
    ::testing::Values(
        // 3^34 has 54 bits and ends in 1: a tie, to even.  3^33 is exact.
        Case{0x1.8p+1, 34, 0x1.d9fe779881944p+53}, Case{0x1.8p+1, 33, 0x1.3bfefa65abb83p+52},
        // Ties and hard cases of negative and positive bases.
        Case{-0x1.1p+2, 13, -0x1.19814a3a69768p+27}, Case{-0x1.418p+4, 73, -0x1.fd9df60b9aac9p+315},
        Case{-0x1.478p+3, 96, 0x1.14fe2f935a953p+322},
        Case{0x1.be66666666666p+4, 170, 0x1.4b7eee3bce27ep+816},
        Case{0x1.e08fb823ee09p+1, 25, 0x1.a40d534e14e1ap+47},
        Case{0x1.fffffffffffffp-1, 1000, 0x1.ffffffffffc18p-1},
        Case{0x1.0000000000001p+0, 1024, 0x1.00000000004p+0},
        // Gradual underflow: the smallest subnormal, a tie to zero, a
        // subnormal with few bits, a negative zero.
        Case{0x1p-1, 1074, 0x0.0000000000001p-1022}, Case{0x1p-1, 1075, 0.0},
        Case{0x1p-1, 1076, 0.0}, Case{0x1.4f8b588e368f1p-17, 64, 0x0.00000000007e8p-1022},
        Case{0x1.4f8b588e368f1p-17, 70, 0.0}, Case{-0x1.87e92154ef7acp-665, 3, -0.0},
        // Overflow, the largest power of two, k = 0 and 1.
        Case{0x1p+1, 1023, 0x1p+1023}, Case{0x1p+1, 1024, kInf},
        Case{0x1.7e43c8800759cp+996, 2, kInf}, Case{0x1.54p+7, 140, kInf}, Case{0x1.ep+2, 0, 1.0},
        Case{0x1.8p-1, 1, 0x1.8p-1}));

TEST(DirectFormPower, IsTheLibrarysPowWhereThatIsCorrectlyRounded) {
#if defined(_WIN32)
  // The C runtime's pow is not correctly rounded here: the library's own.
  for (std::int32_t k = 0; k <= 170; ++k) {
    EXPECT_EQ(moravel::testing::Bits(moravel::DirectFormPower(0x1.be66666666666p+4, k)),
              moravel::testing::Bits(moravel::CorrectlyRoundedPower(0x1.be66666666666p+4, k)));
  }
#else
  // The build's own bits: pow itself, whatever it rounds.
  for (double A : {0.0, -0.0, 0x1.be66666666666p+4, -0x1.1p+2, 1e-300, 7.25, kInf, -kInf}) {
    for (std::int32_t k : {-3, 0, 1, 13, 170, 171, 100000}) {
      EXPECT_EQ(moravel::testing::Bits(moravel::DirectFormPower(A, k)),
                moravel::testing::Bits(std::pow(A, static_cast<double>(k))))
          << A << "^" << k;
    }
  }
#endif
  EXPECT_TRUE(std::isnan(moravel::DirectFormPower(std::nan(""), 3)));
  EXPECT_EQ(moravel::DirectFormPower(std::nan(""), 0), 1.0);
}

}  // namespace
