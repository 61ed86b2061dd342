// What the link-group models, their solvers and the link-subset simulation
// promise at their edges: classes no link can take, blockings far below
// one, traffic at the top of the doubles, the work a search may spend and
// the limits of a simulated run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "moravel.h"
#include "moravel/api.h"
#include "multiservice/class_results.h"
#include "multiservice/group_limits.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "solvers/least_links.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr double kLargest = std::numeric_limits<double>::max();

// ---- A class wider than a link ---------------------------------------------

// Such a class can never be carried: blocking exactly 1, carried exactly
// +0, in both models and both interfaces, beside a class that fits.  Over
// every group of 1 to 8 links of 1 to 100 units, with the wide class one,
// two or f units too wide.
TEST(WiderThanALink, BlockingIsOneAndCarriedZeroExactly) {
  int groups = 0;
  for (std::int32_t k = 1; k <= 8; ++k) {
    for (std::int32_t f = 1; f <= 100; ++f) {
      for (const double excess : {1.0, 2.0, static_cast<double>(f)}) {
        const double a[2] = {5.0, 3.0};
        const double t[2] = {f + excess, f > 1 ? 2.0 : 1.0};
        double blocking[2] = {-1.0, -1.0}, carried[2] = {-1.0, -1.0};
        ASSERT_EQ(moravel_link_group(a, 2, t, k, f, blocking, carried), MORAVEL_OK);
        ASSERT_EQ(Bits(blocking[0]), Bits(1.0)) << "k=" << k << " f=" << f;
        ASSERT_EQ(Bits(carried[0]), Bits(0.0)) << "k=" << k << " f=" << f;
        ASSERT_EQ(moravel_link_subset(a, 2, t, k, f, 1, blocking, carried), MORAVEL_OK);
        ASSERT_EQ(Bits(blocking[0]), Bits(1.0)) << "k=" << k << " f=" << f;
        ASSERT_EQ(Bits(carried[0]), Bits(0.0)) << "k=" << k << " f=" << f;
        ASSERT_EQ(std::string(VM_VMl_V_L_an(a, 2, t, k, f)).substr(0, 4), "1 0 ");
        ASSERT_EQ(std::string(VM_VMl_VDg_L_an(a, 2, t, k, f, k)).substr(0, 4), "1 0 ");
        ++groups;
      }
    }
  }
  EXPECT_EQ(groups, 2400);
  // Four links of 10 units, a class of 11: once "1 -1.22125e-14".
  const double a[2] = {5.0, 3.0}, t[2] = {11.0, 2.0};
  EXPECT_EQ(std::string(VM_VMl_V_L_an(a, 2, t, 4, 10)), "1 0 3.91064e-10 6 ");
}

// ---- Blockings far below one -----------------------------------------------

// Groups whose counts stay exact, where 1 - sigma kept only a few of the
// digits of a small refusing share.  The references are the exact-count
// values at 40 digits (tests/precision/link_group_reference.py, which holds
// the library to them on these and many more groups); the header promises
// a relative 1e-9.
TEST(SmallBlockings, KeepTheirDigits) {
  struct Case {
    std::vector<double> a, t;
    std::int32_t k, f;
    double exact;  // blocking of the second class
  };
  const Case cases[] = {
      {{1.0, 1e-300}, {1.0, 16.0}, 9, 30, 3.7810137176107307e-243},
      {{5.0, 0.01}, {1.0, 16.0}, 9, 30, 4.9913739139004253e-30},
      {{1.0, 1e-300}, {1.0, 19.0}, 9, 32, 3.1435627445792744e-224},
  };
  double worst = 0.0;
  for (const Case& c : cases) {
    double blocking[2], carried[2];
    ASSERT_EQ(moravel_link_group(c.a.data(), 2, c.t.data(), c.k, c.f, blocking, carried),
              MORAVEL_OK);
    const double error = std::fabs(blocking[1] - c.exact) / c.exact;
    worst = std::fmax(worst, error);
    EXPECT_LE(error, 1e-9) << "k=" << c.k << " f=" << c.f << " " << blocking[1];
  }
  std::printf("worst relative error of a small blocking: %.3g\n", worst);
}

