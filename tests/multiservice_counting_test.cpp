// The counting functions of the link-group models on their own: binomial
// coefficients, arrangement counts, acceptance factors, demand counts, and
// the tables that stand in for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "multiservice/acceptance_factor.h"
#include "multiservice/arrangements.h"
#include "multiservice/binomial.h"
#include "multiservice/group_input.h"
#include "reference/multiservice_reference.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// ---- Binomial ---------------------------------------------------------

TEST(Binomial, KnownValuesAndHugeArgumentsThatStopOnceInfinite) {
  struct Case {
    std::int32_t n, k;
    double expected;
  };
  for (const Case& c : std::vector<Case>{{52, 5, 2598960.0},
                                         {30, 15, 155117520.0},
                                         {kMax, 1, static_cast<double>(kMax)},
                                         {kMax, kMax - 1, kInfinity},
                                         {kMax, kMax, kInfinity}}) {
    EXPECT_EQ(moravel::Binomial(c.n, c.k), c.expected) << c.n << " choose " << c.k;
  }
}

// The early stop at infinity changes no value: the plain loop gives the
// same bits, for k outside 0..n and rounding beyond 2^53 included.
TEST(Binomial, SameBitsAsThePlainLoop) {
  for (std::int32_t n : {-3, -1, 0, 1, 2, 7, 30, 50, 60, 100, 500, 1030, 1100, 3000}) {
    for (std::int32_t k = -2; k <= n + 2; k += (n > 600 ? 7 : 1)) {
      ASSERT_EQ(Bits(moravel::Binomial(n, k)), Bits(moravel::reference::Binomial(n, k)))
          << n << " choose " << k;
    }
  }
}

TEST(Binomial, RowHoldsTheSameBits) {
  for (std::int32_t n : {-2, 0, 1, 7, 40, 1100, kMax}) {
    const std::vector<double> row = moravel::BinomialRow(n, 60);
    ASSERT_EQ(row.size(), 61u);
    for (std::int32_t j = 0; j <= 60; ++j) {
      ASSERT_EQ(Bits(row[static_cast<std::size_t>(j)]), Bits(moravel::Binomial(n, j)))
          << n << " choose " << j;
    }
  }
  EXPECT_TRUE(moravel::BinomialRow(5, -1).empty());
}

// Across the switch from the integer triangle to the product loop.
TEST(Binomial, ColumnHoldsTheSameBits) {
  struct Range {
    std::int32_t k, first, last;
  };
  std::vector<Range> ranges{
      {400, 399, 600}, {5000, 4999, 5200}, {1000000, 999999, 1000200}, {2, kMax - 3, kMax}};
  for (std::int32_t k = -1; k <= 70; ++k) {
    for (std::int32_t first : {-3, 0, k - 1, 200}) ranges.push_back({k, first, first + 2500});
  }
  for (const Range& r : ranges) {
    const std::vector<double> column = moravel::BinomialColumn(r.k, r.first, r.last);
    ASSERT_EQ(column.size(), static_cast<std::size_t>(std::int64_t{r.last} - r.first + 1));
    for (std::int64_t n = r.first; n <= r.last; ++n) {
      ASSERT_EQ(Bits(column[static_cast<std::size_t>(n - r.first)]),
                Bits(moravel::Binomial(static_cast<std::int32_t>(n), r.k)))
          << n << " choose " << r.k;
    }
  }
  EXPECT_TRUE(moravel::BinomialColumn(3, 5, 4).empty());
}

// ---- Arrangements -------------------------------------------------------

TEST(Arrangements, AgreeWithEnumeration) {
  for (int k = 0; k <= 4; ++k) {
    for (int hi = 0; hi <= 6; ++hi) {
      for (int lo = 0; lo <= hi; ++lo) {
        for (int x = -1; x <= k * hi + 1; ++x) {
          ASSERT_EQ(moravel::Arrangements(x, k, hi, lo),
                    static_cast<double>(moravel::reference::EnumeratedPlacements(x, k, lo, hi)))
              << "x=" << x << " k=" << k << " hi=" << hi << " lo=" << lo;
        }
      }
    }
  }
  // Spreading 150 units over 10 links of at most 30: beyond 32 bits, exact.
  EXPECT_EQ(moravel::Arrangements(150, 10, 30, 0), 11385659856231.0);
}

