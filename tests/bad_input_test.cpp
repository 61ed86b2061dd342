// The bad-input table of the README and the header, row by row: what each
// export answers for input outside its meaning.  Every row of the table
// has its case here, under the same export and input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "moravel.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;

using moravel::testing::kInf;
using moravel::testing::kNaN;
using moravel::testing::Text;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
const char* const kMaxFree = "МаксСвоб";

std::string S(const char* text) { return text == nullptr ? "(null)" : text; }

TEST(BadInputPalmTable, NoServersOrTheLargestCount) {
  for (std::int32_t V : {0, -1, kMin, kMax}) EXPECT_EQ(Bits(PalmTable(V, 5.0)), Bits(0.0)) << V;
}

TEST(BadInputPalmTable, NegativeOrInfiniteTraffic) {
  EXPECT_EQ(PalmTable(1, -1.0), -kInf);
  EXPECT_TRUE(std::isnan(PalmTable(3, -1.0)));
  EXPECT_TRUE(std::isnan(PalmTable(5, kInf)));
  EXPECT_TRUE(std::isnan(PalmTable(5, kNaN)));
}

TEST(BadInputErlangFormula2, NoServersNegativeServersOverload) {
  EXPECT_EQ(Bits(ErlangFormula2(0, 1.0)), Bits(-0.0));
  EXPECT_TRUE(std::isnan(ErlangFormula2(0, 0.0)));
  EXPECT_EQ(Bits(ErlangFormula2(-5, 1.0)), Bits(0.0));
  EXPECT_GT(ErlangFormula2(10, 12.0), 1.0);
}

TEST(BadInputEngsetTable, NoServersMoreServersThanSourcesSaturatedSources) {
  EXPECT_EQ(Bits(EngsetTable(5, 0, 0.3)), Bits(0.0));
  EXPECT_EQ(Bits(EngsetTable(5, kMax, 0.3)), Bits(0.0));
  EXPECT_EQ(Bits(EngsetTable(3, 4, 0.2)), Bits(-0.0));
  EXPECT_TRUE(std::isnan(EngsetTable(5, 3, 1.0)));
  EXPECT_TRUE(std::isfinite(EngsetTable(kMin, 3, 0.2)));  // N - i wraps, no trap
  // No sources: the recursion's number, of either sign, not a zero.
  EXPECT_EQ(Text(EngsetTable(0, 1, 0.3)), "-0.75");
  EXPECT_EQ(Text(EngsetTable(-1, 2, 0.3)), "0.794118");
}

TEST(BadInputE, NegativeAndHugeServerCounts) {
  EXPECT_EQ(E(-1, 2.0), kInf);
  EXPECT_EQ(E(-3, -2.0), -kInf);
  EXPECT_TRUE(std::isnan(E(-2, 1e300)));  // A^V underflows to 0: 0/0
  EXPECT_EQ(Bits(E(171, 10.0)), Bits(0.0));
  EXPECT_TRUE(std::isnan(E(170, 100.0)));
  EXPECT_EQ(Bits(E(kMax, 0.5)), Bits(0.0));  // returns at once
}

TEST(BadInputHi, MoreFewerThanServersAndZeroTraffic) {
  EXPECT_EQ(Bits(Hi(5, 3.0, 6)), Bits(0.0));
  EXPECT_EQ(Bits(Hi(5, 3.0, kMin)), Bits(0.0));  // V - i wraps negative
  EXPECT_TRUE(std::isnan(Hi(3, 0.0, 1)));
  // No traffic: 0 once V - i < 1, and 1 for V = i = 0.
  EXPECT_EQ(Bits(Hi(3, 0.0, 3)), Bits(0.0));
  EXPECT_EQ(Bits(Hi(0, 0.0, 0)), Bits(1.0));
}

TEST(BadInputSingleServiceModels, AlwaysTheirNumbersAsComputed) {
  EXPECT_EQ(S(M_M_V_L_an(-4, kNaN)), "0 nan");
  EXPECT_EQ(S(M_M_V_L_an(kMax, 5.0)), "0 5");
  EXPECT_EQ(S(Mi_M_V_L_an(5, 3, 1.0)), "-nan -nan");
  EXPECT_EQ(S(M_G_V_L_an(1.0, 0.0, 0.0, 3, 2)), "-nan -nan");
  EXPECT_EQ(S(M_M_V_W_FF_R_an(1.0, 1.0, 2, 2.0)), "1 1 inf inf inf");
  EXPECT_EQ(S(M_M_V_W_FF_R_an(1.0, 1.0, 1, 2.0)), "2 5.43656 -2 -1 -4");
}

TEST(BadInputPriority, NoClassesNegativeCountNullArray) {
  const double a[] = {5.0};
  EXPECT_EQ(S(M_M_V_L_PRA_an(0, 10, a)), "");
  EXPECT_EQ(S(M_M_V_L_PRA_an(-1, 10, a)), "");
  EXPECT_EQ(S(M_M_V_L_PRA_an(kMin, 10, a)), "");
  EXPECT_EQ(S(M_M_V_L_PRA_an(3, 10, nullptr)), "");
}

