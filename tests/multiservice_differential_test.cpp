// The tabulated link-group models against their plain transcription, over
// thousands of generated groups: the same bits in every result and the same
// result text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "moravel.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"
#include "multiservice/occupancy_distribution.h"
#include "reference/multiservice_reference.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::kInf;

struct Group {
  std::vector<double> a;
  std::vector<double> t;
  std::int32_t k = 0;
  std::int32_t f = 0;
  std::int32_t g = 0;

  std::int32_t M() const { return static_cast<std::int32_t>(a.size()); }
  std::string Describe() const {
    std::string s = "k=" + std::to_string(k) + " f=" + std::to_string(f) +
                    " g=" + std::to_string(g) + " classes";
    for (std::size_t i = 0; i < a.size(); ++i) {
      s += " " + std::to_string(a[i]) + ":" + std::to_string(t[i]);
    }
    return s;
  }
};

// M up to 4, k up to 6, f up to 20, g in 1..k, demands 0..f+1 in quarter
// units (a third of them fractional), offered traffic from 0 to about the
// capacity (in units), now and then 0 or up to the capacity in erlangs.
Group Generate(std::mt19937_64& engine) {
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine); };
  auto real = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine);
  };
  Group group;
  group.k = uniform(1, 6);
  group.f = uniform(1, 20);
  group.g = uniform(1, group.k);
  const int M = uniform(1, 4);
  const double capacity = static_cast<double>(group.k) * group.f;
  for (int i = 0; i < M; ++i) {
    double demand = uniform(0, group.f + 1);
    if (uniform(0, 2) == 0 && demand <= group.f) demand += 0.25 * uniform(1, 3);
    group.t.push_back(demand);
    const int kind = uniform(0, 9);
    group.a.push_back(kind == 0   ? 0.0
                      : kind == 1 ? real(0.0, capacity)  // heavy overload
                                  : real(0.0, 1.2 * capacity / (M * (demand + 1.0))));
  }
  return group;
}

void ExpectSameBits(const std::vector<double>& fast, const std::vector<double>& slow,
                    const std::string& what, const Group& group) {
  ASSERT_EQ(fast.size(), slow.size()) << what << ": " << group.Describe();
  for (std::size_t i = 0; i < fast.size(); ++i) {
    ASSERT_EQ(Bits(fast[i]), Bits(slow[i]))
        << what << "[" << i << "] " << fast[i] << " vs " << slow[i] << ": " << group.Describe();
  }
}

// The occupancy distribution, both models' figures and both exports'
// texts, against the transcription.
void ExpectSameAsTranscription(const Group& group) {
  const double* a = group.a.data();
  const double* t = group.t.data();
  ExpectSameBits(moravel::OccupancyDistribution(a, t, group.M(), group.k, group.f),
                 moravel::reference::OccupancyDistribution(a, t, group.M(), group.k, group.f), "Q",
                 group);
  const auto fast_group = moravel::LinkGroupModel(a, group.M(), t, group.k, group.f);
  const auto slow_group = moravel::reference::LinkGroupModel(a, group.M(), t, group.k, group.f);
  ASSERT_TRUE(fast_group.has_value());
  ExpectSameBits(fast_group->E, slow_group.E, "link-group E", group);
  ExpectSameBits(fast_group->C, slow_group.C, "link-group C", group);
  ASSERT_EQ(std::string(VM_VMl_V_L_an(a, group.M(), t, group.k, group.f)),
            moravel::reference::LinkGroupText(a, group.M(), t, group.k, group.f))
      << group.Describe();
  const auto fast_subset = moravel::LinkSubsetModel(a, group.M(), t, group.k, group.f, group.g);
  const auto slow_subset =
      moravel::reference::LinkSubsetModel(a, group.M(), t, group.k, group.f, group.g);
  ASSERT_TRUE(fast_subset.has_value());
  ExpectSameBits(fast_subset->E, slow_subset.E, "link-subset E", group);
  ExpectSameBits(fast_subset->C, slow_subset.C, "link-subset C", group);
  ASSERT_EQ(std::string(VM_VMl_VDg_L_an(a, group.M(), t, group.k, group.f, group.g)),
            moravel::reference::LinkSubsetText(a, group.M(), t, group.k, group.f, group.g))
      << group.Describe();
}

TEST(MultiserviceDifferential, GeneratedGroupsMatchTheTranscriptionBitForBit) {
  std::mt19937_64 engine(20240611);
  for (int c = 0; c < 3000; ++c) {
    ExpectSameAsTranscription(Generate(engine));
    if (HasFatalFailure()) return;
  }
}

// The corners the generator rarely meets: empty groups, no classes, g = 0
// and g = k, a class repeated, demands beyond the group.
TEST(MultiserviceDifferential, CornerGroupsMatchTheTranscription) {
  const std::vector<Group> groups = {
      {{}, {}, 3, 4, 2},
      {{2.0}, {1.0}, 0, 5, 0},
      {{2.0, 1.0}, {1.0, 3.0}, 4, 0, 2},
      {{2.0, 1.0}, {0.0, 0.5}, 3, 4, 0},
      {{2.0, 1.0, 0.5}, {1.0, 2.0, 9.0}, 3, 4, 3},
      {{1.5, 1.5, 1.5}, {2.0, 2.0, 2.75}, 2, 6, 1},
      {{7.0}, {13.0}, 1, 12, 1},
      {{4.0, 0.0}, {3.5, 4.0}, 5, 4, 5},
      // Traffic that is no number at all: Q is not finite, and no zero term
      // may be skipped.
      {{kInf, 1.0}, {1.0, 3.0}, 2, 5, 1},
      {{std::nan(""), 1.0}, {1.0, 3.0}, 2, 5, 2},
      {{-3.0, 2.0}, {1.0, 2.0}, 3, 4, 1},
  };
  for (const Group& group : groups) ExpectSameAsTranscription(group);
}

}  // namespace
