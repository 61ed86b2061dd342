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
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Counts compositions of x into k parts in [lo, hi] by enumeration.
double CountByEnumeration(int x, int k, int hi, int lo) {
  if (k == 0) return x == 0 ? 1.0 : 0.0;
  double count = 0.0;
  for (int part = lo; part <= hi && part <= x; ++part) {
    count += CountByEnumeration(x - part, k - 1, hi, lo);
  }
  return count;
}

// ---- Binomial ---------------------------------------------------------

TEST(Binomial, SmallValues) {
  struct Case { std::int32_t n, k; double expected; };
  for (const Case& c : std::vector<Case>{{10, 3, 120.0}, {3, 5, 0.0}, {5, 0, 1.0}, {0, 0, 1.0},
                                         {-1, 0, 0.0}, {7, -1, 0.0}, {52, 5, 2598960.0},
                                         {30, 15, 155117520.0}, {-3, -5, 0.0}}) {
    EXPECT_EQ(moravel::Binomial(c.n, c.k), c.expected) << c.n << " choose " << c.k;
  }
}

TEST(Binomial, SymmetryAndPascalWhileExact) {
  for (std::int32_t n = 1; n <= 50; ++n) {
    double row_sum = 0.0;
    for (std::int32_t k = 0; k <= n; ++k) {
      EXPECT_EQ(moravel::Binomial(n, k), moravel::Binomial(n, n - k)) << n << ", " << k;
      if (k >= 1) {
        EXPECT_EQ(moravel::Binomial(n, k),
                  moravel::Binomial(n - 1, k - 1) + moravel::Binomial(n - 1, k))
            << n << ", " << k;
      }
      row_sum += moravel::Binomial(n, k);
    }
    EXPECT_EQ(row_sum, std::ldexp(1.0, n)) << n;
  }
}

// The early stop at infinity changes no value: the plain loop gives the
// same bits, rounding beyond 2^53 included.
TEST(Binomial, SameBitsAsThePlainLoopBeyondExactRange) {
  for (std::int32_t n : {60, 100, 500, 1030, 1100, 3000}) {
    for (std::int32_t k = 0; k <= n; k += (n > 600 ? 7 : 1)) {
      ASSERT_EQ(Bits(moravel::Binomial(n, k)), Bits(moravel::reference::Binomial(n, k)))
          << n << " choose " << k;
    }
  }
}

TEST(Binomial, HugeArgumentsStopOnceInfinite) {
  EXPECT_EQ(moravel::Binomial(kMax, kMax - 1), kInfinity);
  EXPECT_EQ(moravel::Binomial(kMax, 1), static_cast<double>(kMax));
  EXPECT_EQ(moravel::Binomial(kMax, kMax), kInfinity);
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
  for (std::int32_t k = -1; k <= 70; ++k) {
    for (std::int32_t first : {-3, 0, k - 1, 200}) {
      const std::int32_t last = first + 2500;
      const std::vector<double> column = moravel::BinomialColumn(k, first, last);
      ASSERT_EQ(column.size(), static_cast<std::size_t>(last - first + 1));
      for (std::int32_t n = first; n <= last; ++n) {
        ASSERT_EQ(Bits(column[static_cast<std::size_t>(n - first)]), Bits(moravel::Binomial(n, k)))
            << n << " choose " << k;
      }
    }
  }
  for (std::int32_t k : {400, 5000, 1000000}) {
    const std::vector<double> column = moravel::BinomialColumn(k, k - 1, k + 200);
    for (std::int32_t n = k - 1; n <= k + 200; ++n) {
      ASSERT_EQ(Bits(column[static_cast<std::size_t>(n - k + 1)]), Bits(moravel::Binomial(n, k)))
          << n << " choose " << k;
    }
  }
  const std::vector<double> top = moravel::BinomialColumn(2, kMax - 3, kMax);
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Bits(top[static_cast<std::size_t>(i)]), Bits(moravel::Binomial(kMax - 3 + i, 2)));
  }
  EXPECT_TRUE(moravel::BinomialColumn(3, 5, 4).empty());
}

// ---- Arrangements -------------------------------------------------------

