// The pieces of the link-subset simulation: the equal-weight choice
// against its full cumulative table, the uniform integer rule, subset
// unranking against the listed masks, and the link-choice rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "multiservice_sim/draws.h"
#include "multiservice_sim/link_choice.h"
#include "multiservice_sim/link_subsets.h"
#include "reference/link_subset_simulation_reference.h"

namespace moravel {
namespace {

// Against WeightedChoice over `count` weights of 1 at every boundary of its
// table: each compared entry, the doubles either side of it, and a spread of
// random u.
void ExpectSameIndexAsTable(std::int32_t count, int random_draws, std::size_t stride = 1) {
  SCOPED_TRACE("count = " + std::to_string(count));
  const WeightedChoice table(std::vector<double>(static_cast<std::size_t>(count), 1.0));
  const EqualWeightChoice choice(count);
  const double w = count != 1 ? 1.0 / count : 1.0;
  std::vector<double> us{0.0, 1.0 - 0x1p-53, 1.0};
  double q = w;  // the table's entries, summed as WeightedChoice sums them
  for (std::int32_t j = 0; j + 1 < count; ++j, q += w) {
    if (static_cast<std::size_t>(j) % stride == 0) {
      us.insert(us.end(), {q, std::nextafter(q, 0.0), std::nextafter(q, 2.0)});
    }
  }
  std::mt19937_64 engine(static_cast<std::uint64_t>(count));
  for (int n = 0; n < random_draws; ++n) {
    us.push_back(static_cast<double>(engine() >> 11) * 0x1p-53);
  }
  for (double u : us) ASSERT_EQ(choice.IndexOf(u), table.IndexOf(u)) << "u = " << u;
}

// Every count up to 3000; then powers of two (exact sums), their neighbours,
// primes, the subset counts of the benchmark groups, and counts above 2^23.
TEST(EqualWeightChoice, AgreesWithTheFullTable) {
  for (std::int32_t count = 1; count <= 3000; ++count) ExpectSameIndexAsTable(count, 200);
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
  EXPECT_EQ(choice.IndexOf(0.25), 0);                       // q_0 = 0.25 >= u
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
  struct Case {
    std::vector<std::uint32_t> outputs;
    std::uint32_t n, index;
  };
  for (const Case& c :
       std::vector<Case>{// n = 3: threshold (2^32 - 3) mod 3 = 1.  x = 0 gives the low word
                         // 0 < 1: rejected.  x = 2^31 gives 3 * 2^31 = 1 * 2^32 + 2^31: r = 1.
                         {{0u, 0x80000000u}, 3, 1},
                         {{0u}, 1, 0},              // n = 1 never rejects and always gives 0
                         {{0xffffffffu}, 7, 6}}) {  // the largest output maps to n - 1
    ScriptedOutputs outputs{c.outputs};
    EXPECT_EQ(UniformIndex(outputs, c.n), c.index) << "n = " << c.n;
    EXPECT_EQ(outputs.next, c.outputs.size()) << "n = " << c.n;
  }
}

// The small counts are checked against the listed masks below.
TEST(SubsetCount, RefusesWhatCannotBeNumberedIn32Bits) {
  constexpr std::int32_t kMax = 2147483647;
  struct Case {
    std::int32_t k, g;
    std::optional<std::int32_t> count;
  };
  for (const Case& c : std::vector<Case>{{33, 16, 1166803110},
                                         {34, 17, std::nullopt},  // 2333606220
                                         {kMax, 1, kMax},
                                         {65536, 2, 2147450880},
                                         {65537, 2, std::nullopt},  // 2147516416
                                         // g near k: exact even where an ascending product up to g
                                         // would pass through huge coefficients.
                                         {55, 55, 1},
                                         {55, 47, 1217566350},
                                         {1021, 1020, 1021},
                                         {kMax, kMax, 1},
                                         {kMax, kMax - 1, kMax},
                                         {kMax, 1073741823, std::nullopt},
                                         {4, 5, std::nullopt},
                                         {4, -1, std::nullopt},
                                         {-1, 0, std::nullopt}}) {
    EXPECT_EQ(SubsetCount(c.k, c.g), c.count) << c.k << " choose " << c.g;
  }
}

// k = 4, g = 2: 0011, 0101, 0110, 1001, 1010, 1100, in the library and in
// the reference that lists the masks (with f units per link).
TEST(SubsetLinks, NumbersTheSubsetsInTheOrderOfTheirMasks) {
  const std::vector<std::vector<std::int32_t>> expected{{2, 3}, {1, 3}, {1, 2},
                                                        {0, 3}, {0, 2}, {0, 1}};
  const SubsetLinks subsets(4, 2);
  std::vector<std::int32_t> links(2);
  for (std::int32_t s = 0; s < 6; ++s) {
    subsets.Unrank(s, links);
    EXPECT_EQ(links, expected[static_cast<std::size_t>(s)]) << "subset " << s;
  }
  EXPECT_EQ(reference::BuildSubsetUnits(4, 2, 1), expected);
  EXPECT_EQ(reference::BuildSubsetUnits(4, 2, 2)[1], (std::vector<std::int32_t>{2, 3, 6, 7}));
  EXPECT_EQ(reference::DistinctPermutations({1, 0, 1}),
            (std::vector<std::vector<std::int32_t>>{{0, 1, 1}, {1, 0, 1}, {1, 1, 0}}));
}

// Every group up to twelve links, and larger ones whose subsets take nearly
// all or few of the links.
TEST(SubsetLinks, AgreesWithTheListedMasks) {
  std::vector<std::pair<std::int32_t, std::int32_t>> groups{{60, 58}, {60, 2}, {40, 37}, {55, 54}};
  for (std::int32_t k = 0; k <= 12; ++k) {
    for (std::int32_t g = 0; g <= k; ++g) groups.emplace_back(k, g);
  }
  for (const auto& [k, g] : groups) {
    const auto units = reference::BuildSubsetUnits(k, g, 1);  // f = 1: units are links
    ASSERT_EQ(units.size(), static_cast<std::size_t>(*SubsetCount(k, g)));
    const SubsetLinks subsets(k, g);
    std::vector<std::int32_t> links(static_cast<std::size_t>(g));
    for (std::size_t s = 0; s < units.size(); ++s) {
      subsets.Unrank(static_cast<std::int32_t>(s), links);
      ASSERT_EQ(links, units[s]) << k << " " << g << " " << s;
    }
  }
}

// Groups too large to list, with and without a count table: the mask of
// subset s + 1 is the lexicographic successor of the mask of subset s.
TEST(SubsetLinks, StepsToTheNextMaskInLargeGroups) {
  struct Group {
    std::int32_t k, g;
  };
  for (const Group& x : {Group{65536, 2}, Group{65536, 65534}, Group{100000, 1},
                         Group{100000, 99999}, Group{2345, 3}, Group{30, 12}}) {
    SCOPED_TRACE(std::to_string(x.k) + " choose " + std::to_string(x.g));
    const std::int32_t count = SubsetCount(x.k, x.g).value();
    const SubsetLinks subsets(x.k, x.g);
    std::vector<std::int32_t> links(static_cast<std::size_t>(x.g));
    const auto mask = [&](std::int32_t s) {
      subsets.Unrank(s, links);
      std::vector<char> m(static_cast<std::size_t>(x.k), 0);
      for (std::int32_t link : links) m[static_cast<std::size_t>(link)] = 1;
      return m;
    };
    std::mt19937 gen(static_cast<std::uint32_t>(x.k + x.g));
    std::vector<std::int32_t> numbers{0, count - 2};
    for (int n = 0; n < 40; ++n) {
      numbers.push_back(std::uniform_int_distribution<std::int32_t>(0, count - 2)(gen));
    }
    for (std::int32_t s : numbers) {
      std::vector<char> successor = mask(s);
      ASSERT_TRUE(std::next_permutation(successor.begin(), successor.end()));
      ASSERT_EQ(mask(s + 1), successor) << "subset " << s;
    }
    std::vector<char> first = mask(0);
    EXPECT_FALSE(std::prev_permutation(first.begin(), first.end()));
    std::vector<char> last = mask(count - 1);
    EXPECT_FALSE(std::next_permutation(last.begin(), last.end()));
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

// The three keywords are told apart in every run checked against the
// literal reference, which compares the bytes itself; prefixes, longer texts
// and other code pages are refused in bad_input_test.  Case counts too.
TEST(PolicyFromKeyword, ComparesTheWholeKeywordByteForByte) {
  EXPECT_EQ(PolicyFromKeyword("максСвоб"), LinkPolicy::kNone);
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