TEST(BadInputPriority, IdleLowerClassReportsNothingLost) {
  const double a[] = {5.0, 0.0, 3.0};
  // The idle class changes nothing for the class below it.
  EXPECT_EQ(S(M_M_V_L_PRA_an(3, 10, a)), "0.0183846 4.90808 0 0 0.293789 2.11863 ");
}

TEST(BadInputLossSimulation, NegativeServersNoCallsNoServers) {
  EXPECT_EQ(S(M_M_V_L_im(5.0, -1, 100, 7)), "");
  EXPECT_EQ(S(M_M_V_L_im(5.0, kMin, 100, 7)), "");
  EXPECT_EQ(S(M_M_V_L_im(5.0, 10, 0, 7)), "");
  EXPECT_EQ(S(M_M_V_L_im(5.0, 10, kMin, 7)), "");
  EXPECT_EQ(S(M_M_V_L_im(5.0, 0, 100, 7)), "1 0");
}

TEST(BadInputLossSimulation, MeaninglessTrafficCompletesAtOnce) {
  EXPECT_EQ(S(M_M_V_L_im(-1.0, 10, kMax, 7)), "1 -0");
  EXPECT_EQ(S(M_M_V_L_im(kNaN, 10, kMax, 7)), "1 nan");
  EXPECT_EQ(S(M_M_V_L_im(kInf, 10, 1000, 7)), "1 -nan");
  EXPECT_EQ(S(M_M_V_L_im(kInf, 10, kMax, 7)), "1 -nan");  // settled without drawing
}

TEST(BadInputWaitingSimulation, NoServersNoCallsOverload) {
  EXPECT_EQ(S(M_M_V_W_FF_R_im(5.0, 0, 100, 1.0, 7)), "");
  EXPECT_EQ(S(M_M_V_W_FF_R_im(5.0, -3, 100, 1.0, 7)), "");
  EXPECT_EQ(S(M_M_V_W_FF_R_im(5.0, 10, 0, 1.0, 7)), "");
  const std::string overload = M_M_V_W_FF_R_im(11.0, 10, 1000, 1.0, 7);
  EXPECT_NE(overload.find(" -1 "), std::string::npos) << overload;  // w = 1 / (V - A)
  // Infinite traffic: every call waits, settled without drawing for any N.
  EXPECT_EQ(S(M_M_V_W_FF_R_im(kInf, 10, kMax, 1.0, 7)), S(M_M_V_W_FF_R_im(kInf, 10, 1000, 1.0, 7)));
}

TEST(BadInputLinkGroups, ShapesThatCannotBeEvaluated) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0};
  const double negative[] = {1.0, -1.0}, nan_demand[] = {1.0, kNaN};
  for (auto group : {VM_VMl_V_L_an}) {
    EXPECT_EQ(S(group(a, 0, t, 2, 5)), "");
    EXPECT_EQ(S(group(a, -1, t, 2, 5)), "");
    EXPECT_EQ(S(group(nullptr, 2, t, 2, 5)), "");
    EXPECT_EQ(S(group(a, 2, nullptr, 2, 5)), "");
    EXPECT_EQ(S(group(a, 2, negative, 2, 5)), "");
    EXPECT_EQ(S(group(a, 2, nan_demand, 2, 5)), "");
    EXPECT_EQ(S(group(a, 2, t, -1, 5)), "");
    EXPECT_EQ(S(group(a, 2, t, 2, kMin)), "");
    EXPECT_EQ(S(group(a, 2, t, 65536, 65536)), "");  // k*f beyond 32 bits
  }
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, t, 2, 5, -1)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, t, 2, 5, 3)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, negative, 2, 5, 1)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, t, 65536, 65536, 1)), "");
}

// Beyond the evaluation limits: refused before any table is allocated.
TEST(BadInputLinkGroups, GroupsBeyondTheEvaluationLimits) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0};
  EXPECT_EQ(S(VM_VMl_V_L_an(a, 2, t, 1, 16777217)), "");  // V above 2^24 units
  EXPECT_EQ(S(VM_VMl_V_L_an(a, 2, t, 2147483647, 1)), "");
  EXPECT_EQ(S(VM_VMl_V_L_an(a, 2, t, 200000, 10)), "");  // k V (1 + 2 D') steps
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, t, 1000, 1000, 500)), "");
  EXPECT_EQ(S(VM_VMl_V_L_an(a, 2, t, 1, 4194304)), "");  // (V + 1) 256 bytes
  EXPECT_NE(S(VM_VMl_V_L_an(a, 1, t, 1, 4194304)), "");  // (V + 1) 208 bytes
}