TEST(Arrangements, SmallExamples) {
  EXPECT_EQ(moravel::Arrangements(7, 3, 4, 2), 3.0);   // 2+2+3 in three orders
  EXPECT_EQ(moravel::Arrangements(0, 3, 4, 0), 1.0);
  EXPECT_EQ(moravel::Arrangements(4, 2, 5, 0), 5.0);   // 0+4 .. 4+0
  EXPECT_EQ(moravel::Arrangements(4, 2, 2, 0), 1.0);   // 2+2
  EXPECT_EQ(moravel::Arrangements(13, 3, 4, 0), 0.0);  // above k hi
  EXPECT_EQ(moravel::Arrangements(5, 3, 4, 2), 0.0);   // below k lo
  EXPECT_EQ(moravel::Arrangements(3, 0, 5, 0), 0.0);   // no links
  EXPECT_EQ(moravel::Arrangements(0, 0, 5, 0), 1.0);
  // Spreading 150 units over 10 links of at most 30: beyond 32 bits, exact.
  EXPECT_EQ(moravel::Arrangements(150, 10, 30, 0), 11385659856231.0);
}

TEST(Arrangements, AgreeWithEnumeration) {
  for (int k = 0; k <= 4; ++k) {
    for (int hi = 0; hi <= 6; ++hi) {
      for (int lo = 0; lo <= hi; ++lo) {
        for (int x = -1; x <= k * hi + 1; ++x) {
          ASSERT_EQ(moravel::Arrangements(x, k, hi, lo), CountByEnumeration(x, k, hi, lo))
              << "x=" << x << " k=" << k << " hi=" << hi << " lo=" << lo;
        }
      }
    }
  }
}

TEST(Arrangements, SymmetrySumAndConvolution) {
  for (int k = 1; k <= 7; ++k) {
    for (int hi = 0; hi <= 9; ++hi) {
      for (int lo = 0; lo <= hi; ++lo) {
        double total = 0.0;
        for (int x = k * lo; x <= k * hi; ++x) {
          // Part p <-> hi + lo - p.
          ASSERT_EQ(moravel::Arrangements(x, k, hi, lo),
                    moravel::Arrangements(k * (hi + lo) - x, k, hi, lo));
          total += moravel::Arrangements(x, k, hi, lo);
        }
        ASSERT_EQ(total, std::pow(hi - lo + 1.0, k)) << k << " " << hi << " " << lo;
      }
    }
  }
  // Splitting the links in two groups: k1 + k2 = 6.
  for (int x = 0; x <= 30; ++x) {
    double split = 0.0;
    for (int w = 0; w <= x; ++w) {
      split += moravel::Arrangements(w, 2, 5, 0) * moravel::Arrangements(x - w, 4, 5, 0);
    }
    ASSERT_EQ(moravel::Arrangements(x, 6, 5, 0), split) << x;
  }
  // Without an upper bound in reach: the compositions C(x + k - 1, k - 1).
  for (int k = 1; k <= 8; ++k) {
    for (int x = 0; x <= 25; ++x) {
      ASSERT_EQ(moravel::Arrangements(x, k, x, 0), moravel::Binomial(x + k - 1, k - 1));
    }
  }
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
  // w = hi - lo + 1 wraps to INT32_MIN: r = 0, one term C(1, 0) C(x, 0) = 1.
  EXPECT_EQ(moravel::Arrangements(kMax, 1, kMax, 0), 1.0);
  // k hi wraps to INT32_MIN, below every x: no arrangement.
  EXPECT_EQ(moravel::Arrangements(kMax, 2, 1 << 30, 0), 0.0);
  // hi = lo - 1 passes the range test for a negative k: w = 0, no division.
  EXPECT_EQ(moravel::Arrangements(-2, -1, 2, 3), 0.0);
  // A negative k: 0 units lie above k hi = -15.
  EXPECT_EQ(moravel::Arrangements(0, -5, 3, 0), 0.0);
  // The bottom of the 32-bit range: lo - 1 and x - (lo - 1) k wrap back to
  // the single arrangement.
  EXPECT_EQ(moravel::Arrangements(std::numeric_limits<std::int32_t>::min(), 1,
                                  std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::min()),
            1.0);
}

