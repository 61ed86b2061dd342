// The bad-input table of the README and the header, row by row: what each
// export answers for input outside its meaning.  Every row of the table
// has its case here, under the same export and input.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "moravel.h"
#include "support/text_rows.h"

namespace {

using moravel::testing::ExpectTexts;
using moravel::testing::kInf;
using moravel::testing::kNaN;
using moravel::testing::TextRow;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
const char* const kMaxFree = "МаксСвоб";

// The scalar formulas: the number the arithmetic gives, never a trap.
TEST(BadInput, ScalarFormulas) {
  const TextRow rows[] = {
      // No servers, or the largest count (V + 1 wraps to no servers).
      TEXT_ROW(PalmTable(0, 5.0), "0"),
      TEXT_ROW(PalmTable(-1, 5.0), "0"),
      TEXT_ROW(PalmTable(kMin, 5.0), "0"),
      TEXT_ROW(PalmTable(kMax, 5.0), "0"),
      TEXT_ROW(PalmTable(1, -1.0), "-inf"),
      TEXT_ROW(PalmTable(3, -1.0), "-nan"),
      TEXT_ROW(PalmTable(5, kInf), "-nan"),
      TEXT_ROW(PalmTable(5, kNaN), "nan"),
      TEXT_ROW(ErlangFormula2(0, 1.0), "-0"),
      TEXT_ROW(ErlangFormula2(0, 0.0), "-nan"),
      TEXT_ROW(ErlangFormula2(-5, 1.0), "0"),
      TEXT_ROW(ErlangFormula2(10, 12.0), "1.86017"),  // overload: above 1
      TEXT_ROW(EngsetTable(5, 0, 0.3), "0"),
      TEXT_ROW(EngsetTable(5, kMax, 0.3), "0"),
      TEXT_ROW(EngsetTable(3, 4, 0.2), "-0"),
      TEXT_ROW(EngsetTable(5, 3, 1.0), "-nan"),
      TEXT_ROW(EngsetTable(kMin, 3, 0.2), "1"),  // N - i wraps, no trap
      // No sources: the recursion's number, of either sign, not a zero.
      TEXT_ROW(EngsetTable(0, 1, 0.3), "-0.75"),
      TEXT_ROW(EngsetTable(-1, 2, 0.3), "0.794118"),
      TEXT_ROW(E(-1, 2.0), "inf"),
      TEXT_ROW(E(-3, -2.0), "-inf"),
      TEXT_ROW(E(-2, 1e300), "-nan"),  // A^V underflows to 0: 0/0
      TEXT_ROW(E(171, 10.0), "0"),
      TEXT_ROW(E(170, 100.0), "-nan"),  // A^V overflows
      TEXT_ROW(E(kMax, 0.5), "0"),      // returns at once
      TEXT_ROW(Hi(5, 3.0, 6), "0"),
      TEXT_ROW(Hi(5, 3.0, kMin), "0"),  // V - i wraps negative
      TEXT_ROW(Hi(3, 0.0, 1), "-nan"),
      // No traffic: 0 once V - i < 1, and 1 for V = i = 0.
      TEXT_ROW(Hi(3, 0.0, 3), "0"),
      TEXT_ROW(Hi(0, 0.0, 0), "1"),
  };
  ExpectTexts(rows);
}

TEST(BadInput, SingleServiceModelsAndSimulations) {
  const double one[] = {5.0}, idle_middle[] = {5.0, 0.0, 3.0};
  const TextRow rows[] = {
      // Always their numbers as computed.
      TEXT_ROW(M_M_V_L_an(-4, kNaN), "0 nan"),
      TEXT_ROW(M_M_V_L_an(kMax, 5.0), "0 5"),
      TEXT_ROW(Mi_M_V_L_an(5, 3, 1.0), "-nan -nan"),
      TEXT_ROW(M_G_V_L_an(1.0, 0.0, 0.0, 3, 2), "-nan -nan"),
      TEXT_ROW(M_M_V_W_FF_R_an(1.0, 1.0, 2, 2.0), "1 1 inf inf inf"),
      TEXT_ROW(M_M_V_W_FF_R_an(1.0, 1.0, 1, 2.0), "2 5.43656 -2 -1 -4"),
      // Priority classes: no classes, a negative count, no array.
      TEXT_ROW(M_M_V_L_PRA_an(0, 10, one), ""),
      TEXT_ROW(M_M_V_L_PRA_an(-1, 10, one), ""),
      TEXT_ROW(M_M_V_L_PRA_an(kMin, 10, one), ""),
      TEXT_ROW(M_M_V_L_PRA_an(3, 10, nullptr), ""),
      // An idle class changes nothing for the class below it.
      TEXT_ROW(M_M_V_L_PRA_an(3, 10, idle_middle), "0.0183846 4.90808 0 0 0.293789 2.11863 "),
      // Loss simulation: negative servers, no calls; no servers loses all.
      TEXT_ROW(M_M_V_L_im(5.0, -1, 100, 7), ""),
      TEXT_ROW(M_M_V_L_im(5.0, kMin, 100, 7), ""),
      TEXT_ROW(M_M_V_L_im(5.0, 10, 0, 7), ""),
      TEXT_ROW(M_M_V_L_im(5.0, 10, kMin, 7), ""),
      TEXT_ROW(M_M_V_L_im(5.0, 0, 100, 7), "1 0"),
      // Meaningless traffic completes at once, without drawing.
      TEXT_ROW(M_M_V_L_im(-1.0, 10, kMax, 7), "1 -0"),
      TEXT_ROW(M_M_V_L_im(kNaN, 10, kMax, 7), "1 nan"),
      TEXT_ROW(M_M_V_L_im(kInf, 10, 1000, 7), "1 -nan"),
      TEXT_ROW(M_M_V_L_im(kInf, 10, kMax, 7), "1 -nan"),
      // Waiting simulation: no servers, no calls.
      TEXT_ROW(M_M_V_W_FF_R_im(5.0, 0, 100, 1.0, 7), ""),
      TEXT_ROW(M_M_V_W_FF_R_im(5.0, -3, 100, 1.0, 7), ""),
      TEXT_ROW(M_M_V_W_FF_R_im(5.0, 10, 0, 1.0, 7), ""),
  };
  ExpectTexts(rows);
  const std::string overload = M_M_V_W_FF_R_im(11.0, 10, 1000, 1.0, 7);
  EXPECT_NE(overload.find(" -1 "), std::string::npos) << overload;  // w = 1 / (V - A)
  // Infinite traffic: every call waits, settled without drawing for any N.
  const std::string infinite = M_M_V_W_FF_R_im(kInf, 10, 1000, 1.0, 7);
  EXPECT_EQ(std::string(M_M_V_W_FF_R_im(kInf, 10, kMax, 1.0, 7)), infinite);
}

TEST(BadInput, LinkGroups) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0}, wide[] = {1.0, 6.0};
  const double negative[] = {1.0, -1.0}, nan_demand[] = {1.0, kNaN};
  const double nan_traffic[] = {kNaN, 1.0}, infinite_traffic[] = {kInf, 1.0};
  const double infinite_demand[] = {1.0, kInf}, huge_traffic[] = {2.0, 1e300};
  const double huge_demand[] = {1.0, 1e300};
  const TextRow rows[] = {
      // Shapes that cannot be evaluated.
      TEXT_ROW(VM_VMl_V_L_an(a, 0, t, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, -1, t, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(nullptr, 2, t, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, nullptr, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, negative, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, nan_demand, 2, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, -1, 5), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 2, kMin), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 65536, 65536), ""),  // k f beyond 32 bits
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, t, 2, 5, -1), ""),
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, t, 2, 5, 3), ""),
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, negative, 2, 5, 1), ""),
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, t, 65536, 65536, 1), ""),
      // Beyond the evaluation limits: refused before any table is allocated.
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 1, 16777217), ""),  // V above 2^24 units
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 2147483647, 1), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 200000, 10), ""),  // k V (1 + 2 D') steps
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, t, 1000, 1000, 500), ""),
      TEXT_ROW(VM_VMl_V_L_an(a, 2, t, 1, 4194304), ""),  // (V + 1) 256 bytes
      // A demand wider than a link, and meaningless traffic.
      TEXT_ROW(VM_VMl_V_L_an(a, 2, wide, 2, 5), "3.81902e-05 1.99992 1 0 "),
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, wide, 2, 5, 1), "0.0097003 1.9806 1 0 "),
      TEXT_ROW(VM_VMl_V_L_an(nan_traffic, 2, t, 2, 5), "nan nan nan nan "),
      TEXT_ROW(VM_VMl_V_L_an(infinite_traffic, 2, t, 2, 5), "-nan -nan -nan -nan "),
      // A blocking of exactly 1 carries exactly 0, however large a t is.
      TEXT_ROW(VM_VMl_VDg_L_an(a, 2, infinite_demand, 2, 5, 1), "0.0097003 1.9806 1 0 "),
      TEXT_ROW(VM_VMl_VDg_L_an(huge_traffic, 2, huge_demand, 2, 5, 1), "0.0097003 1.9806 1 0 "),
  };
  ExpectTexts(rows);
  EXPECT_NE(std::string(VM_VMl_V_L_an(a, 1, t, 1, 4194304)), "");  // (V + 1) 208 bytes
}

