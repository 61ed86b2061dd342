// The solvers of the second interface: the answers engineers quote, the
// answers of a plain search over generated inputs, and the refusals.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"
#include "moravel/api.h"
#include "reference/solver_reference.h"
#include "single_service/loss_models.h"
#include "single_service/waiting_model.h"
#include "solvers/least_size_search.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::kInf;
using moravel::testing::kNaN;
using moravel::testing::Text;

constexpr double kTargets[] = {1e-6, 1e-3, 0.01, 0.05, 0.2, 0.5, 0.9};

TEST(Solvers, KnownAnswers) {
  std::int32_t servers = 0;
  double loss = 0.0;
  ASSERT_EQ(moravel_erlang_b_servers(50.0, 0.01, &servers, &loss), MORAVEL_OK);
  EXPECT_EQ(servers, 64);
  EXPECT_EQ(Text(loss), "0.00843943");

  double traffic = 0.0;
  ASSERT_EQ(moravel_erlang_b_traffic(20, 0.01, &traffic), MORAVEL_OK);
  EXPECT_EQ(Text(traffic), "12.0306");

  // 20 erlangs of calls lasting 180 s, 80% answered within 20 s.  The
  // probability of waiting at most 20% is a different goal: 26 agents.
  moravel_staffing staffing;
  ASSERT_EQ(moravel_agents_for_service_level(20.0, 180.0, 20.0, 0.8, &staffing), MORAVEL_OK);
  EXPECT_EQ(staffing.agents, 24);
  EXPECT_EQ(Text(staffing.service_level), "0.808882");
  EXPECT_EQ(Text(staffing.mean_speed_of_answer), "13.4133");
  EXPECT_EQ(Text(staffing.occupancy), "0.833333");
  ASSERT_EQ(moravel_agents_for_wait_probability(20.0, 180.0, 20.0, 0.2, &staffing), MORAVEL_OK);
  EXPECT_EQ(staffing.agents, 26);
}

TEST(Solvers, LeastServersAreThoseOfAPlainSearch) {
  std::mt19937_64 engine(21);
  std::uniform_real_distribution<double> exponent(-2.0, 3.0);
  for (int c = 0; c < 300; ++c) {
    const double A = c % 25 == 0 ? 0.0 : std::pow(10.0, exponent(engine));
    const double target = kTargets[c % std::size(kTargets)];
    std::int32_t servers = 0;
    double loss = 0.0;
    ASSERT_EQ(moravel_erlang_b_servers(A, target, &servers, &loss), MORAVEL_OK);
    EXPECT_EQ(servers, moravel::reference::LinearErlangServers(A, target, 1 << 20)) << A;
    EXPECT_EQ(Bits(loss), Bits(moravel::PalmTable(servers, A)));

    // An assembled load is solved as the Erlang load it is.
    const double x = 1.0 + c, y = 2.0, z = 0.5;
    const std::int32_t n = c % 7;
    ASSERT_EQ(moravel_loss_assembled_servers(x, y, z, n, target, &servers, nullptr), MORAVEL_OK);
    EXPECT_EQ(servers, moravel::reference::LinearErlangServers(moravel::AssembledLoad(x, y, z, n),
                                                               target, 1 << 20));

    const std::int32_t N = 1 + c % 150;
    const double a = std::uniform_real_distribution<double>(0.0, 0.95)(engine);
    ASSERT_EQ(moravel_engset_servers(N, a, target, &servers, &loss), MORAVEL_OK);
    EXPECT_EQ(servers, moravel::reference::LinearEngsetServers(N, a, target)) << N << " " << a;
    EXPECT_EQ(Bits(loss), Bits(moravel::EngsetTable(N, servers, a)));
  }
}