TEST(Arrangements, TablesHoldTheSameBits) {
  for (int k = 0; k <= 9; ++k) {
    const moravel::ArrangementCoefficients coefficients = moravel::TabulateCoefficients(k, 120);
    for (int hi = -2; hi <= 14; ++hi) {
      for (int lo = -1; lo <= hi + 2; ++lo) {
        const std::vector<double> table =
            moravel::TabulateArrangements(coefficients, hi, lo, 0, 120);
        for (int x = 0; x <= 120; ++x) {
          ASSERT_EQ(Bits(table[static_cast<std::size_t>(x)]),
                    Bits(moravel::Arrangements(x, k, hi, lo)))
              << "x=" << x << " k=" << k << " hi=" << hi << " lo=" << lo;
        }
      }
    }
  }
  // Counts far beyond 2^53 (rounded, and the same rounding), and ranges
  // beyond the tables or at the top of the 32-bit range.
  struct Case { std::int32_t k, x_max, hi, lo, x_first, x_last; };
  for (const Case& c : std::vector<Case>{{40, 1200, 30, 0, 0, 1200},
                                         {40, 1200, 30, 7, 250, 1200},
                                         {6, 100, 20, 0, -5, 130},
                                         {1, 10, kMax, 0, kMax - 5, kMax},
                                         {3, 10, 1 << 30, 0, kMax - 3, kMax}}) {
    const moravel::ArrangementCoefficients coefficients =
        moravel::TabulateCoefficients(c.k, c.x_max);
    const std::vector<double> table =
        moravel::TabulateArrangements(coefficients, c.hi, c.lo, c.x_first, c.x_last);
    for (std::int32_t x = c.x_first; x <= c.x_last && x >= c.x_first; ++x) {
      ASSERT_EQ(Bits(table[static_cast<std::size_t>(std::int64_t{x} - c.x_first)]),
                Bits(moravel::Arrangements(x, c.k, c.hi, c.lo)))
          << "x=" << x << " k=" << c.k;
      if (x == kMax) break;
    }
  }
}

// ---- AcceptanceFactor ---------------------------------------------------

TEST(AcceptanceFactor, SmallExamples) {
  EXPECT_EQ(moravel::AcceptanceFactor(4, 3, 2, 5), 0.8);  // N = 5, B = 1 (2+2)
  EXPECT_EQ(moravel::AcceptanceFactor(4, 6, 2, 5), 0.0);  // wider than a link
  EXPECT_EQ(moravel::AcceptanceFactor(0, 1, 0, 5), 0.0);  // no links: both counts 1
  EXPECT_EQ(moravel::AcceptanceFactor(3, 0, 3, 5), 1.0);  // demand 0 always fits
  for (int x = 0; x <= 8; ++x) {  // one link: the free units either fit or not
    EXPECT_EQ(moravel::AcceptanceFactor(x, 3, 1, 8), x >= 3 ? 1.0 : 0.0) << x;
  }
}

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
  for (double v : {0.0, -0.0, 0.5, -0.5, 1.5, -2.75, 4503599627370495.5, 4503599627370497.0,
                   1e300, -1e300, kInfinity, -kInfinity}) {
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
  for (std::int32_t x = 0; x <= k * f; ++x) {
    EXPECT_EQ(tables.placements[static_cast<std::size_t>(x)], moravel::Arrangements(x, k, f, 0));
  }
}

// ---- Demands and refused groups -----------------------------------------

TEST(GroupInput, DemandCountTruncatesAndCapsWithoutOverflow) {
  struct Case { double t; std::int64_t count; };
  for (const Case& c : std::vector<Case>{{0.0, 0}, {-0.0, 0}, {2.5, 2}, {2.999, 2}, {3.0, 3},
                                         {2147483647.9, 2147483647}, {2147483648.0, 2147483648LL},
                                         {1e300, 2147483648LL}, {kInfinity, 2147483648LL}}) {
    EXPECT_EQ(moravel::DemandCount(c.t), c.count) << c.t;
  }
}

TEST(GroupInput, RefusesWhatWouldReadOrSizeOutOfRange) {
  const double a[2] = {1.0, 1.0};
  const double t[2] = {1.0, 2.0};
  const double negative[2] = {1.0, -1.0};
  const double nan[2] = {1.0, std::nan("")};
  EXPECT_TRUE(moravel::IsComputableGroup(a, 2, t, 2, 5));
  EXPECT_TRUE(moravel::IsComputableGroup(nullptr, 0, nullptr, 2, 5));
  EXPECT_TRUE(moravel::IsComputableGroup(a, 2, t, 0, 0));
  EXPECT_TRUE(moravel::IsComputableGroup(a, 2, t, 46340, 46341));  // 2147441940 units
  EXPECT_FALSE(moravel::IsComputableGroup(a, -1, t, 2, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(nullptr, 2, t, 2, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, nullptr, 2, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, negative, 2, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, nan, 2, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, t, -1, 5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, t, 2, -5));
  EXPECT_FALSE(moravel::IsComputableGroup(a, 2, t, 65536, 32768));  // 2^31
  EXPECT_TRUE(moravel::IsComputableSubset(a, 2, t, 2, 5, 0));
  EXPECT_TRUE(moravel::IsComputableSubset(a, 2, t, 2, 5, 2));
  EXPECT_FALSE(moravel::IsComputableSubset(a, 2, t, 2, 5, -1));
  EXPECT_FALSE(moravel::IsComputableSubset(a, 2, t, 2, 5, 3));
}

}  // namespace
