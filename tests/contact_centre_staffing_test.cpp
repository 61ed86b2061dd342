// Staffing a contact centre: the least agents and the largest traffic for
// each goal, against a plain search over the model, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <random>

#include "moravel/api.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::kInf;
using moravel::testing::kNaN;
using moravel::testing::Text;

bool Meets(const moravel_contact_centre_result& r, std::int32_t goal, double target,
           double max_occupancy) {
  if (!(r.occupancy <= max_occupancy)) return false;
  switch (goal) {
    case MORAVEL_GOAL_SERVICE_LEVEL: return r.service_level >= target;
    case MORAVEL_GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS:
      return r.service_level_excluding_short_abandons >= target;
    case MORAVEL_GOAL_MEAN_ANSWER_WAIT: return r.mean_answer_wait <= target;
    case MORAVEL_GOAL_ABANDON_PROBABILITY: return r.abandon_probability <= target;
    case MORAVEL_GOAL_WAIT_PROBABILITY: return r.wait_probability <= target;
  }
  return false;
}

// The plain search: n = 1, 2, ... up to the limit.
std::int32_t PlainLeastAgents(double A, double h, double p, std::int32_t lines, double t,
                              std::int32_t goal, double target, double max_occupancy,
                              std::int32_t limit) {
  for (std::int32_t n = 1; n <= limit; ++n) {
    moravel_contact_centre_result r;
    if (moravel_contact_centre(A, h, p, n, lines, t, &r) != MORAVEL_OK) continue;
    if (Meets(r, goal, target, max_occupancy)) return n;
  }
  return 0;
}

TEST(ContactCentreStaffing, KnownAnswers) {
  // 20 erlangs of 180 s calls, callers giving up after 120 s on average:
  // 80% of all offered calls answered within 20 s.
  std::int32_t agents = 0;
  moravel_contact_centre_result r;
  ASSERT_EQ(moravel_contact_centre_agents(20.0, 180.0, 120.0, 0, 20.0, MORAVEL_GOAL_SERVICE_LEVEL,
                                          0.8, 1.0, &agents, &r),
            MORAVEL_OK);
  EXPECT_EQ(agents, 22);
  EXPECT_EQ(Text(r.service_level), "0.828822");
  // Callers who never hang up: the delay system's 24 agents.
  ASSERT_EQ(moravel_contact_centre_agents(20.0, 180.0, kInf, 0, 20.0, MORAVEL_GOAL_SERVICE_LEVEL,
                                          0.8, 1.0, &agents, nullptr),
            MORAVEL_OK);
  EXPECT_EQ(agents, 24);
  double traffic = 0.0;
  ASSERT_EQ(moravel_contact_centre_traffic(24, 180.0, kInf, 0, 20.0, MORAVEL_GOAL_SERVICE_LEVEL,
                                           0.8, 1.0, &traffic, nullptr),
            MORAVEL_OK);
  EXPECT_EQ(Text(traffic), "20.0938");
}

TEST(ContactCentreStaffing, LeastAgentsAreThoseOfAPlainSearch) {
  std::mt19937_64 engine(20);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const std::int32_t goals[] = {1, 2, 3, 4, 5};
  for (int c = 0; c < 150; ++c) {
    const double A = std::pow(10.0, 2.3 * unit(engine) - 1.0);
    const double h = 180.0;
    const double p = c % 7 == 0 ? kInf : h * std::pow(10.0, 3.0 * unit(engine) - 1.5);
    const std::int32_t lines = c % 3 == 0 ? static_cast<std::int32_t>(A) + 5 + c % 11 : 0;
    const double t = c % 5 == 0 ? 0.0 : 60.0 * unit(engine);
    const std::int32_t goal = goals[c % 5];
    const double target = goal == MORAVEL_GOAL_MEAN_ANSWER_WAIT ? 60.0 * unit(engine) + 0.1
                          : goal <= 2                           ? 0.5 + 0.45 * unit(engine)
                                                                : 0.3 * unit(engine) + 0.005;
    const double max_occupancy = c % 4 == 0 ? 0.6 + 0.4 * unit(engine) : 1.0;
    const std::int32_t limit = lines == 0 ? static_cast<std::int32_t>(A) * 4 + 60 : lines;
    const std::int32_t plain =
        PlainLeastAgents(A, h, p, lines, t, goal, target, max_occupancy, limit);
    std::int32_t agents = -1;
    moravel_contact_centre_result r;
    const moravel_status status =
        moravel_contact_centre_agents(A, h, p, lines, t, goal, target, max_occupancy, &agents, &r);
    if (plain == 0) {
      // Unreached by the plain search within its limit: only an
      // unreachable goal (lines) or an answer beyond the limit.
      if (status == MORAVEL_OK) {
        EXPECT_GT(agents, limit) << c;
      }
      continue;
    }
    ASSERT_EQ(status, MORAVEL_OK) << c;
    EXPECT_EQ(agents, plain) << "case " << c << " A " << A << " p " << p << " goal " << goal;
    moravel_contact_centre_result direct;
    ASSERT_EQ(moravel_contact_centre(A, h, p, agents, lines, t, &direct), MORAVEL_OK);
    EXPECT_EQ(Bits(r.service_level), Bits(direct.service_level)) << c;
    EXPECT_EQ(Bits(r.mean_answer_wait), Bits(direct.mean_answer_wait)) << c;
  }
}

