// VM_VMl_VDg_L_im through its C interface, seeded from the random device:
// only outcomes that every run shares are pinned, the Erlang value that
// every long run approaches, and what groups too large to keep answer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "moravel.h"
#include "support/capped_child.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "support/bits.h"

namespace {

constexpr const char* kMostFree = "МаксСвоб";
constexpr const char* kFewestFree = "МинСвоб";
constexpr const char* kRandomFree = "ПервСвоб";
using moravel::testing::kInf;
using moravel::testing::kNaN;

struct Call {
  std::vector<double> a, t;
  std::int32_t k, f, g, N;
  const char* policy;
};

std::string Simulate(const Call& c, std::int32_t M) {
  return VM_VMl_VDg_L_im(c.a.data(), M, c.t.data(), c.k, c.f, c.g, c.N, c.policy);
}

std::string Simulate(const Call& c) { return Simulate(c, static_cast<std::int32_t>(c.a.size())); }

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
      // Demands of 2^31 and more, infinity included, are never admitted.
      {{{2, 1}, {2147483648.0, 3e9}, 1, 5, 1, 40, kMostFree}, "1 0 1 0 "},
      {{{2}, {kInf}, 2, 3, 1, 20, kMostFree}, "1 0 "},
      // The largest subset numbering that fits, C(33, 16), is simulated.
      {{{2}, {1}, 33, 1, 16, 1, kMostFree}, "0 2 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Simulate(c.call), c.text) << "policy " << c.call.policy << ", M " << c.call.a.size();
  }
}

