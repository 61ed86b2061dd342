// The link-group models beyond the range of doubles: the wide double, the
// counts built from positive sums, the switch from the inclusion-exclusion
// counts where they stop being exact, the recursion past overflow, and the
// limits on what one evaluation may cost.  tests/precision holds the same
// models against exact counts and 40-digit arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "formulas/erlang_loss.h"
#include "moravel.h"
#include "support/capped_child.h"
#include "multiservice/arrangements.h"
#include "multiservice/composition_counts.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"
#include "multiservice/occupancy_distribution.h"
#include "multiservice/wide_double.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "random/seed_sequence.h"
#include "reference/multiservice_reference.h"
#include "support/bits.h"

namespace {

using moravel::WideDouble;
using moravel::testing::Bits;
using moravel::testing::kInf;

__extension__ typedef __int128 Int128;

// ---- WideDouble -------------------------------------------------------

// Shifted far beyond a double's range and back, every operation rounds as
// the plain double operation does.
TEST(WideDouble, RoundsLikeADoubleWithAnUnboundedExponent) {
  const std::vector<double> values = {1.0,     3.0,    0.1,           -0.7,       1e-300,
                                      2.5e300, 5e-324, 123456789.123, -1.0 / 3.0, 0.0};
  for (const std::int64_t shift : {0, 3000, -3000}) {
    for (const double x : values) {
      for (const double y : values) {
        WideDouble wx = moravel::Wide(x);
        WideDouble wy = moravel::Wide(y);
        wx.e += shift;
        wy.e += shift;
        auto back = [&](WideDouble w, std::int64_t by) {
          w.e -= by;
          return moravel::ToDouble(w);
        };
        // Products of tiny values leave the range even unshifted: compare
        // only what a double holds.
        EXPECT_EQ(Bits(back(wx + wy, shift)), Bits(x + y)) << x << " + " << y;
        EXPECT_EQ(Bits(back(wx - wy, shift)), Bits(x - y)) << x << " - " << y;
        const double product = x * y;
        if (std::isnormal(product) || product == 0.0) {
          EXPECT_EQ(Bits(back(wx * wy, 2 * shift)), Bits(product)) << x << " * " << y;
        }
        if (y != 0.0 && std::isnormal(x / y)) {
          EXPECT_EQ(Bits(back(wx / wy, 0)), Bits(x / y)) << x << " / " << y;
        }
      }
    }
  }
}

TEST(WideDouble, ComesBackToDoublesWithOverflowAndGradualUnderflow) {
  struct Case {
    WideDouble value;
    double expected;
  };
  for (const Case& c : std::vector<Case>{{{1.0, 1023}, 0x1p1023},
                                         {{1.0, 1024}, kInf},
                                         {{-1.5, 100000}, -kInf},
                                         {{1.0, -1074}, 0x1p-1074},
                                         {{1.0, -1076}, 0.0},
                                         {{1.5, -1023}, 0x1.8p-1023},
                                         {{1.0, -100000}, 0.0}}) {
    EXPECT_EQ(Bits(moravel::ToDouble(c.value)), Bits(c.expected))
        << c.value.m << " 2^" << c.value.e;
  }
}

// ---- Counts from positive sums ------------------------------------------

// Below 2^53 every sum and difference of counts is exact: the wide counts
// are the whole numbers themselves, and the two parts add up to the whole.
TEST(CompositionCounts, SmallGroupsGiveTheExactCounts) {
  for (int k = 1; k <= 5; ++k) {
    for (int f = 1; f <= 11; f += 2) {
      const int V = k * f;
      std::vector<std::int64_t> demands;
      for (int d = 1; d <= f; ++d) demands.push_back(d);
      const moravel::DemandCounts counts = moravel::CountByDemand(k, f, demands, V);
      for (int x = 0; x <= V; ++x) {
        const auto all = static_cast<double>(moravel::reference::EnumeratedPlacements(x, k, 0, f));
        ASSERT_EQ(moravel::ToDouble(counts.all[static_cast<std::size_t>(x)]), all)
            << k << " " << f << " " << x;
        for (std::size_t j = 0; j < demands.size(); ++j) {
          const auto d = static_cast<int>(demands[j]);
          const auto short_of =
              static_cast<double>(moravel::reference::EnumeratedPlacements(x, k, 0, d - 1));
          ASSERT_EQ(moravel::ToDouble(counts.short_of[j][static_cast<std::size_t>(x)]), short_of);
          ASSERT_EQ(moravel::ToDouble(counts.reaching[j][static_cast<std::size_t>(x)]),
                    all - short_of);
        }
        // Links holding 2..f units, as the subset model counts them.
        const std::vector<WideDouble> held = moravel::AddLinks({moravel::Wide(1.0)}, k, 2, f, V);
        ASSERT_EQ(moravel::ToDouble(held[static_cast<std::size_t>(x)]),
                  static_cast<double>(moravel::reference::EnumeratedPlacements(x, k, 2, f)));
      }
    }
  }
}

// ---- Where the inclusion-exclusion counts stop being exact ---------------

// The largest term or partial sum of Arrangements(x, k, hi, 0) over
// x = 0..x_max, in exact 128-bit integers: binomials are held at 2^60 once
// they pass it, and the scan stops at the first magnitude of 2^53 or more,
// so nothing overflows and every value compared below 2^53 is exact.
constexpr Int128 kSaturated = Int128{1} << 60;
Int128 Binomial128(std::int64_t n, std::int64_t r) {
  if (r < 0 || r > n) return 0;
  Int128 c = 1;
  for (std::int64_t j = 1; j <= r; ++j) {
    c = c * (n - j + 1) / j;
    if (c > kSaturated) return kSaturated;
  }
  return c;
}
Int128 LargestTermOrPartialSum(int k, int hi, int x_max) {
  const Int128 limit = Int128{1} << 53;
  Int128 peak = 0;
  for (int x = 1; x <= x_max && x <= k * hi && peak < limit; ++x) {
    Int128 sum = 0;
    for (int j = 0; j <= x / (hi + 1) && peak < limit; ++j) {
      const Int128 term = Binomial128(k, j) * Binomial128(x - j * (hi + 1) + k - 1, k - 1);
      sum += (j % 2 == 0) ? term : -term;
      peak = std::max({peak, term, sum < 0 ? -sum : sum});
    }
  }
  return peak;
}

TEST(ExactCounts, TheSwitchFallsWhereATermOrPartialSumReaches2To53) {
  const Int128 limit = Int128{1} << 53;
  int exact_groups = 0;
  int inexact_groups = 0;
  for (int k = 2; k <= 24; ++k) {
    for (const int hi : {1, 3, 7, 20, 60, 200, 900}) {
      const int x_max = std::min(k * hi, 4000);
      bool exact = true;
      moravel::TabulateArrangements(moravel::TabulateCoefficients(k, x_max), hi, 0, 0, x_max,
                                    &exact);
      const bool expected = LargestTermOrPartialSum(k, hi, x_max) < limit;
      ASSERT_EQ(exact, expected) << "k=" << k << " hi=" << hi;
      (exact ? exact_groups : inexact_groups) += 1;
    }
  }
  EXPECT_GT(exact_groups, 20);
  EXPECT_GT(inexact_groups, 20);
}

// ---- The recursion past overflow -----------------------------------------

std::string GroupText(std::vector<double> a, std::vector<double> t, std::int32_t k,
                      std::int32_t f) {
  return VM_VMl_V_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(), k, f);
}

