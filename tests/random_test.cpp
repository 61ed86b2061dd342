// The random source: MT19937 outputs, the uniform values built from them,
// and the seed of the second stream.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "random/mt19937.h"
#include "random/second_seed.h"
#include "random/uniform.h"
#include "support/bits.h"

namespace moravel {
namespace {

using testing::Bits;

// The standard library's engine is the reference, over several
// regenerations of the state.
TEST(Mt19937, MatchesStandardEngineAcrossRegenerations) {
  for (const std::uint32_t seed : {1u, 5489u, 0x80000000u, 0xffffffffu, 0u}) {
    Mt19937 engine(seed);
    std::mt19937 standard(seed);
    for (int i = 0; i < 2000; ++i)
      ASSERT_EQ(engine(), standard()) << "seed " << seed << " output " << i;
  }
}

TEST(Mt19937, DiscardSkipsExactlyThatManyOutputs) {
  for (const std::uint64_t skip : {0u, 1u, 2u, 623u, 624u, 625u, 1247u, 5000u}) {
    Mt19937 skipped(77u);
    Mt19937 stepped(77u);
    stepped();  // start mid-block, so both paths of Discard are taken
    skipped();
    skipped.Discard(skip);
    for (std::uint64_t i = 0; i < skip; ++i) stepped();
    EXPECT_EQ(skipped(), stepped()) << "skip " << skip;
  }
}

TEST(CanonicalUniform, SecondOutputGivesTheHighBits) {
  Mt19937 engine(5489u);
  // (581869302 * 2^21 + (3499211612 >> 11)) * 2^-53
  EXPECT_EQ(CanonicalUniform(engine), 1220268372136503.0 * 0x1p-53);
}

// Expected values from an independent transcription of the engine and the
// rule (b + 2^-52 - a) u + a.
TEST(UniformSample, FirstValuesForFixedSeeds) {
  struct Case {
    std::uint32_t seed;
    double a, b;
    std::vector<std::uint64_t> bits;
  };
  const Case cases[] = {
      {5489u, 0.0, 1.0, {0x3fc1574f7b6848ddu}},
      {1u, 0.0, 1.0, {0x3fefe8f01d6d5840u, 0x3fedd78289170ce7u, 0x3fc06661c48003bdu}},
      {0xffffffffu, 0.0, 1.0, {0x3fbc92412218fe6au, 0x3fe2019588fd323eu, 0x3fe0d79fc8193fc7u}},
      {42u, -2.0, 3.0, {0x3fffb933480df694u, 0xbff153416b53f160u, 0x3ffe6012566a8f3cu}},
  };
  for (const Case& c : cases) {
    const auto values = UniformSample(static_cast<std::int32_t>(c.bits.size()), c.a, c.b, c.seed);
    ASSERT_EQ(values.size(), c.bits.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      EXPECT_EQ(Bits(values[i]), c.bits[i]) << "seed " << c.seed << " value " << i;
    }
  }
}

TEST(UniformSample, SizedByTheCountAndThrowsLengthErrorForANegativeOne) {
  EXPECT_TRUE(UniformSample(0, 0.0, 1.0, 5489u).empty());
  for (const std::int32_t n : {-1, -2147483647 - 1}) {
    try {
      UniformSample(n, 0.0, 1.0, 1u);
      ADD_FAILURE() << "no exception for n = " << n;
    } catch (const std::length_error& e) {
      EXPECT_STREQ(e.what(), "vector too long");
    }
  }
}

TEST(UniformSample, ClockSeededListsDiffer) {
  EXPECT_NE(UniformSample(100, 0.0, 1.0, 0u), UniformSample(100, 0.0, 1.0, 0u));
}

// The rule is a conjugate of a fixed-point-free cycle; this checks it, and
// that UnmixSeed undoes MixSeed, over every 32-bit word.  The loop is written
// to vectorise (about 4 s with AVX2).
#if defined(__GNUC__) && defined(__x86_64__) && defined(__ELF__)  // clones need ELF's ifunc
__attribute__((target_clones("avx2", "default"), optimize("O3")))
#endif
std::uint32_t
FailuresAmongSeedsWithHighHalf(std::uint32_t high) {
  std::uint32_t failures = 0;
  for (std::uint32_t low = 0; low < 65536u; ++low) {
    const std::uint32_t seed = (high << 16) | low;
    const std::uint32_t second = SecondSeed(seed);
    // Bitwise, not short-circuit, so that the loop has no branch.
    const std::uint32_t nonzero_bad = (second == 0u ? 1u : 0u) | (second == seed ? 1u : 0u) |
                                      (UnmixSeed(MixSeed(seed)) != seed ? 1u : 0u);
    failures += seed == 0u ? (second != 0u ? 1u : 0u) : nonzero_bad;
  }
  return failures;
}

TEST(SecondSeed, NonzeroAndDifferentForEverySeed) {
  std::uint64_t failures = 0;
  for (std::uint32_t high = 0; high < 65536u; ++high)
    failures += FailuresAmongSeedsWithHighHalf(high);
  EXPECT_EQ(failures, 0u);
  EXPECT_EQ(SecondSeed(0u), 0u);
}

TEST(SecondSeed, StreamSeeds) {
  const StreamSeeds fixed = SimulationStreamSeeds(12345u);
  EXPECT_EQ(fixed.arrival, 12345u);
  EXPECT_EQ(fixed.holding, SecondSeed(12345u));
  const StreamSeeds clock = SimulationStreamSeeds(0u);
  EXPECT_NE(clock.arrival, clock.holding);
}

}  // namespace
}  // namespace moravel