TEST(BadInputLinkGroups, DemandWiderThanALinkAndMeaninglessTraffic) {
  const double a[] = {2.0, 1.0}, wide[] = {1.0, 6.0}, t[] = {1.0, 2.0};
  EXPECT_EQ(S(VM_VMl_V_L_an(a, 2, wide, 2, 5)), "3.81902e-05 1.99992 1 0 ");
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, wide, 2, 5, 1)), "0.0097003 1.9806 1 0 ");
  const double nan_traffic[] = {kNaN, 1.0}, infinite_traffic[] = {kInf, 1.0};
  EXPECT_EQ(S(VM_VMl_V_L_an(nan_traffic, 2, t, 2, 5)), "nan nan nan nan ");
  EXPECT_EQ(S(VM_VMl_V_L_an(infinite_traffic, 2, t, 2, 5)), "-nan -nan -nan -nan ");
  // A blocking of exactly 1 carries exactly 0, however large a t is.
  const double infinite_demand[] = {1.0, kInf}, huge_traffic[] = {2.0, 1e300};
  const double huge_demand[] = {1.0, 1e300};
  EXPECT_EQ(S(VM_VMl_VDg_L_an(a, 2, infinite_demand, 2, 5, 1)), "0.0097003 1.9806 1 0 ");
  EXPECT_EQ(S(VM_VMl_VDg_L_an(huge_traffic, 2, huge_demand, 2, 5, 1)), "0.0097003 1.9806 1 0 ");
}

TEST(BadInputLinkSubsetSimulation, ShapesThatCannotBeSimulated) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0};
  const double zero[] = {0.0, 0.0}, infinite[] = {kInf, 1.0}, negative[] = {-1.0, 1.0};
  const double bad_demand[] = {1.0, -2.0};
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 0, t, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 0, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(nullptr, 2, t, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, nullptr, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 100, nullptr)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 3, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, -5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 65536, 65536, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 40, 1, 20, 100, kMaxFree)), "");  // C(40, 20) >= 2^31
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, bad_demand, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(zero, 2, t, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(infinite, 2, t, 2, 5, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(negative, 2, t, 2, 5, 1, 100, kMaxFree)), "");
}

// Where links hold units (f >= 1, g >= 1): more than 2^24 links, N and k f
// both above 2^26, N g above 2^37.  Refused before anything is allocated.
TEST(BadInputLinkSubsetSimulation, RunsBeyondTheSizeLimits) {
  const double a[] = {2.0}, t[] = {1.0};
  constexpr std::int32_t kLinks = 1 << 24;
  constexpr std::int32_t kInProgress = 1 << 26;
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, kMax, 1, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, kMax, 1, kMax, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, kLinks + 1, 1, 1, 100, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, 1, kInProgress + 1, 1, kInProgress + 1, kMaxFree)), "");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, 513, 1, 513, kMax, kMaxFree)), "");  // N g > 2^37
  // No unit can be held with f = 0 or g = 0: nothing is kept per link.
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, kMax, 0, 1, 100, kMaxFree)), "1 0 ");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, 1 << 28, 1, 0, 100, kMaxFree)), "1 0 ");
  // At the limits: 2^24 links, a group of 2^26 + 1 units with fewer calls.
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, kLinks, 1, 1, 1, kMaxFree)), "0 2 ");
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 1, t, 1, kInProgress + 1, 1, 1, kMaxFree)), "0 2 ");
}

TEST(BadInputLinkSubsetSimulation, UnknownKeywordsLoseEveryCall) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0};
  const char* const keywords[] = {"", "max-free", "МаксСво", "МаксСвобX",
                                  "\xcc\xe0\xea\xf1\xd1\xe2\xee\xe1" /* CP1251 */};
  for (const char* keyword : keywords) {
    EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 1000, keyword)), "1 0 1 0 ") << keyword;
    // One call: the class that drew none is blocked all the same.
    EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 1, keyword)), "1 0 1 0 ") << keyword;
  }
  // No links in a subset: the same.
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 0, 1, kMaxFree)), "1 0 1 0 ");
}

TEST(BadInputLinkSubsetSimulation, ZeroAndOverwideDemands) {
  const double a[] = {2.0, 1.0}, zero[] = {0.0, 2.0}, wide[] = {1.0, 6.0};
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, zero, 2, 5, 1, 1000, kMaxFree)).substr(0, 4), "0 0 ");
  const std::string text = VM_VMl_VDg_L_im(a, 2, wide, 2, 5, 1, 1000, kMaxFree);
  EXPECT_EQ(text.substr(text.size() - 4), "1 0 ");
  // Up to +inf, and without a call: a second class of no traffic is never drawn.
  const double one_way[] = {2.0, 0.0}, infinite[] = {1.0, kInf};
  EXPECT_EQ(S(VM_VMl_VDg_L_im(one_way, 2, infinite, 1, 1000, 1, 1, kMaxFree)), "0 2 1 0 ");
}

TEST(BadInputLinkSubsetSimulation, ClassesThatDrewNoCall) {
  // One call, two classes that any link takes: one of them draws no call.
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0};
  EXPECT_EQ(S(VM_VMl_VDg_L_im(a, 2, t, 1, 10, 1, 1, kMaxFree)), "0 2 0 2 ");
}

}  // namespace