TEST(ContactCentreStaffing, LargestTrafficEndsOnTheLastMeetingDouble) {
  const struct {
    std::int32_t n, lines, goal;
    double p, target, max_occupancy;
  } rows[] = {{24, 0, MORAVEL_GOAL_SERVICE_LEVEL, 120.0, 0.8, 1.0},
              {24, 30, MORAVEL_GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS, 120.0, 0.8, 1.0},
              {100, 0, MORAVEL_GOAL_MEAN_ANSWER_WAIT, 300.0, 15.0, 1.0},
              {100, 0, MORAVEL_GOAL_ABANDON_PROBABILITY, 300.0, 0.05, 0.85},
              {7, 0, MORAVEL_GOAL_WAIT_PROBABILITY, kInf, 0.2, 1.0}};
  for (const auto& row : rows) {
    double A = 0.0;
    moravel_contact_centre_result r;
    ASSERT_EQ(moravel_contact_centre_traffic(row.n, 180.0, row.p, row.lines, 20.0, row.goal,
                                             row.target, row.max_occupancy, &A, &r),
              MORAVEL_OK)
        << row.n;
    EXPECT_TRUE(Meets(r, row.goal, row.target, row.max_occupancy)) << row.n;
    moravel_contact_centre_result above;
    const double next = std::nextafter(A, kInf);
    if (moravel_contact_centre(next, 180.0, row.p, row.n, row.lines, 20.0, &above) == MORAVEL_OK) {
      EXPECT_FALSE(Meets(above, row.goal, row.target, row.max_occupancy)) << row.n;
    }
  }
}

TEST(ContactCentreStaffing, Refusals) {
  std::int32_t agents = 0;
  double traffic = 0.0;
  const struct {
    std::int32_t goal;
    double target, max_occupancy;
    moravel_status status;
  } rows[] = {{0, 0.8, 1.0, MORAVEL_ERROR_GOAL},
              {6, 0.8, 1.0, MORAVEL_ERROR_GOAL},
              {1, 1.0, 1.0, MORAVEL_ERROR_TARGET},
              {1, 0.0, 1.0, MORAVEL_ERROR_TARGET},
              {4, kNaN, 1.0, MORAVEL_ERROR_TARGET},
              {3, 0.0, 1.0, MORAVEL_ERROR_TARGET_WAIT},
              {3, kInf, 1.0, MORAVEL_ERROR_TARGET_WAIT},
              {3, 20.0, 1.0, MORAVEL_OK},
              {1, 0.8, 0.0, MORAVEL_ERROR_OCCUPANCY},
              {1, 0.8, 1.0000000000000002, MORAVEL_ERROR_OCCUPANCY},
              {1, 0.8, kNaN, MORAVEL_ERROR_OCCUPANCY}};
  for (const auto& row : rows) {
    EXPECT_EQ(moravel_contact_centre_agents(20.0, 180.0, 120.0, 0, 20.0, row.goal, row.target,
                                            row.max_occupancy, &agents, nullptr),
              row.status)
        << row.goal << " " << row.target;
    EXPECT_EQ(moravel_contact_centre_traffic(24, 180.0, 120.0, 0, 20.0, row.goal, row.target,
                                             row.max_occupancy, &traffic, nullptr),
              row.status)
        << row.goal << " " << row.target;
  }
  // A highest occupancy below what the lines allow: no count meets it.
  EXPECT_EQ(moravel_contact_centre_agents(20.0, 180.0, 120.0, 21, 20.0, MORAVEL_GOAL_SERVICE_LEVEL,
                                          0.5, 0.5, &agents, nullptr),
            MORAVEL_ERROR_UNREACHABLE);
  EXPECT_EQ(moravel_contact_centre_agents(20.0, 180.0, 120.0, 10000001, 20.0, 1, 0.8, 1.0, &agents,
                                          nullptr),
            MORAVEL_ERROR_LINES_TOO_MANY);
  EXPECT_EQ(
      moravel_contact_centre_agents(20.0, 180.0, 120.0, 0, 20.0, 1, 0.8, 1.0, nullptr, nullptr),
      MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(
      moravel_contact_centre_traffic(24, 180.0, 120.0, 23, 20.0, 1, 0.8, 1.0, &traffic, nullptr),
      MORAVEL_ERROR_LINES);
}

}  // namespace
