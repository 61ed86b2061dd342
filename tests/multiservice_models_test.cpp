// The multi-service link-group and link-subset models through their C
// exports and their model functions: published example groups, the
// reductions to simpler systems, edge cases, and refused input.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "formulas/erlang_loss.h"
#include "moravel.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"
#include "multiservice/occupancy_distribution.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string LinkGroupText(const std::vector<double>& a, const std::vector<double>& t,
                          std::int32_t k, std::int32_t f) {
  return VM_VMl_V_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(), k, f);
}

std::string LinkSubsetText(const std::vector<double>& a, const std::vector<double>& t,
                           std::int32_t k, std::int32_t f, std::int32_t g) {
  return VM_VMl_VDg_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(), k, f, g);
}

// ---- Published example groups -------------------------------------------

struct Example {
  std::vector<double> a, t;
  std::int32_t k, f, g;
  std::string link_group, link_subset;  // "" where no figure is published
};

TEST(MultiserviceExamples, PublishedGroupsGiveTheirFigures) {
  const std::vector<Example> examples = {
      {{2.0, 1.0}, {1.0, 2.0}, 2, 5, 2, "0.0101235 1.97975 0.047202 1.9056 ",
       "0.0101235 1.97975 0.047202 1.9056 "},
      {{2.0, 1.0}, {1.0, 2.0}, 2, 5, 1, "0.0101235 1.97975 0.047202 1.9056 ",
       "0.0930953 1.81381 0.20808 1.58384 "},
      {{3.0, 1.0}, {1.0, 2.0}, 3, 4, 2, "", "0.0240532 2.92784 0.0965412 1.80692 "},
      {{5.0}, {1.0}, 1, 10, 1, "0.0183846 4.90808 ", "0.0183846 4.90808 "},
  };
  for (const Example& e : examples) {
    if (!e.link_group.empty()) {
      EXPECT_EQ(LinkGroupText(e.a, e.t, e.k, e.f), e.link_group);
    }
    EXPECT_EQ(LinkSubsetText(e.a, e.t, e.k, e.f, e.g), e.link_subset) << "g=" << e.g;
  }
}

// ---- Reductions --------------------------------------------------------

// One link and one class of demand 1: the Erlang loss system.
TEST(MultiserviceReductions, OneLinkOneUnitIsErlangLoss) {
  for (std::int32_t V : {1, 2, 5, 10, 30, 100}) {
    for (double A : {0.1, 1.0, 5.0, 0.7 * V, 1.3 * V}) {
      const double a[1] = {A};
      const double t[1] = {1.0};
      const auto group = moravel::LinkGroupModel(a, 1, t, 1, V);
      const double B = moravel::PalmTable(V, A);
      EXPECT_NEAR(group->E[0], B, 1e-13 * B) << "V=" << V << " A=" << A;
      EXPECT_NEAR(group->C[0], A * (1.0 - B), 1e-13 * A) << "V=" << V << " A=" << A;
      const auto subset = moravel::LinkSubsetModel(a, 1, t, 1, V, 1);
      EXPECT_NEAR(subset->E[0], B, 1e-13 * B) << "V=" << V << " A=" << A;
    }
  }
}

// One link: the call fits exactly when d free units are left, so the
// blocking is the plain sum Q[V - d + 1] + ... + Q[V].
TEST(MultiserviceReductions, OneLinkBlocksOnTheTopStates) {
  const std::vector<double> a = {3.0, 1.5, 0.5};
  const std::vector<double> t = {1.0, 3.0, 5.0};
  const std::int32_t f = 12;
  const std::vector<double> Q = moravel::OccupancyDistribution(a.data(), t.data(), 3, 1, f);
  const auto group = moravel::LinkGroupModel(a.data(), 3, t.data(), 1, f);
  for (std::size_t i = 0; i < t.size(); ++i) {
    double E = 0.0;
    for (std::int32_t n = f - static_cast<std::int32_t>(t[i]) + 1; n <= f; ++n) E += Q[n];
    EXPECT_EQ(Bits(group->E[i]), Bits(E)) << "class " << i;
  }
}

