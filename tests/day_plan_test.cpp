// A day's plan: agents scheduled for shrinkage in exact arithmetic, the
// least agents of the impatient-caller queue against a plain search, and
// moravel_day_plan's intervals, totals and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "contact_centre/abandonment_model.h"
#include "contact_centre/scheduled_agents.h"
#include "moravel/api.h"
#include "contact_centre/day_plan.h"
#include "support/bits.h"

namespace {

using moravel::contact::ContactCentreFigures;
using moravel::contact::ScheduledAgents;
using moravel::testing::Bits;
using moravel::testing::kInf;
using moravel::testing::kNaN;

struct ScheduledCase {
  std::int32_t needed;
  double shrinkage;
  std::optional<std::int32_t> scheduled;
};

TEST(ScheduledAgents, ReadTheShrinkageAsItsDecimal) {
  const ScheduledCase cases[] = {
      {21, 0.3, 30},  // 21 / (1 - 0.3) is 30.000000000000004 in doubles
      {42, 0.3, 60},
      {69, 0.31, 100},
      {17, 0.32, 25},
      {7, 0.3, 10},
      {9, 0.1, 10},
      {14, 0.3, 20},
      {99999, 1e-5, 100000},
      {21, 0.30000000000000004, 31},  // a different decimal: just above 30
      {1, 0.5, 2},
      {3, 0.5, 6},
      {1, 0.1, 2},
      {10, 0.25, 14},  // 13.33...
      {0, 0.3, 0},
      {5, 0.0, 5},
      {1, 1e-30, 2},  // beyond 10^27 in the denominator: one more agent
      {100, 1e-30, 101},
      {2147483647, 0.0, 2147483647},
      {2147483647, 1e-300, std::nullopt},
      {1, 0.999999999, 1000000000},
      {2, 0.999999999, 2000000000},
      {3, 0.999999999, std::nullopt},
      {1, 0.9999999999999999, std::nullopt},
      {1, 0.99999999999999989, std::nullopt},
  };
  for (const ScheduledCase& c : cases) {
    EXPECT_EQ(ScheduledAgents(c.needed, c.shrinkage), c.scheduled)
        << c.needed << " at " << c.shrinkage;
  }
}

// Against ceil(N * 10^d / (10^d - k)) in integers, for every shrinkage of
// one to four decimals k / 10^d.
TEST(ScheduledAgents, AreThoseOfIntegerArithmetic) {
  for (std::int64_t digits = 1, power = 10; digits <= 4; ++digits, power *= 10) {
    for (std::int64_t k = 0; k < power; k += digits <= 2 ? 1 : 7) {
      char text[32];
      std::snprintf(text, sizeof text, "%lld.%0*lld", 0LL, static_cast<int>(digits),
                    static_cast<long long>(k));
      const double shrinkage = std::strtod(text, nullptr);
      for (std::int64_t needed : {0, 1, 2, 3, 7, 9, 10, 99, 100, 333, 1000, 123456}) {
        const std::int64_t expected = (needed * power + (power - k) - 1) / (power - k);
        ASSERT_EQ(ScheduledAgents(static_cast<std::int32_t>(needed), shrinkage),
                  std::optional<std::int32_t>(static_cast<std::int32_t>(expected)))
            << needed << " at " << text;
      }
    }
  }
}

bool SameFigures(const ContactCentreFigures& a, const ContactCentreFigures& b) {
  const double x[] = {a.wait_probability,
                      a.blocked_probability,
                      a.abandon_probability,
                      a.abandon_within_answer_time,
                      a.service_level,
                      a.service_level_excluding_short_abandons,
                      a.mean_answer_wait,
                      a.mean_wait,
                      a.queue_length,
                      a.occupancy,
                      a.carried};
  const double y[] = {b.wait_probability,
                      b.blocked_probability,
                      b.abandon_probability,
                      b.abandon_within_answer_time,
                      b.service_level,
                      b.service_level_excluding_short_abandons,
                      b.mean_answer_wait,
                      b.mean_wait,
                      b.queue_length,
                      b.occupancy,
                      b.carried};
  for (std::size_t i = 0; i < std::size(x); ++i) {
    if (Bits(x[i]) != Bits(y[i])) return false;
  }
  return true;
}

// The plain search on every target at once: n = 1, 2, ... (above the
// traffic without hang-ups).
std::int32_t PlainLeastAgents(double A, double h, double p, double t,
                              const moravel::contact::PlanTargets& targets,
                              ContactCentreFigures& figures) {
  std::int32_t n = p == kInf ? static_cast<std::int32_t>(std::floor(A)) + 1 : 1;
  for (;; ++n) {
    const auto f =
        moravel::contact::ContactCentreModel(A, h, p, n, moravel::contact::kUnlimitedPlaces, t);
    if (f && moravel::contact::MeetsTargets(*f, targets)) {
      figures = *f;
      return n;
    }
  }
}

// The largest of the solver's answers, goal by goal, is the least count
// meeting every target.
TEST(DayPlan, AgentsAreThoseOfAPlainSearchOnEveryTarget) {
  std::vector<moravel::contact::PlanTargets> goals(9);
  goals[0].service_level = 0.8;
  goals[1].service_level = 0.8;
  goals[1].excluding_short_abandons = true;
  goals[2].mean_answer_wait = 15.0;
  goals[3].abandonment = 0.03;
  goals[4].wait_probability = 0.2;
  goals[5].service_level = 0.8;
  goals[5].occupancy = 0.85;
  goals[6].service_level = 0.95;
  goals[6].abandonment = 0.01;
  goals[6].occupancy = 0.7;
  goals[7].service_level = 0.2;  // loose: fewer agents than erlangs with hang-ups
  goals[8].mean_answer_wait = 40.0;
  goals[8].wait_probability = 0.5;
  goals[8].abandonment = 0.2;
  int cases = 0, below_traffic = 0;
  for (double A : {0.01, 0.4, 1.0, 2.5, 7.0, 19.3, 60.0, 150.0}) {
    for (double p : {20.0, 180.0, 900.0, kInf}) {
      for (double t : {0.0, 20.0, 60.0}) {
        for (const auto& goal : goals) {
          moravel::contact::PlanSettings settings{goal, t, 30.0, 0.0};
          // A calls of 1800 s in 30 minutes: A erlangs.
          const auto plan = moravel::contact::PlanDay({{A, 1800.0, p}}, settings);
          ASSERT_EQ(plan.refusal, moravel::contact::PlanRefusal::kNone);
          ContactCentreFigures plain_figures{};
          const std::int32_t plain = PlainLeastAgents(A, 1800.0, p, t, goal, plain_figures);
          ASSERT_EQ(plan.intervals[0].agents_needed, plain)
              << "A " << A << " p " << p << " t " << t;
          ASSERT_TRUE(SameFigures(plan.intervals[0].figures, plain_figures));
          ++cases;
          below_traffic += plain < A;
        }
      }
    }
  }
  std::printf("%d plans agree with the plain search, %d of them below the traffic\n", cases,
              below_traffic);
  EXPECT_GT(below_traffic, 0);
}

TEST(DayPlan, WithoutHangUpsAreTheDelaySystemsAgents) {
  // 400 calls of 90 s in 30 minutes: 20 erlangs.
  const double calls[] = {400.0};
  const double handling[] = {90.0};
  moravel_day_plan_targets targets{};
  targets.answer_time = 10.0;
  targets.service_level = 0.8;
  moravel_day_plan_interval out[1];
  moravel_day_plan_totals totals{};
  ASSERT_EQ(
      moravel_day_plan(1, calls, handling, nullptr, &targets, 30.0, 0.0, out, &totals, nullptr),
      MORAVEL_OK);
  moravel_staffing delay{};
  ASSERT_EQ(moravel_agents_for_service_level(20.0, 90.0, 10.0, 0.8, &delay), MORAVEL_OK);
  EXPECT_EQ(out[0].agents_needed, delay.agents);
  EXPECT_EQ(out[0].agents_needed, 24);
}

// ---- moravel_day_plan ----------------------------------------------------

moravel_day_plan_targets ServiceLevel(double level, double t) {
  moravel_day_plan_targets targets{};
  targets.answer_time = t;
  targets.service_level = level;
  return targets;
}

TEST(DayPlan, IntervalsAreTheSearchAndTheScheduleOfEach) {
  const std::vector<double> calls{0.0, 40.0, 200.0, 360.0, 120.0};
  const std::vector<double> handling{180.0, 180.0, 200.0, 240.0, 150.0};
  const std::vector<double> patience{60.0, 60.0, 120.0, kInf, 300.0};
  auto targets = ServiceLevel(0.8, 20.0);
  targets.abandonment = 0.05;
  std::vector<moravel_day_plan_interval> out(calls.size());
  moravel_day_plan_totals totals{};
  ASSERT_EQ(moravel_day_plan(calls.size(), calls.data(), handling.data(), patience.data(), &targets,
                             30.0, 0.3, out.data(), &totals, nullptr),
            MORAVEL_OK);
  moravel::contact::PlanTargets goal;
  goal.service_level = 0.8;
  goal.abandonment = 0.05;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const double A = calls[i] * handling[i] / (30.0 * 60.0);
    EXPECT_EQ(Bits(out[i].traffic), Bits(A));
    double offered = -1.0;
    ASSERT_EQ(moravel_offered_traffic(calls[i], 30.0, handling[i], &offered), MORAVEL_OK);
    EXPECT_EQ(Bits(offered), Bits(A));
    if (A == 0.0) {
      EXPECT_EQ(out[i].agents_needed, 0);
      EXPECT_EQ(out[i].agents_scheduled, 0);
      EXPECT_EQ(out[i].figures.service_level, 1.0);
      EXPECT_EQ(out[i].figures.occupancy, 0.0);
      continue;
    }
    ContactCentreFigures unused{};
    const std::int32_t agents = PlainLeastAgents(A, handling[i], patience[i], 20.0, goal, unused);
    EXPECT_EQ(out[i].agents_needed, agents);
    EXPECT_EQ(out[i].agents_scheduled, *ScheduledAgents(agents, 0.3));
    moravel_contact_centre_result figures{};
    ASSERT_EQ(moravel_contact_centre(A, handling[i], patience[i], agents, MORAVEL_NO_LINE_LIMIT,
                                     20.0, &figures),
              MORAVEL_OK);
    EXPECT_EQ(Bits(out[i].figures.service_level), Bits(figures.service_level));
    EXPECT_EQ(Bits(out[i].figures.mean_answer_wait), Bits(figures.mean_answer_wait));
    EXPECT_EQ(Bits(out[i].figures.carried), Bits(figures.carried));
  }
  std::int64_t needed = 0, scheduled = 0;
  std::int32_t peak = 0;
  for (const auto& o : out) {
    needed += o.agents_needed;
    scheduled += o.agents_scheduled;
    peak = std::max(peak, o.agents_scheduled);
  }
  EXPECT_EQ(totals.agent_intervals_needed, needed);
  EXPECT_EQ(totals.agent_intervals_scheduled, scheduled);
  EXPECT_EQ(totals.peak_agents_scheduled, peak);
  EXPECT_EQ(totals.scheduled_agent_hours, static_cast<double>(scheduled) * 0.5);
  EXPECT_EQ(totals.calls, 720.0);
  EXPECT_EQ(totals.figures.blocked_probability, 0.0);
}