// The gallop and bisection over sizes, on step functions: fail below a
// threshold, meet from it on, overflow from a later size on.
TEST(Solvers, SizeSearchFindsTheFirstMeetingSize) {
  using moravel::SizeOutcome;
  using moravel::SizeVerdict;
  for (std::int32_t first = 1; first <= 5; ++first) {
    for (std::int32_t threshold = first; threshold <= 80; ++threshold) {
      for (std::int32_t overflow : {threshold, threshold + 1, threshold + 7, 1000}) {
        int evaluations = 0;
        const auto judge = [&](std::int32_t size) {
          ++evaluations;
          if (size >= overflow) return SizeVerdict::kOverflow;
          return size >= threshold ? SizeVerdict::kMeets : SizeVerdict::kFails;
        };
        const auto found = moravel::LeastMeetingSize(first, 100, judge);
        if (overflow == threshold) {
          EXPECT_EQ(found.outcome, SizeOutcome::kOverflow);
        } else {
          EXPECT_EQ(found.outcome, SizeOutcome::kFound);
          EXPECT_EQ(found.size, threshold) << first << " " << overflow;
        }
        EXPECT_LE(evaluations,
                  2 * std::bit_width(static_cast<unsigned>(threshold - first + 1)) + 1);
      }
    }
    const auto never =
        moravel::LeastMeetingSize(first, 60, [](std::int32_t) { return SizeVerdict::kFails; });
    EXPECT_EQ(never.outcome, SizeOutcome::kUnreachable);
  }
}

TEST(Solvers, LeastLinksAreThoseOfAPlainSearch) {
  std::mt19937_64 engine(22);
  const auto count = [&](std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(engine);
  };
  int compared = 0;
  for (int c = 0; c < 400; ++c) {
    const std::int32_t M = count(1, 3), f = count(1, 8), g = count(0, 3);
    std::vector<double> a, t;
    // Small groups, and link groups of tens of links whose counts pass 2^53
    // (the search then starts near its answer, not at one link).
    const double most = g == 0 && c % 4 == 1 ? 3.0 * f : 4.0;
    for (std::int32_t i = 0; i < M; ++i) {
      a.push_back(std::uniform_real_distribution<double>(0.0, most)(engine));
      t.push_back(count(1, f));
    }
    const double target = kTargets[1 + c % 4];
    const std::int32_t expected =
        moravel::reference::LinearLinks(a.data(), M, t.data(), f, g, target, 80);
    if (expected == 0) continue;
    std::int32_t links = 0;
    std::vector<double> blocking(a.size());
    const moravel_status status =
        g == 0 ? moravel_link_group_links(a.data(), M, t.data(), f, target, &links, blocking.data())
               : moravel_link_subset_links(a.data(), M, t.data(), f, g, target, &links,
                                           blocking.data());
    ASSERT_EQ(status, MORAVEL_OK);
    EXPECT_EQ(links, expected) << "case " << c << " g " << g;
    std::vector<double> at_links(a.size()), carried(a.size());
    ASSERT_EQ(g == 0 ? moravel_link_group(a.data(), M, t.data(), links, f, at_links.data(),
                                          carried.data())
                     : moravel_link_subset(a.data(), M, t.data(), links, f, g, at_links.data(),
                                           carried.data()),
              MORAVEL_OK);
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(Bits(blocking[i]), Bits(at_links[i]));
    ++compared;
  }
  EXPECT_GT(compared, 100);
}

TEST(Solvers, LeastAgentsAreThoseOfAPlainSearch) {
  std::mt19937_64 engine(23);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int c = 0; c < 300; ++c) {
    const double A = c % 30 == 0 ? 0.0 : 300.0 * unit(engine) * unit(engine);
    const double h = 10.0 + 600.0 * unit(engine);
    const double t = c % 10 == 0 ? 0.0 : 120.0 * unit(engine);
    const double target = c % 3 == 1 ? h * std::pow(10.0, -3.0 * unit(engine))  // a mean wait
                                     : kTargets[c % std::size(kTargets)];
    moravel_staffing found;
    const moravel_status status =
        c % 3 == 0   ? moravel_agents_for_service_level(A, h, t, target, &found)
        : c % 3 == 1 ? moravel_agents_for_mean_wait(A, h, t, target, &found)
                     : moravel_agents_for_wait_probability(A, h, t, target, &found);
    ASSERT_EQ(status, MORAVEL_OK);
    EXPECT_EQ(found.agents, moravel::reference::LinearAgents(A, h, t, c % 3, target))
        << A << " " << h << " " << t << " " << target;
    moravel_staffing figures;
    ASSERT_EQ(moravel_staffing_figures(found.agents, A, h, t, &figures), MORAVEL_OK);
    EXPECT_EQ(Bits(found.service_level), Bits(figures.service_level));
    EXPECT_EQ(Bits(found.mean_speed_of_answer), Bits(figures.mean_speed_of_answer));
    EXPECT_EQ(Bits(found.wait_probability), Bits(figures.wait_probability));
    EXPECT_EQ(Bits(found.occupancy), Bits(figures.occupancy));
  }
}

