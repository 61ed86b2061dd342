// VM_VMl_VDg_L_im through its C interface (seeded from the random device,
// so only outcomes that every run shares are pinned).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <string>
#include <vector>

#include "moravel.h"

namespace {

constexpr const char* kMostFree = "МаксСвоб";
constexpr const char* kFewestFree = "МинСвоб";
constexpr const char* kRandomFree = "ПервСвоб";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Call {
  std::vector<double> a;
  std::vector<double> t;
  std::int32_t k, f, g, N;
  const char* policy;
};

std::string SimulateClasses(const Call& c, std::int32_t M) {
  return VM_VMl_VDg_L_im(c.a.data(), M, c.t.data(), c.k, c.f, c.g, c.N, c.policy);
}

std::string Simulate(const Call& c) {
  return SimulateClasses(c, static_cast<std::int32_t>(c.a.size()));
}

// The numbers of a result text ("nan", "-nan" and "inf" included).
std::vector<double> Numbers(const std::string& text) {
  std::vector<double> n;
  const char* p = text.c_str();
  while (*p != '\0') {
    char* end = nullptr;
    const double x = std::strtod(p, &end);
    if (end == p) break;
    n.push_back(x);
    p = end;
    while (*p == ' ') ++p;
  }
  return n;
}

TEST(VM_VMl_VDg_L_im, WritesTheOutcomesEveryRunShares) {
  struct Case {
    Call call;
    const char* text;
  };
  const Case cases[] = {
      // The only call arrives at 0.0 on a free link.
      {{{2}, {1}, 1, 1, 1, 1, kMostFree}, "0 2 "},
      {{{2}, {1}, 1, 1, 1, 1, kFewestFree}, "0 2 "},
      {{{2}, {1}, 1, 1, 1, 1, kRandomFree}, "0 2 "},
      // An unknown keyword, or a demand beyond the link: lost.
      {{{2}, {1}, 1, 1, 1, 1, "MaxFree"}, "1 0 "},
      {{{2}, {1}, 1, 1, 1, 1, ""}, "1 0 "},
      {{{2}, {1}, 1, 1, 1, 1, "\xCC\xE0\xEA\xF1\xD1\xE2\xEE\xE1"}, "1 0 "},  // 8-bit code page
      {{{2}, {2}, 1, 1, 1, 1, kMostFree}, "1 0 "},
      {{{2, 3}, {1, 1}, 4, 5, 3, 200, "??"}, "1 0 1 0 "},
      // A demand above f, even when the subset as a whole could hold it.
      {{{2}, {3}, 4, 2, 4, 50, kMostFree}, "1 0 "},
      // No links in the subset.
      {{{2}, {1}, 3, 4, 0, 50, kMostFree}, "1 0 "},
      // Room for every call: nothing lost, carried = a t (t itself, 2.5).
      {{{1.5, 2}, {1, 2.5}, 1, 300, 1, 100, kFewestFree}, "0 1.5 0 5 "},
      // A class without traffic between two with traffic offers no call.
      {{{1, 0, 1}, {1, 1, 1}, 1, 1000, 1, 300, kMostFree}, "0 1 0 0 0 1 "},
      // Demand below one unit: admitted, holding nothing, even on links of 0 units.
      {{{2, 1}, {0.5, 0}, 2, 0, 1, 300, kRandomFree}, "0 1 0 0 "},
      // The most links there can be, with no units: cheap whatever k and g.
      {{{2}, {0.5}, 2147483647, 0, 2147483647, 50, kRandomFree}, "0 1 "},
      {{{2}, {0.5}, 2147483647, 0, 1, 50, kFewestFree}, "0 1 "},
      {{{2}, {1}, 2147483647, 0, 1, 50, kMostFree}, "1 0 "},
      // Demands of 2^31 and more are never admitted.
      {{{2, 1}, {2147483648.0, 3e9}, 1, 5, 1, 40, kMostFree}, "1 0 1 0 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Simulate(c.call), c.text) << "policy " << c.call.policy << ", M " << c.call.a.size();
  }
}

TEST(VM_VMl_VDg_L_im, AnInfiniteDemandIsNeverAdmitted) {
  const auto n = Numbers(Simulate({{2}, {kInf}, 2, 3, 1, 20, kMostFree}));
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0], 1.0);
}