// Two equal intervals of a power-of-two number of calls: every weighted
// figure of the day is the interval's own, bit for bit; the means over the
// intervals too.
TEST(DayPlan, TotalsOfEqualIntervalsAreTheIntervals) {
  const double calls[] = {256.0, 256.0};
  const double handling[] = {180.0, 180.0};
  const double patience[] = {90.0, 90.0};
  const auto targets = ServiceLevel(0.9, 30.0);
  moravel_day_plan_interval out[2];
  moravel_day_plan_totals totals{};
  ASSERT_EQ(
      moravel_day_plan(2, calls, handling, patience, &targets, 15.0, 0.0, out, &totals, nullptr),
      MORAVEL_OK);
  const auto& f = out[0].figures;
  const auto& d = totals.figures;
  for (const auto& [day, interval] :
       {std::pair{d.wait_probability, f.wait_probability},
        {d.abandon_probability, f.abandon_probability},
        {d.abandon_within_answer_time, f.abandon_within_answer_time},
        {d.service_level, f.service_level},
        {d.service_level_excluding_short_abandons, f.service_level_excluding_short_abandons},
        {d.mean_answer_wait, f.mean_answer_wait},
        {d.mean_wait, f.mean_wait},
        {d.queue_length, f.queue_length},
        {d.carried, f.carried},
        {totals.traffic, out[0].traffic},
        {totals.handling_time, 180.0}}) {
    EXPECT_EQ(Bits(day), Bits(interval));
  }
  EXPECT_EQ(Bits(d.occupancy), Bits(2.0 * f.carried / (2.0 * out[0].agents_needed)));
  EXPECT_EQ(totals.agent_intervals_scheduled, 2 * out[0].agents_needed);  // no shrinkage
  EXPECT_EQ(totals.scheduled_agent_hours, totals.agent_intervals_scheduled * 0.25);
}