// Classes that drew no call, or might not have: one that no link can take
// is blocked all the same (1, and exactly 0 carried), one that could be
// taken shows no blocking.  With N = 1 exactly one class draws the call,
// and a zero traffic after a positive one is never drawn.
TEST(VM_VMl_VDg_L_im, BlocksClassesNoLinkCanTakeWhetherOrNotTheyDrewACall) {
  struct Case {
    Call call;
    const char* text;
  };
  const Case cases[] = {
      // Wider than a link: blocked, with a call or without.
      {{{1, 1}, {1, 1001}, 1, 1000, 1, 1, kMostFree}, "0 1 1 0 "},
      {{{1, 0}, {1, 1001}, 1, 1000, 1, 50, kMostFree}, "0 1 1 0 "},
      {{{1, 1}, {1, kInf}, 1, 1000, 1, 1, kFewestFree}, "0 1 1 0 "},
      // Exactly as wide as a link: can be taken.
      {{{1, 1}, {1, 1000}, 1, 1000, 1, 1, kMostFree}, "0 1 0 1000 "},
      // No links in a subset: every class, even one of demand 0 or no traffic.
      {{{1, 1, 0}, {0, 1, 1}, 3, 5, 0, 1, kRandomFree}, "1 0 1 0 1 0 "},
      // An unknown keyword: every class.
      {{{1, 1}, {1, 0}, 1, 5, 1, 1, "other"}, "1 0 1 0 "},
      {{{1, 1}, {1, 0}, 1, 5, 1, 1, ""}, "1 0 1 0 "},
      // Could be taken, drew no call: no blocking, the full carried traffic.
      {{{1, 1}, {1, 2}, 1, 1000, 1, 1, kRandomFree}, "0 1 0 2 "},
      {{{1, 1}, {0, 0.5}, 2, 0, 1, 1, kFewestFree}, "0 0 0 0.5 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Simulate(c.call), c.text)
        << "policy \"" << c.call.policy << "\", g " << c.call.g << ", t1 " << c.call.t[1];
  }
}

// The refusals beyond those of bad_input_test: the other bounds of the
// counts, and traffics and demands that are no number or overflow.
TEST(VM_VMl_VDg_L_im, RefusesWhatItCannotSimulateWithTheEmptyText) {
  const Call good{{2, 1}, {1, 2}, 4, 5, 2, 100, kMostFree};
  auto with = [&good](auto change) {
    Call c = good;
    change(c);
    return c;
  };
  const std::vector<Call> refused{
      with([](Call& c) { c.N = -5; }),
      with([](Call& c) { c.g = -1; }),
      with([](Call& c) { c.k = -1; }),
      with([](Call& c) { c.k = 65536, c.f = 32768, c.g = 1; }),  // k f = 2^31
      with([](Call& c) { c.k = 34, c.f = 1, c.g = 17; }),        // C(34, 17) > 2^31
      with([](Call& c) { c.t[1] = -0.5; }),
      with([](Call& c) { c.t[0] = kNaN; }),
      with([](Call& c) { c.t[0] = -kInf; }),
      with([](Call& c) { c.a[0] = kNaN; }),
      with([](Call& c) {
        c.a = {1e308, 1e308};
      }),  // total rate overflows
  };
  for (const Call& c : refused) {
    EXPECT_EQ(Simulate(c), "") << "k " << c.k << " f " << c.f << " g " << c.g << " N " << c.N;
  }
  EXPECT_EQ(Simulate(good, -1), "");
}

TEST(VM_VMl_VDg_L_im, ApproachesTheErlangLossValueOnOneLink) {
  // B(10, 5) = 0.0183846; one million calls give a standard error of about
  // 0.0002, so 0.001 is five of them.
  for (const char* policy : {kMostFree, kFewestFree, kRandomFree}) {
    const std::string text = Simulate({{5}, {1}, 1, 10, 1, 1000000, policy});
    char* end = nullptr;
    const double E = std::strtod(text.c_str(), &end);
    const double C = std::strtod(end, &end);
    ASSERT_EQ(std::string(end), " ") << text;
    EXPECT_NEAR(E, 0.0183846, 0.001) << policy;
    EXPECT_NEAR(C, 5.0 * (1.0 - E), 1e-5);  // as written, six digits
  }
}

#if !defined(_WIN32)  // address-space caps and forked children are POSIX
// Groups far beyond the limits, under a 1 GiB cap and within 60 s: a
// refused run must answer the empty text without drawing a seed or
// allocating (the model returns nullopt rather than running out of
// memory), while the same sizes with nothing to keep per link (g = 0) and a
// group at the link limit still run.
TEST(VM_VMl_VDg_L_im, AnswersAbsurdGroupsAtOnceUnderAnAddressSpaceCap) {
  moravel::testing::ExpectRightUnderAddressCap(60, [] {
    const double a[1] = {2.0};
    const double t[1] = {1.0};
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
      std::int32_t k, f, g, N;
      const char* text;
    };
    const Case cases[] = {
        {kMax, 1, 1, 100, ""},         // 2^31 - 1 links of one unit
        {kMax, 1, kMax, 100, ""},      // the same, every call offered to all of them
        {1 << 28, 1, 0, 100, "1 0 "},  // no links in a subset: nothing kept, no call carried
        {1 << 24, 1, 1, 1, "0 2 "},    // the most links kept: 64 MiB
    };
    int wrong = 0;
    for (const Case& c : cases) {
      const std::string text = VM_VMl_VDg_L_im(a, 1, t, c.k, c.f, c.g, c.N, kMostFree);
      if (text != c.text) {
        std::fprintf(stderr, "k=%d f=%d g=%d: \"%s\"\n", c.k, c.f, c.g, text.c_str());
        ++wrong;
      }
    }
    int seeds_read = 0;
    try {
      const auto refused = moravel::SimulateLinkSubsetSystem(
          a, 1, t, kMax, 1, 1, 100, kMostFree, [&seeds_read] { return ++seeds_read, 1u; },
          moravel::RandomPlacementSeeding::kOneEnginePerRun);
      if (refused || seeds_read != 0) ++wrong;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "the refused run threw: %s\n", e.what());
      ++wrong;
    }
    return wrong == 0;
  });
}
#endif

}  // namespace
