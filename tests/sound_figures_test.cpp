// Figures that would leave the doubles, cancel or pass what the servers
// hold are refused or computed in a form that keeps them.  (Arrays written
// over their inputs: api_test; the solvers at extreme targets and their
// refusals: solvers_test.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "formulas/engset.h"
#include "formulas/erlang_direct.h"
#include "formulas/erlang_loss.h"
#include "moravel.h"
#include "moravel/api.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::Text;

constexpr double kLargest = std::numeric_limits<double>::max();

// E(V, A) / E(V - i, A) is refused as soon as either value is 0 or
// subnormal: E(170, 0.8) = 0 gave a ratio of 0 (true 0.0047), and at A =
// 0.826 the subnormal E(170, A) = 4.6e-322 gave one 4.5e-4 off.  The
// legacy export keeps its quotient of the direct forms.
TEST(DirectFormRatio, RefusedOnceAValueLeavesTheNormalDoubles) {
  const struct {
    std::int32_t V;
    double A;
    std::int32_t i;
    moravel_status status;
  } cases[] = {
      {170, 0.8, 1, MORAVEL_ERROR_OVERFLOW},    // E(170) = 0
      {170, 0.826, 1, MORAVEL_ERROR_OVERFLOW},  // E(170) subnormal
      {169, 0.826, 0, MORAVEL_ERROR_OVERFLOW},  // E(169) = 5.3e-320
      {150, 2.0, 1, MORAVEL_OK},                // E(150) = 1.2e-242, normal
      {170, 100.0, 1, MORAVEL_ERROR_OVERFLOW},  // A^155 overflows
      {4, 1e-300, 2, MORAVEL_ERROR_OVERFLOW},   // both underflow
      {5, 3.0, 2, MORAVEL_OK},
      {5, 3.0, 5, MORAVEL_OK},  // E(0) = 1
  };
  for (const auto& c : cases) {
    double ratio = -1.0;
    EXPECT_EQ(moravel_erlang_b_ratio(c.V, c.A, c.i, &ratio), c.status) << c.V << " " << c.A;
    if (c.status == MORAVEL_OK) {
      EXPECT_EQ(Bits(ratio), Bits(moravel::Hi(c.V, c.A, c.i)));
    } else {
      EXPECT_EQ(ratio, -1.0);
    }
  }
  EXPECT_EQ(std::string(moravel_status_message(MORAVEL_ERROR_OVERFLOW)),
            "the result leaves the range of a double");
  EXPECT_EQ(moravel::Hi(170, 0.8, 1), 0.0);  // the legacy quotient, unchanged
  EXPECT_EQ(Text(moravel::Hi(5, 3.0, 2)), "0.317935");
}

// A low class far below an ulp of the classes above it: the difference of
// the aggregates' losses cancelled to 0 (or to 5e-3 off).  The expected
// values are 60-digit evaluations of (A2 B(A2) - A1 B(A1)) / (A2 - A1).
TEST(PriorityClasses, ALowClassFarBelowTheOthersKeepsItsLoss) {
  const struct {
    double high, low;
    double high_loss, low_loss;  // exact, rounded to doubles
  } cases[] = {
      {100.0, 1e-17, 0.90108470478153834, 0.99882579356629843},
      {100.0, 1e-13, 0.90108470478153834, 0.99882579356629843},
      {5.0, 1e-17, 0.018384570336648133, 0.11199738415220461},
      {5.0, 3.0, 0.018384570336648133, 0.29378855411345714},
  };
  for (const auto& c : cases) {
    const double traffic[] = {c.high, c.low};
    double loss[2], carried[2];
    ASSERT_EQ(moravel_loss_priority(2, 10, traffic, loss, carried), MORAVEL_OK);
    EXPECT_NEAR(loss[0], c.high_loss, 1e-15 * c.high_loss) << c.low;
    EXPECT_NEAR(loss[1], c.low_loss, 1e-12 * c.low_loss) << c.low;
    EXPECT_EQ(Bits(carried[1]), Bits(c.low - loss[1] * c.low));
  }
  // Where the difference is sound the legacy text keeps its arithmetic.
  const double classes[] = {5.0, 3.0};
  EXPECT_EQ(std::string(M_M_V_L_PRA_an(2, 10, classes)), "0.0183846 4.90808 0.293789 2.11863 ");
  const double far_apart[] = {100.0, 1e-17};
  EXPECT_EQ(std::string(M_M_V_L_PRA_an(2, 10, far_apart)),
            "0.901085 9.89153 0.998826 1.17421e-20 ");
}