// The answer A has loss(A) <= target < loss(next double), and agrees with
// a plain value bisection up to the ulps over which the computed loss,
// rounded at every step of its recursion, wavers around the target.
void ExpectLargestTraffic(const std::function<double(double)>& loss, double target, double found,
                          double hi) {
  EXPECT_LE(loss(found), target);
  EXPECT_GT(loss(std::nextafter(found, kInf)), target);
  const double plain = moravel::reference::BisectedLargestAtOrBelow(loss, target, 0.0, hi);
  EXPECT_NEAR(found, plain, 1e-12 * plain);
}

// Each search's answer, generated cases first, then extreme targets and
// sizes, where the searches start from an asymptotic root and must close
// their bracket to neighbouring doubles too.
void ExpectErlangTraffic(std::int32_t V, double target) {
  double A = 0.0;
  ASSERT_EQ(moravel_erlang_b_traffic(V, target, &A), MORAVEL_OK) << V << " " << target;
  ExpectLargestTraffic([V](double x) { return moravel::PalmTable(V, x); }, target, A,
                       2.0 * A + 1.0);
}

void ExpectEngsetTraffic(std::int32_t N, std::int32_t V, double target) {
  double a = 0.0;
  ASSERT_EQ(moravel_engset_traffic(N, V, target, &a), MORAVEL_OK) << N << " " << V;
  ExpectLargestTraffic([&](double x) { return moravel::EngsetTable(N, V, x); }, target, a,
                       std::nextafter(1.0, 0.0));
}

// The delay system: the service level falls as the traffic rises, so its
// negative is the nondecreasing function, against -level.
void ExpectTrafficForServiceLevel(std::int32_t agents, double h, double t, double level) {
  double traffic = 0.0;
  moravel_staffing figures;
  ASSERT_EQ(moravel_traffic_for_service_level(agents, h, t, level, &traffic, &figures), MORAVEL_OK);
  ExpectLargestTraffic(
      [&](double x) {
        return -(1.0 - moravel::WaitingModel(t, h, agents, x).wait_exceeds_threshold);
      },
      -level, traffic, std::nextafter(static_cast<double>(agents), 0.0));
  moravel_staffing at;
  ASSERT_EQ(moravel_staffing_figures(agents, traffic, h, t, &at), MORAVEL_OK);
  EXPECT_EQ(Bits(figures.service_level), Bits(at.service_level));
  EXPECT_GE(figures.service_level, level);
}

TEST(Solvers, LargestTrafficMeetsItsBracket) {
  for (int c = 0; c < 200; ++c) {
    SCOPED_TRACE(c);
    const double target = kTargets[c % std::size(kTargets)];
    ExpectErlangTraffic(1 + (c * 37) % 400, target);
    const std::int32_t N = 2 + c % 120;
    ExpectEngsetTraffic(N, 1 + (c * 7) % (N - 1), target);
    ExpectTrafficForServiceLevel(1 + (c * 13) % 300, 30.0 + c % 7 * 60.0, c % 5 * 10.0,
                                 0.5 + 0.45 * (c % 10) / 10.0);
  }
  for (const double target : {1e-300, 1e-12, 0.01, 0.5, 0.999999, 1.0 - 1e-12}) {
    for (const std::int32_t V : {1, 7, 100, 5000, 100000}) ExpectErlangTraffic(V, target);
  }
  for (const std::int32_t N : {2, 50, 3000}) {
    for (const std::int32_t V : {1, N / 2, N - 1}) {
      for (const double target : {1e-300, 1e-12, 0.01, 0.5}) ExpectEngsetTraffic(N, V, target);
    }
  }
  for (const std::int32_t V : {1, 24, 5000}) {
    for (const double level : {0.01, 0.5, 0.8, 0.999}) {
      ExpectTrafficForServiceLevel(V, 180.0, 20.0, level);
    }
  }
}