TEST(DayPlan, DaysWithoutCallsHaveTheFiguresOfAnEmptyQueue) {
  const double none[] = {0.0, 0.0};
  const double handling[] = {180.0, 180.0};
  const auto targets = ServiceLevel(0.8, 20.0);
  moravel_day_plan_interval out[2];
  for (std::size_t count : {0, 2}) {
    moravel_day_plan_totals totals{};
    totals.figures.mean_wait = kNaN;
    ASSERT_EQ(moravel_day_plan(count, none, handling, nullptr, &targets, 30.0, 0.3, out, &totals,
                               nullptr),
              MORAVEL_OK);
    EXPECT_EQ(totals.calls, 0.0);
    EXPECT_EQ(totals.agent_intervals_scheduled, 0);
    EXPECT_EQ(totals.figures.service_level, 1.0);
    EXPECT_EQ(totals.figures.service_level_excluding_short_abandons, 1.0);
    EXPECT_EQ(totals.figures.mean_wait, 0.0);
    EXPECT_EQ(totals.figures.occupancy, 0.0);
  }
}

// The plan's codes run from 60 to 68, each with its own text.
TEST(DayPlan, EveryPlanStatusHasItsOwnMessage) {
  std::set<std::string> messages;
  for (std::int32_t code = MORAVEL_ERROR_CALLS_OFFERED; code <= MORAVEL_ERROR_SCHEDULED_TOO_MANY;
       ++code) {
    const std::string message = moravel_status_message(code);
    EXPECT_NE(message, "unknown status code") << code;
    EXPECT_TRUE(messages.insert(message).second) << message;
  }
  EXPECT_EQ(MORAVEL_ERROR_CALLS_OFFERED, 60);
  EXPECT_EQ(MORAVEL_ERROR_SCHEDULED_TOO_MANY, 68);
  EXPECT_STREQ(moravel_status_message(59), "unknown status code");
  EXPECT_STREQ(moravel_status_message(69), "unknown status code");
}

