// The scalar formulas: published values, IEEE edge values, and the direct
// form against its literal transcription.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "formulas/engset.h"
#include "formulas/erlang_direct.h"
#include "formulas/erlang_loss.h"
#include "formulas/erlang_loss_batch.h"
#include "reference/erlang_direct_reference.h"
#include "support/text_rows.h"

namespace moravel {
namespace {

using testing::Bits;
using testing::ExpectTexts;

using testing::kInf;
using testing::kNaN;
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

// Values shown to six digits, as the result text writes them; the values
// for input outside the formulas' meaning are in bad_input_test.
TEST(Formulas, SixDigitValues) {
  const testing::TextRow rows[] = {
      TEXT_ROW(PalmTable(1, 1.0), "0.5"),
      TEXT_ROW(PalmTable(2, 1.0), "0.2"),
      TEXT_ROW(PalmTable(10, 5.0), "0.0183846"),
      TEXT_ROW(PalmTable(30, 20.0), "0.0084575"),
      TEXT_ROW(PalmTable(5, 0.0), "0"),
      TEXT_ROW(PalmTable(1000000, 1e5), "0"),  // a million servers: still a probability
      TEXT_ROW(ErlangFormula2(2, 1.0), "0.333333"),
      TEXT_ROW(ErlangFormula2(10, 5.0), "0.0361054"),
      TEXT_ROW(ErlangFormula2(1, 1.0), "1"),
      TEXT_ROW(ErlangFormula2(10, 10.0), "1"),
      TEXT_ROW(ErlangFormula2(1, 2.0), "2"),
      // d = 1 - (A/V)(1 - B) loses everything to rounding when A dwarfs V:
      // not guarded.
      TEXT_ROW(ErlangFormula2(1, 1e8), "1.64542e+08"),
      TEXT_ROW(ErlangFormula2(1, 1e10), "-1.2086e+07"),
      TEXT_ROW(EngsetTable(2, 1, 0.5), "0.5"),
      TEXT_ROW(EngsetTable(10, 5, 0.2), "0.0165659"),
      TEXT_ROW(EngsetTable(3, 5, 0.2), "0"),
      TEXT_ROW(EngsetTable(5, 3, 0.0), "0"),
      TEXT_ROW(E(1, 1.0), "0.5"),
      TEXT_ROW(E(2, 1.0), "0.2"),
      TEXT_ROW(E(5, 3.0), "0.110054"),
      TEXT_ROW(E(0, 2.0), "1"),
      TEXT_ROW(E(3, 0.0), "0"),
      TEXT_ROW(E(13, 5.0), "0.00132178"),
      TEXT_ROW(E(20, 10.0), "0.00186905"),
      TEXT_ROW(E(34, 10.0), "1.53777e-09"),
      // The largest server count returns: 10^V overflows on the way.
      TEXT_ROW(E(kMaxInt, 10.0), "-nan"),
      TEXT_ROW(E(kMaxInt, 1.0), "0"),
      TEXT_ROW(Hi(kMaxInt, 2.0, 1), "-nan"),
      TEXT_ROW(Hi(5, 3.0, 2), "0.317935"),
      TEXT_ROW(Hi(5, 3.0, 0), "1"),
  };
  ExpectTexts(rows);
}

TEST(EngsetTable, ZeroSignFlipsWithEachStepBeyondTheSources) {
  for (std::int32_t V = 3; V <= 9; ++V) {
    EXPECT_EQ(std::signbit(EngsetTable(3, V, 0.2)), (V - 3) % 2 == 1) << "V = " << V;
  }
}

TEST(PalmTable, AgreesWithTheDirectFormBelowItsLimits) {
  for (std::int32_t V = 1; V <= 60; ++V) {
    for (double A : {0.5, 3.0, 17.0, 45.0}) {
      EXPECT_NEAR(PalmTable(V, A), E(V, A), 1e-12 * E(V, A) + 1e-300) << V << " " << A;
    }
  }
}

TEST(Hi, EqualsItsTwoDirectValues) {
  EXPECT_EQ(Bits(Hi(5, 3.0, 5)), Bits(E(5, 3.0)));
  EXPECT_EQ(Bits(Hi(5, 3.0, 2)), Bits(E(5, 3.0) / E(3, 3.0)));
}

TEST(Factorial, ExactSmallValuesAndOverflow) {
  EXPECT_EQ(Factorial(-1), 0.0);
  EXPECT_EQ(Factorial(0), 1.0);
  EXPECT_EQ(Factorial(1), 1.0);
  EXPECT_EQ(Factorial(22), 1124000727777607680000.0);
  EXPECT_TRUE(std::isfinite(Factorial(170)));
  EXPECT_EQ(Factorial(171), kInf);
  EXPECT_EQ(Factorial(kMaxInt), kInf);
}

// The direct form stops after 171 terms; the literal loop runs them all.
// Both must give the same bits for every traffic, through every kind of
// overflow, and the short form must be instant for the largest V.
TEST(E, MatchesTheLiteralLoopBitForBit) {
  const std::vector<double> traffics = {0.0,  -0.0,  1e-300, 0.3,        1.0,   -1.0, 2.0,
                                        -2.5, 10.0,  100.0,  1.00000001, 1.5,   4.0,  -4.0,
                                        1e10, 1e300, -1e300, kInf,       -kInf, kNaN};
  std::vector<std::int32_t> servers;
  for (std::int32_t V = -3; V <= 400; ++V) servers.push_back(V);
  for (std::int32_t V : {500, 777, 1024, 1500, 2047, 3000}) servers.push_back(V);
  for (double A : traffics) {
    for (std::int32_t V : servers) {
      ASSERT_EQ(Bits(E(V, A)), Bits(reference::E(V, A))) << "V = " << V << ", A = " << A;
    }
  }
}

// Four recursions interleaved, each with its own step count, give each
// point PalmTable's bits: counts that differ within a group of four, counts
// that take no step, and a tail of fewer than four points.
TEST(PalmTableBatch, EveryPointHasPalmTablesBits) {
  const std::vector<std::int32_t> V = {10,         10, 10, 10, 1,    50, 7,  300, 0, -5,
                                       2147483647, 3,  12, 12, 1000, 2,  40, 41,  39};
  std::vector<double> A, B(V.size(), -1.0);
  for (std::size_t j = 0; j < V.size(); ++j) A.push_back(0.37 * static_cast<double>(j * j) + 0.5);
  PalmTableBatch(V.size(), V.data(), A.data(), B.data());
  for (std::size_t j = 0; j < V.size(); ++j) {
    EXPECT_EQ(Bits(B[j]), Bits(PalmTable(V[j], A[j]))) << j;
  }
}

}  // namespace
}  // namespace moravel