// One link, one class of demand 1: the Erlang loss system, whose own
// recursion never overflows, however far past e^709 the unnormalised
// occupancy vector goes.  Just below overflow the plain recursion's bits stand.
TEST(WideRecursion, OneLinkOneUnitIsErlangLossFarPastOverflow) {
  struct Case {
    std::int32_t V;
    double A;
  };
  std::vector<Case> cases{{1000, 710.0},  {1000, 1000.0},   {500, 1000.0},
                          {2000, 1500.0}, {20000, 20000.0}, {5000, 12000.0}};
  for (std::int32_t V : {1, 2, 5, 10, 30, 100}) {
    for (double A : {0.1, 1.0, 5.0, 0.7 * V, 1.3 * V}) cases.push_back({V, A});
  }
  for (const Case& c : cases) {
    const double a[1] = {c.A};
    const double t[1] = {1.0};
    const double B = moravel::PalmTable(c.V, c.A);
    const double within = c.V <= 100 ? 1e-13 : 1e-12;
    const auto group = moravel::LinkGroupModel(a, 1, t, 1, c.V);
    EXPECT_NEAR(group->E[0], B, within * B) << c.V << " " << c.A;
    EXPECT_NEAR(group->C[0], c.A * (1.0 - B), within * c.A) << c.V << " " << c.A;
    const auto subset = moravel::LinkSubsetModel(a, 1, t, 1, c.V, 1);
    EXPECT_NEAR(subset->E[0], B, within * B) << c.V << " " << c.A;
  }
  const double a[2] = {690.0, 2.0};
  const double t[2] = {1.0, 3.0};
  const auto fast = moravel::LinkGroupModel(a, 2, t, 1, 1000);
  const auto slow = moravel::reference::LinkGroupModel(a, 2, t, 1, 1000);
  for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(Bits(fast->E[i]), Bits(slow.E[i]));
}