// Offered to all k links, a call meets the link-group blocking.
TEST(MultiserviceReductions, WholeSubsetMatchesTheLinkGroup) {
  struct Case { std::vector<double> a, t; std::int32_t k, f; };
  for (const Case& c : std::vector<Case>{{{2.0, 1.0}, {1.0, 2.0}, 2, 5},
                                         {{6.0, 2.0, 1.0}, {1.0, 3.0, 5.0}, 3, 8},
                                         {{20.0, 8.0, 4.0, 2.0}, {1.0, 2.0, 4.0, 6.0}, 4, 30},
                                         {{9.0, 1.0}, {2.0, 7.0}, 6, 7}}) {
    const auto M = static_cast<std::int32_t>(c.a.size());
    const auto group = moravel::LinkGroupModel(c.a.data(), M, c.t.data(), c.k, c.f);
    const auto subset = moravel::LinkSubsetModel(c.a.data(), M, c.t.data(), c.k, c.f, c.k);
    for (std::int32_t i = 0; i < M; ++i) {
      EXPECT_NEAR(subset->E[i], group->E[i], 1e-12 * group->E[i] + 1e-300)
          << "k=" << c.k << " f=" << c.f << " class " << i;
    }
  }
}

// g = 0 is outside the model's sense but inside its formula: every count
// ratio is N/N = 1, so the blocking is the sum Q[m] + ... + Q[V].
TEST(MultiserviceReductions, EmptySubsetKeepsTheFormula) {
  const std::vector<double> a = {2.0, 1.0};
  const std::vector<double> t = {1.0, 2.0};
  const std::vector<double> Q = moravel::OccupancyDistribution(a.data(), t.data(), 2, 2, 5);
  const auto subset = moravel::LinkSubsetModel(a.data(), 2, t.data(), 2, 5, 0);
  for (std::size_t i = 0; i < 2; ++i) {
    double E = 0.0;
    for (std::int32_t n = 5 - static_cast<std::int32_t>(t[i]) + 1; n <= 10; ++n) E += Q[n];
    EXPECT_EQ(Bits(subset->E[i]), Bits(E)) << "class " << i;
  }
}

// ---- Edge cases --------------------------------------------------------

TEST(MultiserviceEdges, NoClassesGiveTheEmptyText) {
  EXPECT_EQ(std::string(VM_VMl_V_L_an(nullptr, 0, nullptr, 3, 4)), "");
  EXPECT_EQ(std::string(VM_VMl_VDg_L_an(nullptr, 0, nullptr, 3, 4, 2)), "");
  const std::vector<double> Q = moravel::OccupancyDistribution(nullptr, nullptr, 0, 3, 4);
  ASSERT_EQ(Q.size(), 13u);
  EXPECT_EQ(Q[0], 1.0);
  for (std::size_t n = 1; n < Q.size(); ++n) EXPECT_EQ(Q[n], 0.0);
}