// ---- Extreme traffic ---------------------------------------------------------

// At the top of the doubles every state but the full one is all but never
// seen, E rounds to 1, and a t (1 - E) said 0: the group is full and
// carries its units.  The reference is the same group at 40 digits, t a
// times the accepting share (tests/precision).
TEST(ExtremeTraffic, AFullGroupCarriesItsUnits) {
  const double a[1] = {kLargest}, t[1] = {1.0};
  double blocking = -1.0, carried = -1.0;
  ASSERT_EQ(moravel_link_group(a, 1, t, 2, 3, &blocking, &carried), MORAVEL_OK);
  EXPECT_EQ(Bits(blocking), Bits(1.0));
  EXPECT_EQ(Bits(carried), Bits(6.0));
  ASSERT_EQ(moravel_link_subset(a, 1, t, 2, 3, 2, &blocking, &carried), MORAVEL_OK);
  EXPECT_EQ(Bits(blocking), Bits(1.0));
  EXPECT_EQ(Bits(carried), Bits(6.0));
  // Offered to one link of the two, a call finds the one free unit in half
  // of the arrangements of the state with one unit free: 3 units, an ulp
  // above (the 40-digit value is 3 (1 - 3.3e-308)).
  ASSERT_EQ(moravel_link_subset(a, 1, t, 2, 3, 1, &blocking, &carried), MORAVEL_OK);
  EXPECT_EQ(Bits(blocking), Bits(1.0));
  EXPECT_EQ(Bits(carried), Bits(3.0000000000000004));
  EXPECT_EQ(std::string(VM_VMl_V_L_an(a, 1, t, 2, 3)), "1 6 ");
}

// Carried traffic never exceeds the units of the group, at any traffic, in
// either model: the classes' carried traffic is the mean occupancy.
TEST(ExtremeTraffic, CarriedNeverExceedsTheGroup) {
  const double loads[] = {1e-300, 0.5, 30.0, 1e6, 1e100, 1e300, kLargest / 40.0};
  for (const double load : loads) {
    const double a[3] = {load, load / 4.0, load / 16.0}, t[3] = {1.0, 3.0, 7.0};
    for (const std::int32_t k : {1, 2, 5}) {
      const std::int32_t f = 8;
      double blocking[3], carried[3];
      ASSERT_EQ(moravel_link_group(a, 3, t, k, f, blocking, carried), MORAVEL_OK);
      double total = 0.0;
      for (const double C : carried) total += C;
      EXPECT_LE(total, k * f * (1.0 + 1e-12)) << "load " << load << " k " << k;
      if (load >= 1e6) {
        EXPECT_GT(total, 0.5 * k * f) << "load " << load << " k " << k;
      }
      for (const std::int32_t g : {1, k}) {
        ASSERT_EQ(moravel_link_subset(a, 3, t, k, f, g, blocking, carried), MORAVEL_OK);
        for (const double C : carried) EXPECT_LE(C, k * f) << "load " << load << " g " << g;
      }
    }
  }
}

// A run far shorter than a holding time takes a few calls that stand for
// a rate no group holds: a t (1 - E) gave 3.6e304 units on 20.  The
// classes together carry at most the group's units.
TEST(ExtremeTraffic, SimulatedCarriedNeverExceedsTheGroup) {
  const double a[2] = {1.79e308, 1e300}, t[2] = {1.0, 1.0};
  for (const std::int32_t classes : {1, 2}) {
    for (const std::int32_t calls : {1, 40, 100000}) {
      double blocking[2], carried[2];
      ASSERT_EQ(moravel_simulate_link_subset(a, classes, t, 4, 5, 2, calls, MORAVEL_MOST_FREE, 7u,
                                             blocking, carried),
                MORAVEL_OK);
      double total = 0.0;
      for (std::int32_t i = 0; i < classes; ++i) total += carried[i];
      EXPECT_LE(total, 20.0) << classes << " classes, " << calls << " calls";
      EXPECT_GT(total, 0.0) << classes << " classes, " << calls << " calls";
    }
  }
  // Where the estimate stays within the group, it is left as it is.
  const double light[1] = {2.0};
  double blocking, carried;
  ASSERT_EQ(moravel_simulate_link_subset(light, 1, t, 1, 1, 1, 1, MORAVEL_MOST_FREE, 7u, &blocking,
                                         &carried),
            MORAVEL_OK);
  EXPECT_EQ(Bits(carried), Bits(1.0));  // one call, taken: 2 erlangs scaled to the 1 unit
  ASSERT_EQ(moravel_simulate_link_subset(light, 1, t, 4, 5, 2, 1000, MORAVEL_MOST_FREE, 7u,
                                         &blocking, &carried),
            MORAVEL_OK);
  EXPECT_EQ(Bits(carried), Bits(2.0 * (1.0 - blocking)));
}

