// SimulateLinkSubsetSystem against the literal reference (same seeds, same
// counts, same bits) and against theory where the group has one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "formulas/erlang_loss.h"
#include "multiservice/link_group_model.h"
#include "multiservice_sim/link_choice.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "reference/link_subset_simulation_reference.h"
#include "support/bits.h"

namespace moravel {
namespace {

using testing::Bits;

const std::string kMostFree(kMostFreeKeyword);
const std::string kFewestFree(kFewestFreeKeyword);
const std::string kRandomFree(kRandomFreeKeyword);

// A replayable stand-in for the random device, counting its reads.
struct FixedSeeds {
  std::mt19937 engine;
  int reads = 0;
  explicit FixedSeeds(std::uint32_t seed) : engine(seed) {}
  std::uint32_t operator()() {
    ++reads;
    return static_cast<std::uint32_t>(engine());
  }
};

struct Group {
  std::vector<double> a, t;
  std::int32_t k, f, g, N;
  std::string policy;
};

std::string Describe(const Group& x) {
  std::string s = "k=" + std::to_string(x.k) + " f=" + std::to_string(x.f) +
                  " g=" + std::to_string(x.g) + " N=" + std::to_string(x.N) +
                  " policy=" + x.policy + " classes:";
  for (std::size_t i = 0; i < x.a.size(); ++i) {
    s += " " + testing::Text(x.a[i]) + "/" + testing::Text(x.t[i]);
  }
  return s;
}

SimulatedClassResults Fast(
    const Group& x, std::uint32_t seed, int* reads = nullptr,
    RandomPlacementSeeding placement = RandomPlacementSeeding::kFreshEnginePerArrival) {
  FixedSeeds source(seed);
  const SeedSource seeds = [&source] { return source(); };
  auto r = SimulateLinkSubsetSystem(x.a.data(), static_cast<std::int32_t>(x.a.size()), x.t.data(),
                                    x.k, x.f, x.g, x.N, x.policy.c_str(), seeds, placement);
  if (reads != nullptr) *reads = source.reads;
  EXPECT_TRUE(r.has_value()) << Describe(x);
  return r ? std::move(*r) : SimulatedClassResults{};
}

reference::LinkSubsetCounts Literal(const Group& x, std::uint32_t seed, int* reads = nullptr) {
  FixedSeeds source(seed);
  auto r = reference::SimulateLinkSubsetSystem(x.a.data(), static_cast<std::int32_t>(x.a.size()),
                                               x.t.data(), x.k, x.f, x.g, x.N, x.policy.c_str(),
                                               [&source] { return source(); });
  if (reads != nullptr) *reads = source.reads;
  return r;
}

void ExpectSameAsLiteral(const Group& x, std::uint32_t seed) {
  SCOPED_TRACE(Describe(x));
  int fast_reads = 0;
  int literal_reads = 0;
  const auto fast = Fast(x, seed, &fast_reads);
  const auto literal = Literal(x, seed, &literal_reads);
  ASSERT_EQ(fast.offered, literal.offered);
  ASSERT_EQ(fast.lost, literal.lost);
  ASSERT_EQ(fast_reads, literal_reads);
  for (std::size_t i = 0; i < x.a.size(); ++i) {
    EXPECT_EQ(Bits(fast.E[i]), Bits(literal.E[i]));
    EXPECT_EQ(Bits(fast.C[i]), Bits(literal.C[i]));
  }
}

// Generated small groups (every policy, unknown keywords too), then larger
// ones with hundreds to thousands of subsets.
TEST(SimulateLinkSubsetSystem, CountsWhatTheLiteralReferenceCounts) {
  std::mt19937 gen(2024);
  const auto pick = [&gen](auto const& options) {
    return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(gen)];
  };
  const std::vector<std::string> policies{kMostFree, kFewestFree, kRandomFree, "other"};
  const std::vector<double> traffics{0.0, 0.25, 0.7, 1.5, 3.0, 6.0};
  const std::vector<std::int32_t> calls{1, 2, 40, 700, 2500};
  for (int n = 0; n < 600; ++n) {
    Group x;
    x.k = std::uniform_int_distribution<std::int32_t>(0, 7)(gen);
    x.g = std::uniform_int_distribution<std::int32_t>(0, x.k)(gen);
    x.f = std::uniform_int_distribution<std::int32_t>(0, 6)(gen);
    x.N = pick(calls);
    x.policy = policies[static_cast<std::size_t>(n) % policies.size()];
    const std::vector<double> demands{
        0.0, 0.5, 1.0, 1.0, 2.0, 2.5, 3.0, static_cast<double>(x.f), x.f + 1.0};
    const int classes = std::uniform_int_distribution<int>(1, 4)(gen);
    for (int i = 0; i < classes; ++i) {
      x.a.push_back(pick(traffics));
      x.t.push_back(pick(demands));
    }
    if (x.a.back() == 0.0) x.a.back() = 2.0;  // some traffic
    ExpectSameAsLiteral(x, static_cast<std::uint32_t>(n));
    if (::testing::Test::HasFatalFailure()) return;
  }
  const std::vector<Group> groups{
      {{3.0, 1.0, 0.5}, {1, 2, 4}, 12, 3, 6, 3000, ""},   // 924 subsets
      {{20.0, 6.0, 2.0}, {1, 2, 5}, 16, 10, 8, 250, ""},  // 12870 subsets
      {{4.0, 2.0}, {1, 3}, 10, 5, 1, 3000, ""},
      {{9.0, 2.0}, {1, 2}, 10, 2, 9, 3000, ""},
      {{12.0, 3.0}, {1, 4}, 8, 4, 8, 3000, ""},
      {{30.0, 5.0, 1.0}, {1, 3, 6}, 4, 30, 2, 5000, ""},
  };
  std::uint32_t seed = 100;
  for (Group x : groups) {
    for (const std::string& policy : {kMostFree, kFewestFree, kRandomFree}) {
      x.policy = policy;
      ExpectSameAsLiteral(x, ++seed);
    }
  }
}

// Two classes of 8e307 erlangs and demand 3 on one link of 3 units: the
// first call takes the link and the others, arriving within about 1e-308
// of it, are lost.  When every call of a class was lost its carried
// traffic is 0, although a t = 2.4e308 overflows to infinity.
TEST(SimulateLinkSubsetSystem, AClassWhoseCallsWereAllLostCarriesNothing) {
  const Group x{{8e307, 8e307}, {3.0, 3.0}, 1, 3, 1, 3, kMostFree};
  int checked = 0;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const auto r = Fast(x, seed);
    for (std::size_t i = 0; i < 2; ++i) {
      if (r.offered[i] == 0 || r.lost[i] != r.offered[i]) continue;
      EXPECT_EQ(Bits(r.E[i]), Bits(1.0)) << "seed " << seed;
      EXPECT_EQ(Bits(r.C[i]), Bits(0.0)) << "seed " << seed;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(SimulateLinkSubsetSystem, ReadsTheSeedSourceOncePerEngineInOrder) {
  // Three engines (arrivals, holding times, the run), then one per arrival
  // that finds a candidate under "ПервСвоб" -- here every arrival, since a
  // demand of 0 always fits -- or one for the whole run.
  Group x{{1.0}, {0.0}, 2, 3, 1, 10, kRandomFree};
  int reads = 0;
  Fast(x, 1, &reads);
  EXPECT_EQ(reads, 13);
  Fast(x, 1, &reads, RandomPlacementSeeding::kOneEnginePerRun);
  EXPECT_EQ(reads, 4);
  x.policy = kMostFree;
  Fast(x, 1, &reads, RandomPlacementSeeding::kOneEnginePerRun);
  EXPECT_EQ(reads, 3);
}

// One million calls from fixed seeds.  The tolerances are about four
// standard errors of the estimate, the standard errors measured by batch
// means (20 batches of 50000 calls): 0.00019 for B(10, 5), up to 0.0012 for
// the widest class on one link, 0.0005 with g = k = 4.
TEST(SimulateLinkSubsetSystem, MatchesTheoryWhereTheGroupHasOne) {
  struct TheoryCase {
    Group group;
    std::vector<double> theory;
    double tolerance;  // absolute, on each class's blocking
  };
  const Group rates{{6.0, 2.0, 1.0}, {1.0, 2.0, 5.0}, 1, 20, 1, 1000000, ""};
  const std::vector<TheoryCase> cases{
      // One link: the Erlang loss system, B(10, 5) = 0.0183846.
      {{{5.0}, {1.0}, 1, 10, 1, 1000000, ""}, {PalmTable(10, 5.0)}, 0.0008},
      // One link, three rates: full availability, which is what the
      // link-group model gives for one link (Kaufman-Roberts).
      {rates, LinkGroupModel(rates.a.data(), 3, rates.t.data(), 1, 20)->E, 0.005},
      // Every call sees all 4 links (g = k): a call of demand 1 is blocked
      // only when all 20 units are busy, whichever link policy.
      {{{15.0}, {1.0}, 4, 5, 4, 1000000, ""}, {PalmTable(20, 15.0)}, 0.002},
  };
  std::uint32_t seed = 7;
  for (const TheoryCase& c : cases) {
    for (const std::string& policy : {kMostFree, kFewestFree, kRandomFree}) {
      Group x = c.group;
      x.policy = policy;
      SCOPED_TRACE(Describe(x));
      const auto r = Fast(x, ++seed, nullptr, RandomPlacementSeeding::kOneEnginePerRun);
      for (std::size_t i = 0; i < c.theory.size(); ++i) {
        EXPECT_NEAR(r.E[i], c.theory[i], c.tolerance) << "class " << i;
      }
    }
  }
}

TEST(SimulateLinkSubsetSystem, AgreesWithAnIndependentLiteralRunOnSubsetsOfLinks) {
  // Four links of 6 units, calls offered to 2 of them; a narrow and a wide
  // class.  No closed form: the literal reference, on other seeds and
  // 200000 calls, is the yardstick.  Standard errors of the difference:
  // about 0.0002 (narrow) and 0.0011 (wide).
  Group x{{4.0, 1.0}, {1.0, 3.0}, 4, 6, 2, 1000000, ""};
  for (const std::string& policy : {kMostFree, kFewestFree, kRandomFree}) {
    x.policy = policy;
    SCOPED_TRACE(Describe(x));
    const auto fast = Fast(x, 31, nullptr, RandomPlacementSeeding::kOneEnginePerRun);
    Group shorter = x;
    shorter.N = 200000;
    const auto literal = Literal(shorter, 32);
    EXPECT_NEAR(fast.E[0], literal.E[0], 0.001);
    EXPECT_NEAR(fast.E[1], literal.E[1], 0.005);
  }
}

TEST(SimulateLinkSubsetSystem, FewestFreeKeepsRoomForWideCallsWhenEveryLinkIsOffered) {
  // g = k: packing narrow calls onto the fullest link leaves whole links
  // for wide ones.  Wide-class blocking about 0.0013 (fewest free),
  // 0.0041 (random) and 0.0083 (most free), standard errors near 0.0002.
  Group x{{4.0, 1.0}, {1.0, 3.0}, 4, 6, 4, 1000000, ""};
  std::vector<double> wide;
  for (const std::string& policy : {kFewestFree, kRandomFree, kMostFree}) {
    x.policy = policy;
    wide.push_back(Fast(x, 41, nullptr, RandomPlacementSeeding::kOneEnginePerRun).E[1]);
  }
  EXPECT_LT(wide[0] + 0.0015, wide[1]);
  EXPECT_LT(wide[1] + 0.002, wide[2]);
}

}  // namespace
}  // namespace moravel
