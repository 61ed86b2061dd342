// The pieces of the link-subset simulation: the equal-weight choice
// against its full cumulative table, the uniform integer rule, subset
// unranking against the listed masks, and the link-choice rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "multiservice_sim/draws.h"
#include "multiservice_sim/link_choice.h"
#include "multiservice_sim/link_subsets.h"
#include "reference/link_subset_simulation_reference.h"
#include "support/bits.h"

namespace moravel {
namespace {

using testing::Bits;

// The cumulative table of `count` weights of 1, built as WeightedChoice
// builds it, and its lower-bound search over entries 0 .. count - 2.
std::vector<double> EqualWeightTable(std::int32_t count) {
  std::vector<double> q(static_cast<std::size_t>(count));
  double sum = 0.0;
  for (std::int32_t j = 0; j < count; ++j) sum += 1.0;
  const double w = sum != 1.0 ? 1.0 / sum : 1.0;
  q[0] = w;
  for (std::size_t j = 1; j < q.size(); ++j) q[j] = q[j - 1] + w;
  return q;
}

std::int32_t TableIndex(const std::vector<double>& q, double u) {
  return static_cast<std::int32_t>(std::lower_bound(q.begin(), q.end() - 1, u) - q.begin());
}

// Every boundary of the table: each compared entry, the doubles either
// side of it, and a spread of random u.
void ExpectSameIndexAsTable(std::int32_t count, int random_draws, std::size_t stride = 1) {
  SCOPED_TRACE("count = " + std::to_string(count));
  const auto q = EqualWeightTable(count);
  const EqualWeightChoice choice(count);
  for (std::size_t j = 0; j + 1 < q.size(); j += stride) {
    for (double u : {q[j], std::nextafter(q[j], 0.0), std::nextafter(q[j], 2.0)}) {
      ASSERT_EQ(choice.IndexOf(u), TableIndex(q, u)) << "j = " << j << ", u = " << u;
    }
  }
  std::mt19937_64 engine(static_cast<std::uint64_t>(count));
  for (int n = 0; n < random_draws; ++n) {
    const double u = static_cast<double>(engine() >> 11) * 0x1p-53;
    ASSERT_EQ(choice.IndexOf(u), TableIndex(q, u)) << "u = " << u;
  }
  for (double u : {0.0, 1.0 - 0x1p-53, 1.0}) ASSERT_EQ(choice.IndexOf(u), TableIndex(q, u));
}

TEST(EqualWeightChoice, AgreesWithTheFullTableForEverySmallCount) {
  for (std::int32_t count = 1; count <= 3000; ++count) ExpectSameIndexAsTable(count, 200);
}

TEST(EqualWeightChoice, AgreesWithTheFullTableForLargeCounts) {
  // Powers of two (exact sums), their neighbours, primes, the subset counts
  // of the benchmark groups, and a count above 2^23.
  for (std::int32_t count : {4096, 4097, 65535, 65536, 65537, 12870, 184756, 1000003}) {
    ExpectSameIndexAsTable(count, 20000);
  }
  for (std::int32_t count : {16777216, 16777259}) ExpectSameIndexAsTable(count, 20000, 97);
}

// Tables too large to hold: walk their sums once against sorted u below
// `u_limit`.
void ExpectSameIndexAsWalk(std::int32_t count, double u_limit) {
  SCOPED_TRACE("count = " + std::to_string(count));
  const EqualWeightChoice choice(count);
  std::mt19937_64 engine(static_cast<std::uint64_t>(count));
  std::vector<double> us;
  for (int n = 0; n < 2000; ++n) {
    us.push_back(static_cast<double>(engine() >> 11) * 0x1p-53 * u_limit);
  }
  std::sort(us.begin(), us.end());
  const double w = 1.0 / static_cast<double>(count);
  double q = w;
  std::int32_t j = 0;
  for (double u : us) {
    while (j < count - 1 && q < u) {
      q += w;
      ++j;
    }
    ASSERT_EQ(choice.IndexOf(u), j) << "u = " << u;
    if (j < count - 1) {  // the entries either side of this boundary
      ASSERT_EQ(choice.IndexOf(q), j);
      ASSERT_EQ(choice.IndexOf(std::nextafter(q, 2.0)), j + 1);
    }
  }
}

TEST(EqualWeightChoice, AgreesWithAWalkThroughTablesTooLargeToHold) {
  ExpectSameIndexAsWalk(123456789, 1.0);
  ExpectSameIndexAsWalk(2147483647, 1.0 / 16);  // the largest count, its first binades
}

TEST(WeightedChoice, NormalisesUnlessTheSumIsOneAndNeverComparesTheLastEntry) {
  const std::vector<double> weights{1.0, 0.0, 3.0};
  const WeightedChoice choice(weights);
  EXPECT_EQ(choice.IndexOf(0.0), 0);
  EXPECT_EQ(choice.IndexOf(0.25), 0);                     // q_0 = 0.25 >= u
  EXPECT_EQ(choice.IndexOf(std::nextafter(0.25, 1.0)), 2);  // the zero weight is skipped
  EXPECT_EQ(choice.IndexOf(1.0), 2);
  // Weights summing to exactly 1 are used as they stand.
  const std::vector<double> halves{0.5, 0.5};
  EXPECT_EQ(WeightedChoice(halves).IndexOf(0.5), 0);
  // No weights: one index.
  EXPECT_EQ(WeightedChoice(std::span<const double>()).IndexOf(0.7), 0);
}

// Feeds scripted outputs.
struct ScriptedOutputs {
  std::vector<std::uint32_t> values;
  std::size_t next = 0;
  std::uint32_t operator()() { return values.at(next++); }
};

TEST(UniformIndex, RejectsTheLowWordsThatWouldBiasTheDraw) {
  // n = 3: threshold (2^32 - 3) mod 3 = 1.  x = 0 gives the low word 0 < 1:
  // rejected.  x = 2^31 gives 3 * 2^31 = 1 * 2^32 + 2^31: r = 1.
  ScriptedOutputs outputs{{0u, 0x80000000u}};
  EXPECT_EQ(UniformIndex(outputs, 3), 1u);
  EXPECT_EQ(outputs.next, 2u);
  // n = 1 never rejects and always gives 0.
  ScriptedOutputs one{{0u}};
  EXPECT_EQ(UniformIndex(one, 1), 0u);
  // The largest output maps to n - 1.
  ScriptedOutputs top{{0xffffffffu}};
  EXPECT_EQ(UniformIndex(top, 7), 6u);
}

TEST(ExponentialTimes, UsesMinusLogOfOneMinusUOverTheRate) {
  ExponentialTimes times(5489u, 2.5);
  Mt19937 engine(5489u);
  for (int n = 0; n < 5; ++n) {
    const double u = CanonicalUniform(engine);
    EXPECT_EQ(Bits(times.Next()), Bits(-std::log(1.0 - u) / 2.5));
  }
}

TEST(SubsetCount, RefusesWhatCannotBeNumberedIn32Bits) {
  EXPECT_EQ(SubsetCount(4, 2), 6);
  EXPECT_EQ(SubsetCount(0, 0), 1);
  EXPECT_EQ(SubsetCount(16, 8), 12870);
  EXPECT_EQ(SubsetCount(33, 16), 1166803110);
  EXPECT_EQ(SubsetCount(34, 17), std::nullopt);  // 2333606220
  EXPECT_EQ(SubsetCount(2147483647, 1), 2147483647);
  // g near k: the count is exact even where an ascending product up to g
  // would pass through huge coefficients.
  EXPECT_EQ(SubsetCount(55, 55), 1);
  EXPECT_EQ(SubsetCount(55, 47), 1217566350);
  EXPECT_EQ(SubsetCount(1021, 1020), 1021);
  EXPECT_EQ(SubsetCount(2147483647, 2147483647), 1);
  EXPECT_EQ(SubsetCount(2147483647, 2147483646), 2147483647);
  EXPECT_EQ(SubsetCount(2147483647, 1073741823), std::nullopt);
  EXPECT_EQ(SubsetCount(65536, 2), 2147450880);
  EXPECT_EQ(SubsetCount(65537, 2), std::nullopt);  // 2147516416
  EXPECT_EQ(SubsetCount(4, 5), std::nullopt);
  EXPECT_EQ(SubsetCount(4, -1), std::nullopt);
  EXPECT_EQ(SubsetCount(-1, 0), std::nullopt);
}

TEST(SubsetLinks, NumbersTheSubsetsInTheOrderOfTheirMasks) {
  // k = 4, g = 2: 0011, 0101, 0110, 1001, 1010, 1100.
  const std::vector<std::vector<std::int32_t>> expected{{2, 3}, {1, 3}, {1, 2},
                                                        {0, 3}, {0, 2}, {0, 1}};
  const SubsetLinks subsets(4, 2);
  std::vector<std::int32_t> links(2);
  for (std::int32_t s = 0; s < 6; ++s) {
    subsets.Unrank(s, links);
    EXPECT_EQ(links, expected[static_cast<std::size_t>(s)]) << "subset " << s;
  }
}

TEST(SubsetLinks, AgreesWithTheListedMasksForEveryGroupUpToTwelveLinks) {
  for (std::int32_t k = 0; k <= 12; ++k) {
    for (std::int32_t g = 0; g <= k; ++g) {
      const auto units = reference::BuildSubsetUnits(k, g, 1);  // f = 1: units are links
      const std::int32_t count = *SubsetCount(k, g);
      ASSERT_EQ(units.size(), static_cast<std::size_t>(count));
      const SubsetLinks subsets(k, g);
      std::vector<std::int32_t> links(static_cast<std::size_t>(g));
      for (std::int32_t s = 0; s < count; ++s) {
        subsets.Unrank(s, links);
        ASSERT_EQ(links, units[static_cast<std::size_t>(s)]) << k << " " << g << " " << s;
      }
    }
  }
}

TEST(SubsetLinks, AgreesWithTheListedMasksWhenTheSubsetsAreNearlyAllOrFewLinks) {
  for (const auto& [k, g] : {std::pair{60, 58}, std::pair{60, 2}, std::pair{40, 37},
                             std::pair{55, 54}}) {
    const auto units = reference::BuildSubsetUnits(k, g, 1);
    ASSERT_EQ(units.size(), static_cast<std::size_t>(*SubsetCount(k, g)));
    const SubsetLinks subsets(k, g);
    std::vector<std::int32_t> links(static_cast<std::size_t>(g));
    for (std::size_t s = 0; s < units.size(); ++s) {
      subsets.Unrank(static_cast<std::int32_t>(s), links);
      ASSERT_EQ(links, units[s]) << k << " " << g << " " << s;
    }
  }
}

TEST(SubsetLinks, ReachesTheEndsOfTheLargestNumbering) {
  const std::int32_t count = *SubsetCount(33, 16);
  const SubsetLinks subsets(33, 16);
  std::vector<std::int32_t> links(16);
  subsets.Unrank(0, links);
  EXPECT_EQ(links.front(), 17);
  EXPECT_EQ(links.back(), 32);
  subsets.Unrank(count - 1, links);
  EXPECT_EQ(links.front(), 0);
  EXPECT_EQ(links.back(), 15);
}

TEST(ReferenceSubsets, ListsTheUnitsOfEachSubsetLinkByLink) {
  const auto units = reference::BuildSubsetUnits(4, 2, 2);
  ASSERT_EQ(units.size(), 6u);
  EXPECT_EQ(units[1], (std::vector<std::int32_t>{2, 3, 6, 7}));
  EXPECT_EQ(reference::DistinctPermutations({1, 0, 1}),
            (std::vector<std::vector<std::int32_t>>{{0, 1, 1}, {1, 0, 1}, {1, 1, 0}}));
}

TEST(PolicyFromKeyword, ComparesTheWholeKeywordByteForByte) {
  struct Case {
    const char* keyword;
    LinkPolicy policy;
  };
  const Case cases[] = {
      {"МаксСвоб", LinkPolicy::kMostFree},
      {"МинСвоб", LinkPolicy::kFewestFree},
      {"ПервСвоб", LinkPolicy::kRandomFree},
      {"", LinkPolicy::kNone},
      {"МаксСво", LinkPolicy::kNone},     // a prefix
      {"МаксСвоб ", LinkPolicy::kNone},   // a longer text
      {"максСвоб", LinkPolicy::kNone},    // another case
      {"\xCC\xE0\xEA\xF1\xD1\xE2\xEE\xE1", LinkPolicy::kNone},  // the 8-bit code page
      {"max-free", LinkPolicy::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(PolicyFromKeyword(c.keyword), c.policy) << c.keyword;
}

std::uint32_t NoDraw(std::uint32_t) {
  ADD_FAILURE() << "no draw expected";
  return 0;
}

TEST(ChooseLink, PicksByFreeUnitsWithTiesToTheLowestPosition) {
  struct Case {
    std::vector<std::int32_t> free;
    std::int64_t demand;
    LinkPolicy policy;
    std::optional<std::int32_t> position;
  };
  const Case cases[] = {
      {{5, 2, 3}, 2, LinkPolicy::kFewestFree, 1},
      {{5, 2, 3}, 2, LinkPolicy::kMostFree, 0},
      {{5, 2, 3}, 3, LinkPolicy::kFewestFree, 2},
      {{3, 4, 4}, 1, LinkPolicy::kMostFree, 1},    // tie: lowest position
      {{4, 2, 2}, 1, LinkPolicy::kFewestFree, 1},  // tie: lowest position
      {{1, 0, 1}, 2, LinkPolicy::kMostFree, std::nullopt},
      {{5, 2, 3}, 2, LinkPolicy::kNone, std::nullopt},
      {{}, 0, LinkPolicy::kMostFree, std::nullopt},  // no links at all
      {{0, 0}, 0, LinkPolicy::kFewestFree, 0},       // a demand of 0 fits anywhere
  };
  for (const Case& c : cases) {
    const auto choice = ChooseLink(c.free, c.demand, c.policy, NoDraw);
    ASSERT_EQ(choice.has_value(), c.position.has_value());
    if (choice) {
      EXPECT_EQ(choice->position, *c.position);
      EXPECT_EQ(choice->free, c.free[static_cast<std::size_t>(*c.position)]);
    }
  }
}

TEST(ChooseLink, RandomFreeDrawsAmongTheCandidatesOnly) {
  const std::vector<std::int32_t> free{3, 0, 4, 1, 2};
  std::vector<std::uint32_t> asked;
  const auto pick = [&](std::uint32_t r) {
    return ChooseLink(free, 2, LinkPolicy::kRandomFree, [&](std::uint32_t n) {
      asked.push_back(n);
      return r;
    });
  };
  EXPECT_EQ(pick(0)->position, 0);
  EXPECT_EQ(pick(1)->position, 2);
  EXPECT_EQ(pick(2)->position, 4);
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{3, 3, 3}));
  // No candidate: no draw.
  EXPECT_FALSE(ChooseLink(free, 5, LinkPolicy::kRandomFree, NoDraw));
}

TEST(ChooseLink, RandomFreeTakesEitherOfTwoEqualLinksHalfTheTime) {
  const std::vector<std::int32_t> free{2, 2};
  std::mt19937 seeds(7);
  int first = 0;
  constexpr int kArrivals = 20000;
  for (int n = 0; n < kArrivals; ++n) {
    const auto choice = ChooseLink(free, 1, LinkPolicy::kRandomFree, [&](std::uint32_t count) {
      Mt19937 fresh(static_cast<std::uint32_t>(seeds()));
      return UniformIndex(fresh, count);
    });
    if (choice->position == 0) ++first;
  }
  // Binomial(20000, 1/2): standard deviation 71; allow 5 of them.
  EXPECT_NEAR(first, kArrivals / 2, 355);
}

}  // namespace
}  // namespace moravel