// ---- What a search may spend ---------------------------------------------

// The searches for links budget their evaluations: the calls that ran for
// minutes now refuse with the model-limit status.  A size the model itself
// declines is the model's limit, not an overflow.
TEST(LinkSearches, RefuseBeyondTheirWork) {
  const double big[1] = {340000.0}, one[1] = {1.0};
  const double pair[2] = {9.75, 32.3}, ones[2] = {1.0, 1.0};
  std::int32_t links = -1;
  struct Case {
    moravel_status got, expected;
  } cases[] = {
      {moravel_link_group_links(big, 1, one, 357, 1e-3, &links, nullptr),
       MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_link_subset_links(pair, 2, ones, 1, 1, 1e-3, &links, nullptr),
       MORAVEL_ERROR_MODEL_LIMIT},
      // One link of 2^24 + 1 units is beyond the models' units.
      {moravel_link_group_links(one, 1, one, (1 << 24) + 1, 0.01, &links, nullptr),
       MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_link_subset_links(one, 1, one, (1 << 24) + 1, 1, 0.01, &links, nullptr),
       MORAVEL_ERROR_MODEL_LIMIT},
      // Within them.
      {moravel_link_group_links(one, 1, one, 100000, 0.01, &links, nullptr), MORAVEL_OK},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  }
  EXPECT_EQ(links, 1);
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_MODEL_LIMIT), moravel_status_message(35));
}

// The budget's edge.  On links of one unit, one class of demand 1, the
// search starts at k0 = floor((1 - target) a (1 - 1e-6)), where the
// blocking (Erlang's, above 1 - k/a) still fails, and an evaluation at k
// is estimated at k + 3 k^2 steps: 6688 + 3 6688^2 = 134194720 fits 2^27,
// no larger size does; at k0 = 6689 (134234852) nothing is evaluated.
// Both end on the limit, having spent exactly that.
TEST(LinkSearches, SpendAtMostTheirBudget) {
  EXPECT_EQ(moravel::kMaxSearchSteps, 134217728.0);
  const double t[1] = {1.0};
  const double fits[1] = {13378.0}, beyond[1] = {13380.0};
  const moravel::LinksAnswer first = moravel::LeastLinkGroupLinks(fits, 1, t, 1, 0.5);
  EXPECT_EQ(first.outcome, moravel::LinksOutcome::kModelLimit);
  EXPECT_EQ(first.steps, 134194720.0);
  const moravel::LinksAnswer none = moravel::LeastLinkGroupLinks(beyond, 1, t, 1, 0.5);
  EXPECT_EQ(none.outcome, moravel::LinksOutcome::kModelLimit);
  EXPECT_EQ(none.steps, 0.0);
}

// A blocking is sound up to the rounding of its sum: the solvers and the
// interface refuse anything further above 1, below 0 or NaN.
TEST(LinkSearches, SoundBlockingsAreProbabilitiesUpToRounding) {
  struct Case {
    double E;
    bool sound;
  } cases[] = {{0.0, true},           {1.0, true},
               {1.0 + 1e-9, true},    {1.0 + 2e-9, false},
               {2.0, false},          {-1e-300, false},
               {std::nan(""), false}, {std::numeric_limits<double>::infinity(), false}};
  for (const Case& c : cases) EXPECT_EQ(moravel::IsSoundBlocking(c.E), c.sound) << c.E;
  EXPECT_EQ(moravel::kBlockingRoundingAllowance, 1e-9);
}

// ---- The limits of one evaluation and one simulated run ---------------------