struct OptionRefusal {
  const char* what;
  moravel_day_plan_targets targets;
  double minutes;
  double shrinkage;
  moravel_status status;
};

TEST(DayPlan, RefusesTargetsLengthsAndShrinkage) {
  const auto sl = ServiceLevel(0.8, 20.0);
  auto with = [&](auto change) {
    auto t = sl;
    change(t);
    return t;
  };
  using T = moravel_day_plan_targets;
  const OptionRefusal cases[] = {
      {"no target", ServiceLevel(0.0, 20.0), 30, 0, MORAVEL_ERROR_NO_TARGET},
      {"answer time", ServiceLevel(0.8, -1.0), 30, 0, MORAVEL_ERROR_THRESHOLD},
      {"answer time inf", ServiceLevel(0.8, kInf), 30, 0, MORAVEL_ERROR_THRESHOLD},
      {"level 1", ServiceLevel(1.0, 20.0), 30, 0, MORAVEL_ERROR_SERVICE_LEVEL_TARGET},
      {"level NaN", ServiceLevel(kNaN, 20.0), 30, 0, MORAVEL_ERROR_SERVICE_LEVEL_TARGET},
      {"level < 0", ServiceLevel(-0.5, 20.0), 30, 0, MORAVEL_ERROR_SERVICE_LEVEL_TARGET},
      {"basis", with([](T& t) { t.service_level_basis = 2; }), 30, 0,
       MORAVEL_ERROR_SERVICE_LEVEL_BASIS},
      {"asa", with([](T& t) { t.mean_answer_wait = kInf; }), 30, 0, MORAVEL_ERROR_TARGET_WAIT},
      {"asa < 0", with([](T& t) { t.mean_answer_wait = -1; }), 30, 0, MORAVEL_ERROR_TARGET_WAIT},
      {"abandonment", with([](T& t) { t.abandonment = 1.0; }), 30, 0,
       MORAVEL_ERROR_ABANDONMENT_TARGET},
      {"wait", with([](T& t) { t.wait_probability = kNaN; }), 30, 0,
       MORAVEL_ERROR_WAIT_PROBABILITY_TARGET},
      {"occupancy", with([](T& t) { t.occupancy = 1.5; }), 30, 0, MORAVEL_ERROR_OCCUPANCY},
      {"occupancy alone",
       [] {
         moravel_day_plan_targets t{};
         t.answer_time = 20.0;
         t.occupancy = 0.8;
         return t;
       }(),
       30, 0, MORAVEL_ERROR_NO_TARGET},
      {"minutes 0", sl, 0, 0, MORAVEL_ERROR_INTERVAL_MINUTES},
      {"minutes inf", sl, kInf, 0, MORAVEL_ERROR_INTERVAL_MINUTES},
      {"minutes NaN", sl, kNaN, 0, MORAVEL_ERROR_INTERVAL_MINUTES},
      {"shrinkage 1", sl, 30, 1.0, MORAVEL_ERROR_SHRINKAGE},
      {"shrinkage < 0", sl, 30, -0.1, MORAVEL_ERROR_SHRINKAGE},
      {"shrinkage NaN", sl, 30, kNaN, MORAVEL_ERROR_SHRINKAGE},
  };
  const double calls[] = {100.0};
  const double handling[] = {180.0};
  for (const OptionRefusal& c : cases) {
    moravel_day_plan_interval out[1] = {};
    moravel_day_plan_totals totals{};
    std::size_t refused = 77;
    EXPECT_EQ(moravel_day_plan(1, calls, handling, nullptr, &c.targets, c.minutes, c.shrinkage, out,
                               &totals, &refused),
              c.status)
        << c.what;
    EXPECT_EQ(refused, 77u) << c.what;
    EXPECT_EQ(out[0].agents_needed, 0) << c.what;
    EXPECT_NE(std::string(moravel_status_message(c.status)), "unknown status code");
  }
  EXPECT_EQ(moravel_day_plan(1, nullptr, handling, nullptr, &sl, 30, 0, nullptr, nullptr, nullptr),
            MORAVEL_ERROR_NULL_POINTER);
}