TEST(VM_VMl_VDg_L_im, RefusesWhatItCannotSimulateWithTheEmptyText) {
  const Call good{{2, 1}, {1, 2}, 4, 5, 2, 100, kMostFree};
  auto with = [&good](auto change) {
    Call c = good;
    change(c);
    return c;
  };
  const std::vector<Call> refused{
      with([](Call& c) { c.N = 0; }),
      with([](Call& c) { c.N = -5; }),
      with([](Call& c) { c.g = -1; }),
      with([](Call& c) { c.g = 5; }),
      with([](Call& c) { c.k = -1; }),
      with([](Call& c) { c.f = -1; }),
      with([](Call& c) { c.k = 65536, c.f = 32768, c.g = 1; }),  // k f = 2^31
      with([](Call& c) { c.k = 34, c.f = 1, c.g = 17; }),        // C(34, 17) > 2^31
      with([](Call& c) { c.t[1] = -1; }),
      with([](Call& c) { c.t[1] = -0.5; }),
      with([](Call& c) { c.t[0] = kNaN; }),
      with([](Call& c) { c.t[0] = -kInf; }),
      with([](Call& c) { c.a[1] = -1; }),
      with([](Call& c) { c.a[1] = kInf; }),
      with([](Call& c) { c.a[0] = kNaN; }),
      with([](Call& c) { c.a = {0, 0}; }),
      with([](Call& c) { c.a = {1e308, 1e308}; }),  // total rate overflows
      with([](Call& c) { c.policy = nullptr; }),
  };
  for (const Call& c : refused) {
    EXPECT_EQ(Simulate(c), "") << "k " << c.k << " f " << c.f << " g " << c.g << " N " << c.N;
  }
  EXPECT_EQ(SimulateClasses(good, 0), "");
  EXPECT_EQ(SimulateClasses(good, -1), "");
  EXPECT_STREQ(VM_VMl_VDg_L_im(nullptr, 2, good.t.data(), 4, 5, 2, 10, kMostFree), "");
  EXPECT_STREQ(VM_VMl_VDg_L_im(good.a.data(), 2, nullptr, 4, 5, 2, 10, kMostFree), "");
  // The largest subset numbering that fits is simulated.
  EXPECT_EQ(Numbers(Simulate(with([](Call& c) { c.k = 33, c.f = 1, c.g = 16; }))).size(), 4u);
}

TEST(VM_VMl_VDg_L_im, WritesTwoNumbersPerClassEachFollowedByABlank) {
  const std::string text = Simulate({{3, 1}, {1, 2}, 4, 3, 2, 2000, kRandomFree});
  EXPECT_EQ(Numbers(text).size(), 4u);
  EXPECT_EQ(std::count(text.begin(), text.end(), ' '), 4);
  EXPECT_EQ(text.back(), ' ');
}

TEST(VM_VMl_VDg_L_im, ApproachesTheErlangLossValueOnOneLink) {
  // B(10, 5) = 0.0183846; one million calls give a standard error of about
  // 0.0002, so 0.001 is five of them.
  for (const char* policy : {kMostFree, kFewestFree, kRandomFree}) {
    const auto n = Numbers(Simulate({{5}, {1}, 1, 10, 1, 1000000, policy}));
    ASSERT_EQ(n.size(), 2u);
    EXPECT_NEAR(n[0], 0.0183846, 0.001) << policy;
    EXPECT_NEAR(n[1], 5.0 * (1.0 - n[0]), 1e-5);  // as written, six digits
  }
}

TEST(VM_VMl_VDg_L_im, IsExportedByNameFromTheSharedLibrary) {
  void* library = dlopen(MORAVEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Export = const char* (*)(const double*, int32_t, const double*, int32_t, int32_t,
                                 int32_t, int32_t, const char*);
  const auto simulate = reinterpret_cast<Export>(dlsym(library, "VM_VMl_VDg_L_im"));
  ASSERT_NE(simulate, nullptr);
  const double a[1] = {2};
  const double t[1] = {1};
  EXPECT_STREQ(simulate(a, 1, t, 1, 1, 1, 1, kMostFree), "0 2 ");
  dlclose(library);
}

}  // namespace