TEST(MultiserviceEdges, TextLayout) {
  struct Case { std::vector<double> a, t; std::int32_t k, f, g; std::string group, subset; };
  const std::vector<Case> cases = {
      // No traffic: nothing blocks, nothing is carried.
      {{0.0, 0.0}, {1.0, 3.0}, 3, 4, 2, "0 0 0 0 ", "0 0 0 0 "},
      // Demand 0 never blocks.
      {{2.0}, {0.0}, 3, 4, 2, "0 0 ", "0 0 "},
      // No units at all: every call with a demand is lost.  With no links
      // (and so g = 0) the subset formula has no occupancy at which a link
      // refuses (m = f - d + 1 > V = 0) and reports no blocking.
      {{2.0, 1.0}, {1.0, 2.0}, 0, 5, 0, "1 0 1 0 ", "0 2 0 2 "},
      {{2.0, 1.0}, {1.0, 2.0}, 4, 0, 2, "1 0 1 0 ", "1 0 1 0 "},
      // Wider than a link: the subset refuses it outright, the group by the
      // sum of Q.
      {{2.0, 1.0}, {1.0, 6.0}, 2, 5, 1, "3.81902e-05 1.99992 1 0 ",
       "0.0097003 1.9806 1 0 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LinkGroupText(c.a, c.t, c.k, c.f), c.group) << "k=" << c.k << " f=" << c.f;
    EXPECT_EQ(LinkSubsetText(c.a, c.t, c.k, c.f, c.g), c.subset) << "k=" << c.k << " f=" << c.f;
  }
}

TEST(MultiserviceEdges, DemandWiderThanALinkBlocksEverything) {
  const double a[2] = {2.0, 1.0};
  const double t[2] = {1.0, 6.0};  // 6 > f, though below V = 10
  const auto group = moravel::LinkGroupModel(a, 2, t, 2, 5);
  EXPECT_NEAR(group->E[1], 1.0, 1e-15);
  EXPECT_NEAR(group->C[1], 0.0, 1e-14);
  const auto subset = moravel::LinkSubsetModel(a, 2, t, 2, 5, 1);
  EXPECT_EQ(subset->E[1], 1.0);
  EXPECT_EQ(subset->C[1], 0.0);
}

// The demand plays three parts: the factor t_i, the earlier state
// trunc(n - t_i) and the count trunc(t_i).  2.5 differs from 2 and from 3.
TEST(MultiserviceEdges, FractionalDemandDiffersFromBothNeighbours) {
  const std::vector<double> a = {2.0, 1.0};
  for (double t1 : {2.0, 2.5, 3.0}) {
    const std::vector<double> t = {1.0, t1};
    const auto group = moravel::LinkGroupModel(a.data(), 2, t.data(), 2, 5);
    // The carried traffic is counted in units: t_i a_i (1 - E_i).
    EXPECT_EQ(Bits(group->C[1]), Bits((t1 * 1.0) * (1.0 - group->E[1])));
  }
  const std::vector<double> whole2 = {1.0, 2.0}, half = {1.0, 2.5}, whole3 = {1.0, 3.0};
  const std::string text = LinkGroupText(a, half, 2, 5);
  EXPECT_NE(text, LinkGroupText(a, whole2, 2, 5));
  EXPECT_NE(text, LinkGroupText(a, whole3, 2, 5));
}

// Demands beyond 2^31, infinite ones included, are counted as wider than a
// link with no out-of-range conversion.
TEST(MultiserviceEdges, EnormousDemandsAreJustTooWide) {
  const std::vector<double> a = {2.0, 1.0};
  for (double huge : {2147483648.0, 1e300, kInfinity}) {
    const std::vector<double> t = {1.0, huge};
    const auto subset = moravel::LinkSubsetModel(a.data(), 2, t.data(), 2, 5, 1);
    EXPECT_EQ(subset->E[1], 1.0) << huge;
    const auto group = moravel::LinkGroupModel(a.data(), 2, t.data(), 2, 5);
    EXPECT_NEAR(group->E[1], 1.0, 1e-15) << huge;
    // The traffic a call brings is the demand itself, so C = huge * 0 or
    // the like: whatever the arithmetic says, but a number per class.
    const std::string text = LinkGroupText(a, t, 2, 5);
    EXPECT_EQ(std::count(text.begin(), text.end(), ' '), 4) << text;
  }
}

// ---- Refused input -----------------------------------------------------

TEST(MultiserviceRefusals, OutOfDomainGivesTheEmptyText) {
  const double a[2] = {2.0, 1.0};
  const double t[2] = {1.0, 2.0};
  const double negative[2] = {1.0, -2.0};
  const double nan[2] = {std::nan(""), 2.0};
  struct Case { const double* a; std::int32_t M; const double* t; std::int32_t k, f, g; };
  for (const Case& c : std::vector<Case>{{a, -1, t, 2, 5, 1},
                                         {nullptr, 2, t, 2, 5, 1},
                                         {a, 2, nullptr, 2, 5, 1},
                                         {a, 2, negative, 2, 5, 1},
                                         {a, 2, nan, 2, 5, 1},
                                         {a, 2, t, -1, 5, 0},
                                         {a, 2, t, 2, -5, 1},
                                         {a, 2, t, 65536, 32768, 1},
                                         {a, 2, t, kMax, 2, 1}}) {
    VM_VMl_V_L_an(a, 2, t, 2, 5);  // a non-empty text first: it must go
    EXPECT_EQ(std::string(VM_VMl_V_L_an(c.a, c.M, c.t, c.k, c.f)), "")
        << "M=" << c.M << " k=" << c.k << " f=" << c.f;
    VM_VMl_V_L_an(a, 2, t, 2, 5);
    EXPECT_EQ(std::string(VM_VMl_VDg_L_an(c.a, c.M, c.t, c.k, c.f, c.g)), "")
        << "M=" << c.M << " k=" << c.k << " f=" << c.f;
  }
  EXPECT_EQ(std::string(VM_VMl_VDg_L_an(a, 2, t, 2, 5, -1)), "");
  EXPECT_EQ(std::string(VM_VMl_VDg_L_an(a, 2, t, 2, 5, 3)), "");
  EXPECT_FALSE(moravel::LinkGroupModel(a, 2, negative, 2, 5).has_value());
  EXPECT_FALSE(moravel::LinkSubsetModel(a, 2, t, 2, 5, 3).has_value());
}

// A group of 2^31 - 1 units is accepted, and runs out of memory: the export
// answers with the empty text instead of letting the failure escape.  Run
// in a child process whose address space is capped at 1 GiB.
void ExitZeroIfHugeGroupsGiveTheEmptyText() {
  const rlimit cap{1u << 30, 1u << 30};
  setrlimit(RLIMIT_AS, &cap);
  const double a[1] = {1.0};
  const double t[1] = {1.0};
  const bool empty = std::string(VM_VMl_V_L_an(a, 1, t, 1, kMax)).empty() &&
                     std::string(VM_VMl_VDg_L_an(a, 1, t, 1, kMax, 1)).empty();
  std::exit(empty ? 0 : 1);
}

TEST(MultiserviceRefusals, MemoryExhaustionGivesTheEmptyText) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#endif
  EXPECT_EXIT(ExitZeroIfHugeGroupsGiveTheEmptyText(), ::testing::ExitedWithCode(0), "");
}

// ---- The shared library -------------------------------------------------

TEST(MultiserviceLibrary, ExportsAreInTheDynamicSymbolTable) {
  void* library = dlopen(MORAVEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using LinkGroup = const char* (*)(const double*, int32_t, const double*, int32_t, int32_t);
  using LinkSubset =
      const char* (*)(const double*, int32_t, const double*, int32_t, int32_t, int32_t);
  const auto group = reinterpret_cast<LinkGroup>(dlsym(library, "VM_VMl_V_L_an"));
  const auto subset = reinterpret_cast<LinkSubset>(dlsym(library, "VM_VMl_VDg_L_an"));
  ASSERT_NE(group, nullptr);
  ASSERT_NE(subset, nullptr);
  EXPECT_EQ(dlsym(library, "LinkGroupModel"), nullptr);  // internals stay hidden
  const double a[2] = {2.0, 1.0};
  const double t[2] = {1.0, 2.0};
  EXPECT_EQ(std::string(group(a, 2, t, 2, 5)), "0.0101235 1.97975 0.047202 1.9056 ");
  EXPECT_EQ(std::string(subset(a, 2, t, 2, 5, 1)), "0.0930953 1.81381 0.20808 1.58384 ");
  dlclose(library);
}

}  // namespace