// The refusals, named: bad input, no size meets the target, every traffic
// meets it, or the work would pass the budget.
TEST(Solvers, Refusals) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0}, wide[] = {1.0, 6.0}, none[] = {0.0, 0.0};
  std::int32_t size = -1;
  double x = -1.0;
  moravel_staffing s;
  struct Case {
    moravel_status got, expected;
  } cases[] = {
      {moravel_erlang_b_servers(10.0, 0.0, &size, &x), MORAVEL_ERROR_TARGET},
      {moravel_erlang_b_servers(10.0, 1.0, &size, &x), MORAVEL_ERROR_TARGET},
      {moravel_erlang_b_servers(10.0, kNaN, &size, &x), MORAVEL_ERROR_TARGET},
      {moravel_erlang_b_servers(-1.0, 0.01, &size, &x), MORAVEL_ERROR_TRAFFIC},
      {moravel_erlang_b_servers(kInf, 0.01, &size, &x), MORAVEL_ERROR_TRAFFIC},
      {moravel_erlang_b_servers(1e12, 0.01, &size, &x), MORAVEL_ERROR_UNREACHABLE},
      {moravel_erlang_b_servers(10.0, 0.01, nullptr, &x), MORAVEL_ERROR_NULL_POINTER},
      {moravel_engset_servers(0, 0.5, 0.01, &size, &x), MORAVEL_ERROR_SOURCES},
      {moravel_engset_servers(10, 1.0, 0.01, &size, &x), MORAVEL_ERROR_SOURCE_TRAFFIC},
      {moravel_loss_assembled_servers(0.0, 1.0, 1.0, 2, 0.01, &size, &x),
       MORAVEL_ERROR_ASSEMBLY_TIMES},
      {moravel_loss_assembled_servers(1.0, 1e-310, 1.0, 2, 0.01, &size, &x),
       MORAVEL_ERROR_ASSEMBLED_LOAD},
      {moravel_link_group_links(a, 2, t, 5, 1.5, &size, nullptr), MORAVEL_ERROR_TARGET},
      {moravel_link_group_links(a, 2, wide, 5, 0.01, &size, nullptr),
       MORAVEL_ERROR_DEMAND_EXCEEDS_LINK},
      {moravel_link_group_links(a, 0, t, 5, 0.01, &size, nullptr), MORAVEL_ERROR_CLASSES},
      {moravel_link_group_links(a, 2, t, 0, 0.01, &size, nullptr), MORAVEL_ERROR_LINK_UNITS},
      {moravel_link_subset_links(a, 2, t, 5, 0, 0.01, &size, nullptr), MORAVEL_ERROR_SUBSET},
      {moravel_link_subset_links(a, 2, t, 5, 1, 0.01, nullptr, nullptr),
       MORAVEL_ERROR_NULL_POINTER},
      {moravel_erlang_b_traffic(0, 0.01, &x), MORAVEL_ERROR_SERVERS},
      {moravel_erlang_b_traffic(10, -0.5, &x), MORAVEL_ERROR_TARGET},
      {moravel_engset_traffic(10, 10, 0.01, &x), MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES},
      {moravel_engset_traffic(10, 3, 1.0, &x), MORAVEL_ERROR_TARGET},
      {moravel_staffing_figures(10, 10.0, 180.0, 20.0, &s),
       MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
      {moravel_staffing_figures(10, 5.0, 0.0, 20.0, &s), MORAVEL_ERROR_HOLDING_TIME},
      {moravel_staffing_figures(10, 9.5, 1.7e308, 20.0, &s), MORAVEL_ERROR_OVERFLOW},
      {moravel_agents_for_service_level(16.5, 1.7e308, 60.0, 1e-300, &s), MORAVEL_ERROR_OVERFLOW},
      {moravel_agents_for_service_level(20.0, 180.0, -1.0, 0.8, &s), MORAVEL_ERROR_THRESHOLD},
      {moravel_agents_for_service_level(20.0, 180.0, 20.0, 1.0, &s), MORAVEL_ERROR_TARGET},
      {moravel_agents_for_service_level(3e9, 180.0, 20.0, 0.8, &s), MORAVEL_ERROR_UNREACHABLE},
      {moravel_agents_for_mean_wait(20.0, 180.0, 20.0, 0.0, &s), MORAVEL_ERROR_TARGET_WAIT},
      {moravel_agents_for_mean_wait(20.0, 180.0, 20.0, kInf, &s), MORAVEL_ERROR_TARGET_WAIT},
      {moravel_agents_for_wait_probability(kNaN, 180.0, 20.0, 0.2, &s), MORAVEL_ERROR_TRAFFIC},
      {moravel_agents_for_wait_probability(20.0, 180.0, 20.0, 0.2, nullptr),
       MORAVEL_ERROR_NULL_POINTER},
      {moravel_traffic_for_service_level(0, 180.0, 20.0, 0.8, &x, &s), MORAVEL_ERROR_SERVERS},
      {moravel_traffic_for_service_level(24, 0.0, 20.0, 0.8, &x, &s), MORAVEL_ERROR_HOLDING_TIME},
      {moravel_traffic_for_service_level(24, 180.0, -1.0, 0.8, &x, &s), MORAVEL_ERROR_THRESHOLD},
      {moravel_traffic_for_service_level(24, 180.0, 20.0, 0.0, &x, &s), MORAVEL_ERROR_TARGET},
      {moravel_traffic_for_service_level(24, 180.0, 20.0, 0.8, nullptr, &s),
       MORAVEL_ERROR_NULL_POINTER},
      // Beyond the budget of recursion steps, or where every traffic meets
      // the target.
      {moravel_erlang_b_traffic(2147483646, 0.5, &x), MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_erlang_b_traffic(16777217, 0.01, &x), MORAVEL_ERROR_MODEL_LIMIT},  // 2^24 + 1
      {moravel_engset_traffic(2147483647, 5592406, 0.01, &x), MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_engset_traffic(10, 9, 0.9999999999999999, &x), MORAVEL_ERROR_EVERY_TRAFFIC_MEETS},
      {moravel_traffic_for_service_level(16777217, 180.0, 20.0, 0.8, &x, &s),
       MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_traffic_for_service_level(24, 1.0, 1e300, 0.8, &x, &s),
       MORAVEL_ERROR_EVERY_TRAFFIC_MEETS},
      {moravel_erlang_b_servers(2.72e8, 0.01, &size, &x), MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_loss_assembled_servers(1.0, 1.0, 0.0, 600000000, 0.01, &size, &x),
       MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_engset_servers(2147483647, 0.5, 0.01, &size, &x), MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_agents_for_service_level(268435457.0, 180.0, 20.0, 0.8, &s),
       MORAVEL_ERROR_MODEL_LIMIT},
      {moravel_agents_for_mean_wait(3e9, 180.0, 20.0, 1.0, &s), MORAVEL_ERROR_UNREACHABLE},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  }
  EXPECT_EQ(size, -1);  // nothing written by a refused call
  EXPECT_EQ(x, -1.0);
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_EVERY_TRAFFIC_MEETS),
               "every traffic the model takes meets the target: there is no largest one");
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_MODEL_LIMIT),
               "the input is beyond the sizes the model computes in bounded time");
  // No traffic at all: one link already meets any target.
  ASSERT_EQ(moravel_link_group_links(none, 2, t, 5, 0.01, &size, nullptr), MORAVEL_OK);
  EXPECT_EQ(size, 1);
}

}  // namespace