struct RowRefusal {
  double calls, handling, patience;
  moravel_status status;
};

// The refused row is the third: the two before it are written, the totals
// are not.
TEST(DayPlan, NamesTheRefusedInterval) {
  const RowRefusal cases[] = {
      {-1.0, 180.0, 60.0, MORAVEL_ERROR_CALLS_OFFERED},
      {kNaN, 180.0, 60.0, MORAVEL_ERROR_CALLS_OFFERED},
      {kInf, 180.0, 60.0, MORAVEL_ERROR_CALLS_OFFERED},
      {10.0, 0.0, 60.0, MORAVEL_ERROR_HOLDING_TIME},
      {10.0, kInf, 60.0, MORAVEL_ERROR_HOLDING_TIME},
      {10.0, 180.0, 0.0, MORAVEL_ERROR_PATIENCE},
      {10.0, 180.0, kNaN, MORAVEL_ERROR_PATIENCE},
      {1e300, 1e300, 60.0, MORAVEL_ERROR_TRAFFIC},
      {1e-8, 1e10, 1e-300, MORAVEL_ERROR_OVERFLOW},   // hang-ups at a rate beyond the doubles
      {10.0, 1e-300, 1e300, MORAVEL_ERROR_OVERFLOW},  // and at a rate below them
  };
  const auto targets = ServiceLevel(0.8, 20.0);
  for (const RowRefusal& c : cases) {
    const double calls[] = {100.0, 50.0, c.calls, 100.0};
    const double handling[] = {180.0, 180.0, c.handling, 180.0};
    const double patience[] = {60.0, 60.0, c.patience, 60.0};
    moravel_day_plan_interval out[4] = {};
    moravel_day_plan_totals totals{};
    std::size_t refused = 77;
    EXPECT_EQ(
        moravel_day_plan(4, calls, handling, patience, &targets, 30.0, 0.3, out, &totals, &refused),
        c.status);
    EXPECT_EQ(refused, 2u);
    EXPECT_GT(out[1].agents_needed, 0);
    EXPECT_EQ(out[2].agents_needed, 0);
    EXPECT_EQ(totals.calls, 0.0);
  }
  // Agents beyond the staffing solvers' bound, or that cannot be scheduled.
  auto occupancy = targets;
  occupancy.occupancy = 1e-9;  // 10^10 agents for 10 erlangs
  const double calls[] = {100.0};
  const double handling[] = {180.0};
  moravel_day_plan_interval out[1];
  moravel_day_plan_totals totals{};
  std::size_t refused = 77;
  EXPECT_EQ(
      moravel_day_plan(1, calls, handling, nullptr, &occupancy, 30.0, 0.0, out, &totals, &refused),
      MORAVEL_ERROR_MODEL_LIMIT);
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(moravel_day_plan(1, calls, handling, nullptr, &targets, 30.0, 0.9999999999, out,
                             &totals, &refused),
            MORAVEL_ERROR_SCHEDULED_TOO_MANY);
}