// Groups of the size engineers meet, once NaN, infinite or wrong by orders
// of magnitude, now the model's own values (checked at 40 digits in
// tests/precision), a class that is always refused carries exactly 0, and
// a full group carries its units.
TEST(WideRecursion, EverydayGroupsGiveTheModelsValues) {
  EXPECT_EQ(GroupText({666.0, 100.0, 20.0}, {1.0, 5.0, 20.0}, 4, 500),
            "4.02333e-08 666 3.96659e-06 499.998 0.000139573 399.944 ");
  EXPECT_EQ(GroupText({1000.0}, {1.0}, 1, 1000), "0.0248119 975.188 ");
  EXPECT_EQ(GroupText({2.75}, {22.0}, 23, 23), "0.00010561 60.4936 ");
  // Full: the 18 units carry the first class, the second never gets in.
  EXPECT_EQ(GroupText({1e300, 1.0}, {1.0, 2.0}, 3, 6), "1 18 1 0 ");
  EXPECT_EQ(GroupText({2.0, 1.0}, {1.0, kInf}, 2, 5), "3.81902e-05 1.99992 1 0 ");
  const double a[2] = {200.0, 20.0};
  const double t[2] = {1.0, 5.0};
  EXPECT_EQ(std::string(VM_VMl_VDg_L_an(a, 2, t, 8, 100, 4)), "2.56877e-15 200 4.91025e-12 100 ");
}

// On one link the model is exact (the Kaufman-Roberts recursion), so the
// simulation of large groups whose recursion runs far past overflow must
// agree with it: ten seeded runs of 10^6 calls, the mean within four
// standard errors of the model, for every class.
TEST(WideRecursion, OneLinkSimulationAgreesWithTheModelOnLargeGroups) {
  struct Case {
    std::vector<double> a, t;
    std::int32_t f;
  };
  for (const Case& c : std::vector<Case>{{{1000.0}, {1.0}, 1000},
                                         {{1500.0, 100.0}, {1.0, 5.0}, 2000},
                                         {{900.0, 40.0, 10.0}, {1.0, 10.0, 40.0}, 1500}}) {
    const auto M = static_cast<std::int32_t>(c.a.size());
    const auto model = moravel::LinkGroupModel(c.a.data(), M, c.t.data(), 1, c.f);
    constexpr int kRuns = 10;
    std::vector<double> sum(c.a.size(), 0.0), squares(c.a.size(), 0.0);
    for (std::uint32_t run = 1; run <= kRuns; ++run) {
      moravel::SeedSequence seeds(20261207u + run);
      const auto simulated = moravel::SimulateLinkSubsetSystem(
          c.a.data(), M, c.t.data(), 1, c.f, 1, 1000000, "МаксСвоб", seeds,
          moravel::RandomPlacementSeeding::kOneEnginePerRun);
      for (std::size_t i = 0; i < c.a.size(); ++i) {
        sum[i] += simulated->E[i];
        squares[i] += simulated->E[i] * simulated->E[i];
      }
    }
    for (std::size_t i = 0; i < c.a.size(); ++i) {
      const double mean = sum[i] / kRuns;
      const double spread = std::sqrt((squares[i] - kRuns * mean * mean) / (kRuns - 1));
      EXPECT_NEAR(mean, model->E[i], 4.0 * spread / std::sqrt(kRuns))
          << "f=" << c.f << " class " << i << " model " << model->E[i];
      EXPECT_GT(model->E[i], 1e-3);  // a blocking the runs can see
    }
  }
}

// ---- Limits ---------------------------------------------------------------

#if !defined(_WIN32)  // address-space caps and forked children are POSIX
// Arguments that would ask for gigabytes of tables or hours of work are
// refused before anything is allocated: under a 1 GiB cap, and within 20
// seconds, each export answers the empty text.
TEST(GroupLimits, AbsurdGroupsAreRefusedAtOnce) {
  moravel::testing::ExpectRightUnderAddressCap(20, [] {
    const double a[1] = {1.0};
    const double t[1] = {1.0};
    return std::string(VM_VMl_V_L_an(a, 1, t, 2147483647, 1)).empty() &&
           std::string(VM_VMl_V_L_an(a, 1, t, 200000, 10)).empty() &&
           std::string(VM_VMl_VDg_L_an(a, 1, t, 1000, 1000, 500)).empty() &&
           std::string(VM_VMl_VDg_L_an(a, 1, t, 1, 2147483647, 1)).empty();
  });
}
#endif

TEST(GroupLimits, LargeButReasonableGroupsAreComputed) {
  const double a[4] = {5000.0, 1000.0, 200.0, 50.0};
  const double t[4] = {1.0, 5.0, 20.0, 100.0};
  EXPECT_TRUE(moravel::LinkGroupModel(a, 4, t, 10, 10000).has_value());
  EXPECT_TRUE(moravel::LinkGroupModel(a, 4, t, 1, 1000000).has_value());
  EXPECT_TRUE(moravel::LinkSubsetModel(a, 2, t, 2, 100000, 1).has_value());
  EXPECT_FALSE(moravel::LinkGroupModel(a, 1, t, 1, (1 << 24) + 1).has_value());
}

}  // namespace