TEST(Arrangements, SameBitsAsTheTranscription) {
  for (int k = 0; k <= 12; ++k) {
    for (int hi = -1; hi <= 14; ++hi) {
      for (int lo = -2; lo <= hi; ++lo) {  // hi >= lo keeps the transcription's w nonzero
        for (int x = -3; x <= 12 * 14 + 3; x += 3) {
          ASSERT_EQ(Bits(moravel::Arrangements(x, k, hi, lo)),
                    Bits(moravel::reference::Arrangements(x, k, hi, lo)))
              << "x=" << x << " k=" << k << " hi=" << hi << " lo=" << lo;
        }
      }
    }
  }
}

// Arguments whose 32-bit steps wrap or divide badly give a count, not a fault.
TEST(Arrangements, WrappingArgumentsStayDefined) {
  struct Case {
    std::int32_t x, k, hi, lo;
    double count;
  };
  for (const Case& c :
       std::vector<Case>{{kMax, 1, kMax, 0, 1.0},     // w wraps to INT32_MIN: r = 0, one term
                         {kMax, 2, 1 << 30, 0, 0.0},  // k hi wraps below every x
                         {-2, -1, 2, 3, 0.0},         // hi = lo - 1 passes for a negative k: w = 0
                         {0, -5, 3, 0, 0.0},          // 0 units lie above k hi = -15
                         {kMin, 1, kMin, kMin, 1.0}}) {  // lo - 1 and x - (lo - 1) k wrap back
    EXPECT_EQ(moravel::Arrangements(c.x, c.k, c.hi, c.lo), c.count)
        << "x=" << c.x << " k=" << c.k << " hi=" << c.hi << " lo=" << c.lo;
  }
}

TEST(Arrangements, TablesHoldTheSameBits) {
  struct Case {
    std::int32_t k, x_max, hi, lo, x_first, x_last;
  };
  std::vector<Case> cases{// Counts far beyond 2^53 (rounded, and the same rounding), and
                          // ranges beyond the tables or at the top of the 32-bit range.
                          {40, 1200, 30, 0, 0, 1200},
                          {40, 1200, 30, 7, 250, 1200},
                          {6, 100, 20, 0, -5, 130},
                          {1, 10, kMax, 0, kMax - 5, kMax},
                          {3, 10, 1 << 30, 0, kMax - 3, kMax}};
  for (int k = 0; k <= 9; ++k) {
    for (int hi = -2; hi <= 14; ++hi) {
      for (int lo = -1; lo <= hi + 2; ++lo) cases.push_back({k, 120, hi, lo, 0, 120});
    }
  }
  for (const Case& c : cases) {
    const moravel::ArrangementCoefficients coefficients =
        moravel::TabulateCoefficients(c.k, c.x_max);
    const std::vector<double> table =
        moravel::TabulateArrangements(coefficients, c.hi, c.lo, c.x_first, c.x_last);
    for (std::int64_t x = c.x_first; x <= c.x_last; ++x) {
      ASSERT_EQ(Bits(table[static_cast<std::size_t>(x - c.x_first)]),
                Bits(moravel::Arrangements(static_cast<std::int32_t>(x), c.k, c.hi, c.lo)))
          << "x=" << x << " k=" << c.k << " hi=" << c.hi << " lo=" << c.lo;
    }
  }
}

// ---- AcceptanceFactor ---------------------------------------------------

TEST(AcceptanceFactor, SameBitsAsTheTranscription) {
  for (int k = 0; k <= 6; ++k) {
    for (int f = 0; f <= 20; ++f) {
      for (int d = 0; d <= f + 1; ++d) {
        for (int x = 0; x <= k * f; ++x) {
          ASSERT_EQ(Bits(moravel::AcceptanceFactor(x, d, k, f)),
                    Bits(moravel::reference::AcceptanceFactor(x, d, k, f)))
              << "x=" << x << " d=" << d << " k=" << k << " f=" << f;
        }
      }
    }
  }
}

// Counts beyond 32 bits still give a share of the arrangements.
TEST(AcceptanceFactor, LargeGroupsKeepAMeaningfulShare) {
  const double all = moravel::Arrangements(150, 10, 30, 0);
  const double without = moravel::Arrangements(150, 10, 19, 0);
  EXPECT_EQ(moravel::AcceptanceFactor(150, 20, 10, 30), (all - without) / all);
  EXPECT_GT(moravel::AcceptanceFactor(150, 20, 10, 30), 0.0);
  EXPECT_LT(moravel::AcceptanceFactor(150, 20, 10, 30), 1.0);
}