TEST(GroupLimits, StepLimitIsPinned) {
  EXPECT_EQ(moravel::kMaxModelSteps, 268435456.0);  // 2^28
  // 32 links of f units, one class: V M + k V (1 + 2) = 97 V steps, and
  // 208 (V + 1) bytes, well within 1 GiB: f = 86480 gives 268433920 steps,
  // f = 86481 gives 268437024, past 2^28.
  const std::vector<std::int64_t> demands = {1};
  EXPECT_TRUE(moravel::IsAffordable(32, 86480, moravel::LinkGroupCost(32, 86480, 1, demands)));
  EXPECT_FALSE(moravel::IsAffordable(32, 86481, moravel::LinkGroupCost(32, 86481, 1, demands)));
  const double a[1] = {1.0}, t[1] = {1.0};
  double blocking, carried;
  EXPECT_EQ(moravel_link_group(a, 1, t, 32, 86481, &blocking, &carried), MORAVEL_ERROR_MODEL_LIMIT);
}

TEST(SimulationLimits, RunsBeyondTheirLimitsAreRefused) {
  struct Case {
    std::int32_t k, f, g, N;
    bool within;
  } cases[] = {
      {1 << 24, 1, 1, 1000, true},
      {(1 << 24) + 1, 1, 1, 1000, false},
      {1 << 26, 1, 1, 1 << 26, false},  // k beyond, too
      {64, 1 << 20, 1, kMax, true},     // 2^26 calls in progress at most
      {64, 1 << 21, 1, 1 << 26, true},
      {64, 1 << 21, 1, (1 << 26) + 1, false},
      {1024, 1, 1024, 1 << 27, true},  // 2^37 link reads
      {1024, 1, 1024, (1 << 27) + 1, false},
      {1024, 1, 512, 1 << 28, true},
      {1024, 1, 513, 1 << 28, false},
      {1024, 1, 64, kMax, true},
      {kMax, 0, 1, kMax, true},  // no unit is ever held
      {kMax, 1, 0, kMax, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(moravel::IsWithinRunLimits(c.k, c.f, c.g, c.N), c.within)
        << "k=" << c.k << " f=" << c.f << " g=" << c.g << " N=" << c.N;
  }
  EXPECT_EQ(moravel::kMaxLinkReads, std::int64_t{1} << 37);
}

// A demand of 2^31 units or more exceeds every link, even one of 2^31 - 1
// units; a numbering of C(k, g) = 2^31 - 1 subsets still fits 32 bits, one
// more does not.
TEST(SimulationLimits, DemandAndSubsetCountsAtTheir32BitEdges) {
  const double a[1] = {2.0}, huge[1] = {2147483648.0}, widest[1] = {2147483647.0};
  double blocking = -1.0, carried = -1.0;
  ASSERT_EQ(moravel_simulate_link_subset(a, 1, huge, 1, kMax, 1, 50, MORAVEL_MOST_FREE, 3u,
                                         &blocking, &carried),
            MORAVEL_OK);
  EXPECT_EQ(Bits(blocking), Bits(1.0));
  EXPECT_EQ(Bits(carried), Bits(0.0));
  ASSERT_EQ(moravel_simulate_link_subset(a, 1, widest, 1, kMax, 1, 1, MORAVEL_MOST_FREE, 3u,
                                         &blocking, &carried),
            MORAVEL_OK);
  EXPECT_EQ(Bits(blocking), Bits(0.0));
  const double one[1] = {1.0};
  struct Case {
    std::int32_t k, g;
    moravel_status expected;
  } cases[] = {
      // C(k, 1) = C(k, k - 1) = 2^31 - 1 fits; the run is then beyond its links.
      {kMax, 1, MORAVEL_ERROR_MODEL_LIMIT},
      {kMax, kMax - 1, MORAVEL_ERROR_MODEL_LIMIT},
      {kMax, 2, MORAVEL_ERROR_SUBSET_COUNT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(moravel_simulate_link_subset(a, 1, one, c.k, 1, c.g, kMax, MORAVEL_MOST_FREE, 3u,
                                           &blocking, &carried),
              c.expected)
        << "k=" << c.k << " g=" << c.g;
  }
}

}  // namespace
