// The multi-service link-group and link-subset models through their C
// exports and their model functions: published example groups, the
// reductions to simpler systems, and what lies beyond the transcription's
// domain: demands of 2^31 and more, groups too large to hold.  (Refused
// shapes: bad_input_test; the size limit itself: multiservice_counting_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "moravel.h"
#include "support/capped_child.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string LinkGroupText(const std::vector<double>& a, const std::vector<double>& t,
                          std::int32_t k, std::int32_t f) {
  return VM_VMl_V_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(), k, f);
}

std::string LinkSubsetText(const std::vector<double>& a, const std::vector<double>& t,
                           std::int32_t k, std::int32_t f, std::int32_t g) {
  return VM_VMl_VDg_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(), k, f, g);
}

TEST(MultiserviceExamples, PublishedGroupsGiveTheirFigures) {
  struct Example {
    std::vector<double> a, t;
    std::int32_t k, f, g;
    std::string link_group, link_subset;  // "" where no figure is published
  };
  const std::vector<Example> examples = {
      {{2.0, 1.0},
       {1.0, 2.0},
       2,
       5,
       2,
       "0.0101235 1.97975 0.047202 1.9056 ",
       "0.0101235 1.97975 0.047202 1.9056 "},
      {{2.0, 1.0},
       {1.0, 2.0},
       2,
       5,
       1,
       "0.0101235 1.97975 0.047202 1.9056 ",
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

// Offered to all k links, a call meets the link-group blocking.
TEST(MultiserviceReductions, WholeSubsetMatchesTheLinkGroup) {
  struct Case {
    std::vector<double> a, t;
    std::int32_t k, f;
  };
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

// Demands beyond 2^31, infinite ones included, are counted as wider than a
// link with no out-of-range conversion.
TEST(MultiserviceEdges, EnormousDemandsAreJustTooWide) {
  const std::vector<double> a = {2.0, 1.0};
  for (double huge : {2147483648.0, 1e300, std::numeric_limits<double>::infinity()}) {
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

#if !defined(_WIN32)  // address-space caps and forked children are POSIX
// A group of 2^31 - 1 units is accepted, and runs out of memory: the export
// answers with the empty text instead of letting the failure escape.
TEST(MultiserviceRefusals, MemoryExhaustionGivesTheEmptyText) {
  moravel::testing::ExpectRightUnderAddressCap(0, [] {
    const double a[1] = {1.0};
    const double t[1] = {1.0};
    return std::string(VM_VMl_V_L_an(a, 1, t, 1, kMax)).empty() &&
           std::string(VM_VMl_VDg_L_an(a, 1, t, 1, kMax, 1)).empty();
  });
}
#endif

}  // namespace