TEST(AcceptanceFactor, ShareTruncatesLikeAnIntegerConversion) {
  EXPECT_EQ(moravel::AcceptanceShare(5.9, 1.2), 4.0 / 5.0);
  EXPECT_EQ(Bits(moravel::AcceptanceShare(5.0, 5.5)), Bits(0.0));  // -0.5 -> 0, not -0
  EXPECT_EQ(moravel::AcceptanceShare(0.7, 0.0), 0.0);              // truncated N = 0
  for (double v : {0.0, -0.0, 0.5, -0.5, 1.5, -2.75, 4503599627370495.5, 4503599627370497.0, 1e300,
                   -1e300, kInfinity, -kInfinity}) {
    EXPECT_EQ(Bits(moravel::Truncated(v)), Bits(std::trunc(v))) << v;
  }
  EXPECT_TRUE(std::isnan(moravel::Truncated(std::nan(""))));
}

TEST(AcceptanceFactor, TablesHoldTheSameBitsPerDemand) {
  const std::vector<double> t = {2.5, 0.0, 7.0, 1e10, kInfinity, 2.0, 3.0, 9.75, 3.0};
  const std::int32_t k = 5, f = 9;
  const moravel::AcceptanceTables tables =
      moravel::TabulateAcceptance(t.data(), static_cast<std::int32_t>(t.size()), k, f);
  EXPECT_EQ(tables.demands, (std::vector<std::int64_t>{0, 2, 3, 7, 9, 2147483648LL}));
  for (std::size_t i = 0; i < t.size(); ++i) {
    const std::int64_t d = moravel::DemandCount(t[i]);
    EXPECT_EQ(tables.demands[tables.table_of_class[i]], d);
    const std::vector<double>& sigma = tables.ForClass(i);
    ASSERT_EQ(sigma.size(), static_cast<std::size_t>(k * f + 1));
    for (std::int32_t x = 0; x <= k * f; ++x) {
      ASSERT_EQ(Bits(sigma[static_cast<std::size_t>(x)]),
                Bits(moravel::AcceptanceFactor(x, d, k, f)))
          << "x=" << x << " d=" << d;
    }
  }
  ASSERT_NE(tables.Exact(), nullptr);
  for (std::int32_t x = 0; x <= k * f; ++x) {
    EXPECT_EQ(tables.Exact()->placements[static_cast<std::size_t>(x)],
              moravel::Arrangements(x, k, f, 0));
  }
}

// ---- Demands and group sizes --------------------------------------------

TEST(GroupInput, DemandCountTruncatesAndCapsWithoutOverflow) {
  struct Case {
    double t;
    std::int64_t count;
  };
  for (const Case& c : std::vector<Case>{{0.0, 0},
                                         {-0.0, 0},
                                         {2.5, 2},
                                         {2.999, 2},
                                         {3.0, 3},
                                         {2147483647.9, 2147483647},
                                         {2147483648.0, 2147483648LL},
                                         {1e300, 2147483648LL},
                                         {kInfinity, 2147483648LL}}) {
    EXPECT_EQ(moravel::DemandCount(c.t), c.count) << c.t;
  }
}

// The edges of what can be sized; the refusals of the exports themselves
// are in bad_input_test.
TEST(GroupInput, AcceptsGroupsUpToTheLargestUnitCount) {
  const double a[2] = {1.0, 1.0}, t[2] = {1.0, 2.0};
  EXPECT_TRUE(moravel::IsComputableGroup(nullptr, 0, nullptr, 2, 5));
  EXPECT_TRUE(moravel::IsComputableGroup(a, 2, t, 0, 0));
  EXPECT_TRUE(moravel::IsComputableGroup(a, 2, t, 46340, 46341));   // 2147441940 units
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, t, 65536, 32768));  // 2^31
  EXPECT_TRUE(moravel::IsComputableSubset(a, 2, t, 2, 5, 0));
  EXPECT_TRUE(moravel::IsComputableSubset(a, 2, t, 2, 5, 2));
}

}  // namespace