// Runs whose arrival instants would sum past the largest double count time
// in mean inter-arrival times: every call of 1e-305 erlangs is carried.
TEST(Simulations, TinyTrafficIsReplayedWithinTheDoubles) {
  moravel_loss_result loss;
  ASSERT_EQ(moravel_simulate_loss(1e-305, 10, 100000, 1u, &loss), MORAVEL_OK);
  EXPECT_EQ(loss.loss, 0.0);
  EXPECT_EQ(Bits(loss.carried), Bits(1e-305));
  moravel_wait_result wait;
  ASSERT_EQ(moravel_simulate_wait(1e-305, 10, 100000, 1.0, 1u, &wait), MORAVEL_OK);
  EXPECT_EQ(wait.wait_probability, 0.0);
  EXPECT_EQ(std::string(M_M_V_L_im(1e-305, 10, 100000, 1u)), "0 1e-305");
  EXPECT_EQ(std::string(M_M_V_W_FF_R_im(1e-305, 10, 100000, 1.0, 1u)), "0 0 0 0.1 0");
}

// Carried traffic never exceeds the servers.  The analytic values are
// 60-digit evaluations of A (1 - B(V, A)).
TEST(CarriedTraffic, NeverExceedsTheServers) {
  moravel_loss_result r;
  ASSERT_EQ(moravel_simulate_loss(1.79e308, 10, 1000000, 1u, &r), MORAVEL_OK);
  EXPECT_EQ(r.carried, 10.0);
  ASSERT_EQ(moravel_simulate_loss(50.0, 26, 20, 3u, &r), MORAVEL_OK);  // fewer calls than servers
  EXPECT_EQ(r.loss, 0.0);
  EXPECT_EQ(r.carried, 26.0);
  EXPECT_EQ(std::string(M_M_V_L_im(50.0, 26, 20, 3u)), "0 50");  // the legacy estimate stays

  const struct {
    std::int32_t V;
    double A, carried;
  } analytic[] = {
      {10, 1e20, 10.0},
      {10, 1e15, 9.99999999999999},
      {10, 1e12, 9.99999999999},
      {10, 1e8, 9.999999899999992},
      {10, kLargest, 10.0},
      // One server: E(0, A) = 1 in the form V A / (V + A E(V - 1, A)).
      {1, 1.5, 0.6},
      {1, 3.0, 0.75},
      {1, 1e20, 1.0},
      {2, 4.0, 20.0 / 13.0},
  };
  for (const auto& c : analytic) {
    ASSERT_EQ(moravel_loss(c.V, c.A, &r), MORAVEL_OK);
    EXPECT_LE(r.carried, c.V);
    EXPECT_NEAR(r.carried, c.carried, 1e-15 * c.carried) << c.V << " " << c.A;
  }
  // The assembled load takes the same form: x = y = 1, z = 1, n = 2 is 2 erlangs.
  ASSERT_EQ(moravel_loss_assembled(1.0, 1.0, 1.0, 1, 2, &r), MORAVEL_OK);
  EXPECT_NEAR(r.carried, 2.0 / 3.0, 1e-15);
  // At or below B = 1/2 the carried traffic keeps the legacy bits.
  ASSERT_EQ(moravel_loss(10, 5.0, &r), MORAVEL_OK);
  EXPECT_EQ(Bits(r.carried), Bits((1.0 - moravel::PalmTable(10, 5.0)) * 5.0));
  EXPECT_EQ(std::string(M_M_V_L_an(10, 1e20)), "1 0");  // legacy text unchanged
}

}  // namespace

// The largest server count wraps to "no servers" in every recursion of the
// priority model, its cancellation-free form included (V + 1 must not
// overflow there): the same text as a negative count.
TEST(PriorityClasses, TheLargestServerCountCountsAsNoServers) {
  const double a[] = {100.0, 1e-17};
  const std::string negative = M_M_V_L_PRA_an(2, -1, a);
  EXPECT_EQ(std::string(M_M_V_L_PRA_an(2, 2147483647, a)), negative);
}