// The traffic of a call volume, as the plan reads each interval's: each
// argument's edge on both sides, and a product beyond the doubles.
TEST(OfferedTraffic, RefusesEachArgumentAtItsEdge) {
  struct Case {
    double calls, minutes, handling;
    moravel_status status;
    double traffic;
  };
  const double tiny = std::numeric_limits<double>::denorm_min();
  const Case cases[] = {
      {400.0, 30.0, 180.0, MORAVEL_OK, 40.0},
      {0.0, 30.0, 180.0, MORAVEL_OK, 0.0},
      {-0.0, 30.0, 180.0, MORAVEL_OK, -0.0},
      {-tiny, 30.0, 180.0, MORAVEL_ERROR_CALLS_OFFERED, 0.0},
      {kInf, 30.0, 180.0, MORAVEL_ERROR_CALLS_OFFERED, 0.0},
      {kNaN, 30.0, 180.0, MORAVEL_ERROR_CALLS_OFFERED, 0.0},
      {400.0, tiny, 180.0, MORAVEL_ERROR_OVERFLOW, 0.0},
      {400.0, 0.0, 180.0, MORAVEL_ERROR_INTERVAL_MINUTES, 0.0},
      {400.0, kInf, 180.0, MORAVEL_ERROR_INTERVAL_MINUTES, 0.0},
      {400.0, 30.0, tiny, MORAVEL_OK, 400.0 * tiny / 1800.0},
      {400.0, 30.0, 0.0, MORAVEL_ERROR_HOLDING_TIME, 0.0},
      {400.0, 30.0, kNaN, MORAVEL_ERROR_HOLDING_TIME, 0.0},
      {1e308, 1.0, 1e10, MORAVEL_ERROR_OVERFLOW, 0.0},
  };
  for (const Case& c : cases) {
    double traffic = 0.0;
    EXPECT_EQ(moravel_offered_traffic(c.calls, c.minutes, c.handling, &traffic), c.status)
        << c.calls << " " << c.minutes << " " << c.handling;
    EXPECT_EQ(Bits(traffic), Bits(c.traffic)) << c.calls << " " << c.minutes << " " << c.handling;
  }
  EXPECT_EQ(moravel_offered_traffic(400.0, 30.0, 180.0, nullptr), MORAVEL_ERROR_NULL_POINTER);
}

}  // namespace