TEST(BadInput, LinkSubsetSimulation) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0}, one[] = {2.0}, unit[] = {1.0};
  const double zero[] = {0.0, 0.0}, infinite[] = {kInf, 1.0}, negative[] = {-1.0, 1.0};
  const double bad_demand[] = {1.0, -2.0}, wide[] = {1.0, 6.0};
  const double one_way[] = {2.0, 0.0}, infinite_demand[] = {1.0, kInf};
  constexpr std::int32_t kLinks = 1 << 24;
  constexpr std::int32_t kInProgress = 1 << 26;
  const TextRow rows[] = {
      // Shapes that cannot be simulated.
      TEXT_ROW(VM_VMl_VDg_L_im(a, 0, t, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 0, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(nullptr, 2, t, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, nullptr, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 100, nullptr), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 3, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 2, -5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 65536, 65536, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 40, 1, 20, 100, kMaxFree), ""),  // C(40, 20) >= 2^31
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, bad_demand, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(zero, 2, t, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(infinite, 2, t, 2, 5, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(negative, 2, t, 2, 5, 1, 100, kMaxFree), ""),
      // Where links hold units (f >= 1, g >= 1): more than 2^24 links, N and
      // k f both above 2^26, N g above 2^37.  Refused before anything is
      // allocated.
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, kMax, 1, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, kMax, 1, kMax, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, kLinks + 1, 1, 1, 100, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, 1, kInProgress + 1, 1, kInProgress + 1, kMaxFree), ""),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, 513, 1, 513, kMax, kMaxFree), ""),  // N g > 2^37
      // No unit can be held with f = 0 or g = 0: nothing is kept per link.
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, kMax, 0, 1, 100, kMaxFree), "1 0 "),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, 1 << 28, 1, 0, 100, kMaxFree), "1 0 "),
      // At the limits: 2^24 links, a group of 2^26 + 1 units with fewer calls.
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, kLinks, 1, 1, 1, kMaxFree), "0 2 "),
      TEXT_ROW(VM_VMl_VDg_L_im(one, 1, unit, 1, kInProgress + 1, 1, 1, kMaxFree), "0 2 "),
      // No links in a subset: every call lost.
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 0, 1, kMaxFree), "1 0 1 0 "),
      // Up to +inf, and without a call: a second class of no traffic is never drawn.
      TEXT_ROW(VM_VMl_VDg_L_im(one_way, 2, infinite_demand, 1, 1000, 1, 1, kMaxFree), "0 2 1 0 "),
      // One call, two classes that any link takes: one of them draws no call.
      TEXT_ROW(VM_VMl_VDg_L_im(a, 2, t, 1, 10, 1, 1, kMaxFree), "0 2 0 2 "),
  };
  ExpectTexts(rows);
  // Unknown keywords lose every call; with one call, the class that drew
  // none is blocked all the same.
  for (const char* keyword :
       {"", "max-free", "МаксСво", "МаксСвобX", "\xcc\xe0\xea\xf1\xd1\xe2\xee\xe1" /* CP1251 */}) {
    EXPECT_EQ(std::string(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 1000, keyword)), "1 0 1 0 ") << keyword;
    EXPECT_EQ(std::string(VM_VMl_VDg_L_im(a, 2, t, 2, 5, 1, 1, keyword)), "1 0 1 0 ") << keyword;
  }
  // Zero and overwide demands: nothing blocked, everything blocked.
  const double zero_demand_first[] = {0.0, 2.0};
  const std::string zero_demand = VM_VMl_VDg_L_im(a, 2, zero_demand_first, 2, 5, 1, 1000, kMaxFree);
  EXPECT_EQ(zero_demand.substr(0, 4), "0 0 ");
  const std::string overwide = VM_VMl_VDg_L_im(a, 2, wide, 2, 5, 1, 1000, kMaxFree);
  EXPECT_EQ(overwide.substr(overwide.size() - 4), "1 0 ");
}

}  // namespace
