// The contact-centre models of the second interface: the worked example to
// the bit, the refusals, the delay and loss systems they contain, the
// identities every steady state satisfies, and the retry fixed point.
// Their accuracy against 50-digit references is tests/precision's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

#include "moravel/api.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::kInf;
using moravel::testing::kNaN;
using moravel::testing::Text;

std::string Hex(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%a", x);
  return text;
}

double Relative(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

TEST(ContactCentre, WorkedExample) {
  // 20 erlangs, 180 s handling, 120 s patience, 20 agents, 20 s.
  moravel_contact_centre_result r;
  ASSERT_EQ(moravel_contact_centre(20.0, 180.0, 120.0, 20, MORAVEL_NO_LINE_LIMIT, 20.0, &r),
            MORAVEL_OK);
  const struct {
    const char* name;
    double value;
    const char* text;
    const char* bits;
  } rows[] = {
      {"wait", r.wait_probability, "0.482759", "0x1.ee585159e4258p-2"},
      {"blocked", r.blocked_probability, "0", "0x0p+0"},
      {"abandon", r.abandon_probability, "0.097711", "0x1.90395d7a92518p-4"},
      {"abandon within t", r.abandon_within_answer_time, "0.058365", "0x1.de20530f884a2p-5"},
      {"service level", r.service_level, "0.706453", "0x1.69b44104dfd24p-1"},
      {"excluding short", r.service_level_excluding_short_abandons, "0.750241",
       "0x1.801f9d46dc034p-1"},
      {"ASA", r.mean_answer_wait, "10.7811", "0x1.58feac97991c2p+3"},
      {"mean wait", r.mean_wait, "11.7253", "0x1.7735c7a2e92c7p+3"},
      {"queue", r.queue_length, "1.30281", "0x1.4d85233b79eeap+0"},
      {"occupancy", r.occupancy, "0.902289", "0x1.cdf8d450adb46p-1"},
      {"carried", r.carried, "18.0458", "0x1.20bb84b26c90cp+4"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Text(row.value), row.text) << row.name;
    EXPECT_EQ(Hex(row.value), row.bits) << row.name;
  }
}

TEST(ContactCentre, Refusals) {
  const double ok_A = 20.0, ok_h = 180.0, ok_p = 120.0, ok_t = 20.0;
  const std::int32_t ok_n = 20;
  const struct {
    double A, h, p;
    std::int32_t n, lines;
    double t;
    moravel_status status;
  } rows[] = {
      {kNaN, ok_h, ok_p, ok_n, 0, ok_t, MORAVEL_ERROR_TRAFFIC},
      {-1e-300, ok_h, ok_p, ok_n, 0, ok_t, MORAVEL_ERROR_TRAFFIC},
      {kInf, ok_h, ok_p, ok_n, 0, ok_t, MORAVEL_ERROR_TRAFFIC},
      {ok_A, 0.0, ok_p, ok_n, 0, ok_t, MORAVEL_ERROR_HOLDING_TIME},
      {ok_A, kInf, ok_p, ok_n, 0, ok_t, MORAVEL_ERROR_HOLDING_TIME},
      {ok_A, ok_h, 0.0, ok_n, 0, ok_t, MORAVEL_ERROR_PATIENCE},
      {ok_A, ok_h, -1.0, ok_n, 0, ok_t, MORAVEL_ERROR_PATIENCE},
      {ok_A, ok_h, -kInf, ok_n, 0, ok_t, MORAVEL_ERROR_PATIENCE},
      {ok_A, ok_h, kNaN, ok_n, 0, ok_t, MORAVEL_ERROR_PATIENCE},
      {ok_A, ok_h, ok_p, 0, 0, ok_t, MORAVEL_ERROR_SERVERS},
      {ok_A, ok_h, ok_p, 2147483647, 0, ok_t, MORAVEL_ERROR_SERVERS_TOO_MANY},
      {ok_A, ok_h, ok_p, ok_n, 19, ok_t, MORAVEL_ERROR_LINES},
      {ok_A, ok_h, ok_p, ok_n, -1, ok_t, MORAVEL_ERROR_LINES},
      {ok_A, ok_h, ok_p, ok_n, 10000021, ok_t, MORAVEL_ERROR_LINES_TOO_MANY},
      {ok_A, ok_h, ok_p, ok_n, 0, -1.0, MORAVEL_ERROR_THRESHOLD},
      {ok_A, ok_h, ok_p, ok_n, 0, kNaN, MORAVEL_ERROR_THRESHOLD},
      {ok_A, ok_h, ok_p, ok_n, 0, kInf, MORAVEL_ERROR_THRESHOLD},
      // Callers who never hang up, and no limit: the delay system.
      {20.0, ok_h, kInf, 20, 0, ok_t, MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
      {19.999999999999996, ok_h, kInf, 20, 20, ok_t, MORAVEL_OK},
      {20.0, ok_h, kInf, 20, 21, ok_t, MORAVEL_OK},
      // h / p outside the doubles.
      {ok_A, 1e300, 1e-10, ok_n, 0, ok_t, MORAVEL_ERROR_OVERFLOW},
      {ok_A, 1e-300, 1e300, ok_n, 0, ok_t, MORAVEL_ERROR_OVERFLOW},
      // The first refused argument is named.
      {kNaN, 0.0, 0.0, 0, 1, -1.0, MORAVEL_ERROR_TRAFFIC},
      {ok_A, ok_h, 0.0, 0, 1, -1.0, MORAVEL_ERROR_PATIENCE},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    moravel_contact_centre_result r;
    EXPECT_EQ(moravel_contact_centre(row.A, row.h, row.p, row.n, row.lines, row.t, &r), row.status)
        << "row " << i;
  }
  EXPECT_EQ(moravel_contact_centre(ok_A, ok_h, ok_p, ok_n, 0, ok_t, nullptr),
            MORAVEL_ERROR_NULL_POINTER);
}

TEST(ContactCentre, LongestQueueIsAccepted) {
  moravel_contact_centre_result r;
  ASSERT_EQ(moravel_contact_centre(50.0, 1.0, 1.0, 20, 10000020, 0.1, &r), MORAVEL_OK);
  EXPECT_EQ(r.blocked_probability, 0.0);
}

// Callers who never hang up, no line limit: the delay system's bits for
// every figure it has, the rest as nobody hangs up or is blocked.  A grid
// over agents (one to 1e5), loads from nearly idle to nearly saturated,
// answer times from 0 to far beyond the mean wait, two handling times.
TEST(ContactCentre, NeverHangingUpIsTheDelaySystemBitForBit) {
  const std::int32_t agents[] = {1, 2, 7, 20, 300, 1000, 100000};
  const double loads[] = {1e-6, 0.3, 0.9, 0.999};
  const double answer_times[] = {0.0, 1e-3, 0.37, 20.0};
  const double handling_times[] = {1.0, 180.0};
  int points = 0;
  for (const std::int32_t n : agents) {
    for (const double load : loads) {
      const double A = load * n;
      for (const double h : handling_times) {
        for (const double t : answer_times) {
          moravel_contact_centre_result r;
          moravel_wait_result w;
          ASSERT_EQ(moravel_contact_centre(A, h, kInf, n, MORAVEL_NO_LINE_LIMIT, t, &r),
                    MORAVEL_OK);
          ASSERT_EQ(moravel_wait(t, h, n, A, &w), MORAVEL_OK);
          const std::string at = std::to_string(n) + " " + Hex(A) + " " + Hex(h) + " " + Hex(t);
          EXPECT_EQ(Bits(r.wait_probability), Bits(w.wait_probability)) << at;
          EXPECT_EQ(Bits(r.service_level), Bits(1.0 - w.wait_exceeds)) << at;
          EXPECT_EQ(Bits(r.service_level_excluding_short_abandons), Bits(1.0 - w.wait_exceeds))
              << at;
          EXPECT_EQ(Bits(r.mean_wait), Bits(w.mean_wait)) << at;
          EXPECT_EQ(Bits(r.mean_answer_wait), Bits(w.mean_wait)) << at;
          EXPECT_EQ(Bits(r.queue_length), Bits(w.queue_length)) << at;
          EXPECT_EQ(Bits(r.carried), Bits(A)) << at;
          EXPECT_EQ(Bits(r.occupancy), Bits(A / n)) << at;
          EXPECT_EQ(Bits(r.blocked_probability), Bits(0.0)) << at;
          EXPECT_EQ(Bits(r.abandon_probability), Bits(0.0)) << at;
          EXPECT_EQ(Bits(r.abandon_within_answer_time), Bits(0.0)) << at;
          ++points;
        }
      }
    }
  }
  EXPECT_EQ(points, 7 * 4 * 2 * 4);
}

TEST(ContactCentre, AsManyLinesAsAgentsIsTheLossSystem) {
  for (const double p : {1.0, kInf}) {
    for (const double A : {0.1, 7.0, 20.0, 1e4}) {
      moravel_contact_centre_result r;
      double B = 0.0;
      ASSERT_EQ(moravel_contact_centre(A, 1.0, p, 20, 20, 0.5, &r), MORAVEL_OK);
      ASSERT_EQ(moravel_erlang_b(20, A, &B), MORAVEL_OK);
      EXPECT_EQ(Bits(r.blocked_probability), Bits(B)) << A;
      EXPECT_EQ(r.wait_probability, 0.0);
      // 1 - B of the test cancels when B is near 1; the model's does not.
      EXPECT_LT(Relative(r.carried, A * (1.0 - B)), 1e-12) << A;
    }
  }
}

// Balance that every steady state keeps, whatever the inputs: each call is
// answered, abandoned or blocked; abandonments are the patience rate times
// the time spent waiting; Little's law for the queue.
TEST(ContactCentre, Identities) {
  const struct {
    double A, h, p;
    std::int32_t n, lines;
    double t;
  } rows[] = {
      {20.0, 180.0, 120.0, 20, 0, 20.0}, {20.0, 180.0, 120.0, 20, 23, 20.0},
      {300.0, 1.0, 0.01, 10, 0, 0.001},  {300.0, 1.0, 100.0, 10, 0, 5.0},
      {0.01, 1.0, 1.0, 1, 0, 0.0},       {1e5, 1.0, 1e4, 1000, 0, 1.0},
      {1e5, 1.0, 1e-3, 1, 0, 100.0},     {2e3, 1.0, 10.0, 1000, 1001000, 0.5},
      {50.0, 2.0, kInf, 40, 45, 0.2},    {8e4, 1.0, 3.0, 100000, 0, 0.01},
  };
  for (const auto& row : rows) {
    moravel_contact_centre_result r;
    ASSERT_EQ(moravel_contact_centre(row.A, row.h, row.p, row.n, row.lines, row.t, &r), MORAVEL_OK)
        << row.A;
    const double answered = r.carried / row.A;
    EXPECT_NEAR(answered + r.abandon_probability + r.blocked_probability, 1.0, 1e-13) << row.A;
    if (std::isfinite(row.p) && r.mean_wait > 0.0) {
      EXPECT_LT(Relative(r.abandon_probability, r.mean_wait / row.p), 1e-13) << row.A;
    }
    if (r.mean_wait > 0.0) {
      EXPECT_LT(Relative(r.queue_length, row.A * r.mean_wait / row.h), 1e-15) << row.A;
    }
    EXPECT_LE(r.service_level, answered * (1 + 1e-15));
    EXPECT_GE(r.service_level_excluding_short_abandons, r.service_level);
    EXPECT_LE(r.abandon_within_answer_time, r.abandon_probability * (1 + 1e-15));
    EXPECT_LT(Relative(r.occupancy, r.carried / row.n), 1e-15);
    // Far beyond every wait, the service level is the answered share.
    moravel_contact_centre_result late;
    ASSERT_EQ(moravel_contact_centre(row.A, row.h, row.p, row.n, row.lines, 1e6 * row.h, &late),
              MORAVEL_OK);
    EXPECT_LT(Relative(late.service_level, answered), 1e-13) << row.A;
  }
}

TEST(ContactCentre, ImpatienceMakesOverloadStable) {
  // Ten times the agents' capacity: nearly all the agents' time is carried,
  // the rest hangs up.
  moravel_contact_centre_result r;
  ASSERT_EQ(moravel_contact_centre(1000.0, 1.0, 0.1, 100, 0, 0.0, &r), MORAVEL_OK);
  EXPECT_GT(r.occupancy, 0.99);
  EXPECT_LE(r.occupancy, 1.0);
  EXPECT_NEAR(r.abandon_probability, 0.9, 1e-3);
  EXPECT_EQ(r.service_level, r.service_level_excluding_short_abandons);  // t = 0
}

// Far above the lines every line is busy: the agents talk, the other places
// hold waiting callers, and all but a vanishing share of calls is blocked.
// The upper gamma tail's continued fraction once never settled there (its
// terms round to 1 - 2^-53 for x near 2^60) and such a call ran for minutes.
TEST(ContactCentre, FarAboveTheLinesEveryLineIsBusy) {
  for (const double A : {1e20, 1e60, 1e100}) {
    for (const double p : {1e-3, 1.0, 1e4}) {
      moravel_contact_centre_result r;
      ASSERT_EQ(moravel_contact_centre(A, 1.0, p, 35, 49, 1.0, &r), MORAVEL_OK) << A << " " << p;
      EXPECT_LT(std::fabs(r.blocked_probability - 1.0), 1e-12) << A << " " << p;
      EXPECT_LT(std::fabs(r.occupancy - 1.0), 1e-12) << A << " " << p;
      EXPECT_LT(std::fabs(r.queue_length / 14.0 - 1.0), 1e-12) << A << " " << p;
    }
  }
}

TEST(ContactCentre, NoTraffic) {
  moravel_contact_centre_result r;
  ASSERT_EQ(moravel_contact_centre(0.0, 1.0, 1.0, 3, 0, 0.0, &r), MORAVEL_OK);
  EXPECT_EQ(r.wait_probability, 0.0);
  EXPECT_EQ(r.service_level, 1.0);
  EXPECT_EQ(r.occupancy, 0.0);
}

TEST(ContactCentreRetrials, NoRetriesIsThePlainModel) {
  moravel_retrial_result r;
  moravel_contact_centre_result plain;
  ASSERT_EQ(moravel_contact_centre_retrials(20.0, 180.0, 120.0, 20, 25, 20.0, 0.0, 0.0, 60.0, &r),
            MORAVEL_OK);
  ASSERT_EQ(moravel_contact_centre(20.0, 180.0, 120.0, 20, 25, 20.0, &plain), MORAVEL_OK);
  EXPECT_EQ(Bits(r.attempt.service_level), Bits(plain.service_level));
  EXPECT_EQ(r.offered_total, 20.0);
  EXPECT_EQ(r.retry_traffic, 0.0);
  EXPECT_EQ(r.redialling, 0.0);
}

TEST(ContactCentreRetrials, FixedPoint) {
  const struct {
    double A, p;
    std::int32_t n, lines;
    double rb, ra;
  } rows[] = {{20.0, 120.0, 20, 25, 0.8, 0.5},
              {20.0, 120.0, 20, 0, 0.0, 1.0},
              {30.0, 60.0, 20, 22, 0.6, 0.3},
              {19.0, kInf, 20, 21, 0.9, 0.0},
              {200.0, 30.0, 20, 0, 0.5, 0.5}};
  for (const auto& row : rows) {
    moravel_retrial_result r;
    ASSERT_EQ(moravel_contact_centre_retrials(row.A, 180.0, row.p, row.n, row.lines, 20.0, row.rb,
                                              row.ra, 60.0, &r),
              MORAVEL_OK)
        << row.A;
    const double T = r.offered_total;
    const double retried =
        T * (row.rb * r.attempt.blocked_probability + row.ra * r.attempt.abandon_probability);
    EXPECT_LT(Relative(T, row.A + retried), 1e-12) << row.A;
    EXPECT_NEAR(r.answered_share + r.blocked_share + r.abandoned_share, 1.0, 1e-12) << row.A;
    EXPECT_LT(Relative(r.attempts_per_caller * row.A, T), 1e-15);
    EXPECT_LT(Relative(r.redialling, r.retry_traffic * 60.0 / 180.0), 1e-15);
    // Every caller's answer is an attempt's answer.
    EXPECT_LT(Relative(r.answered_share * row.A, r.attempt.carried), 1e-12) << row.A;
  }
}

TEST(ContactCentreRetrials, Refusals) {
  moravel_retrial_result r;
  // Everyone retries and 25 erlangs exceed what 20 agents carry: no balance.
  EXPECT_EQ(moravel_contact_centre_retrials(25.0, 1.0, 1.0, 20, 0, 0.1, 1.0, 1.0, 1.0, &r),
            MORAVEL_ERROR_RETRIALS_DIVERGE);
  // The delay system's losses are nil: nothing to retry.
  ASSERT_EQ(moravel_contact_centre_retrials(19.0, 1.0, kInf, 20, 0, 0.1, 1.0, 1.0, 1.0, &r),
            MORAVEL_OK);
  EXPECT_EQ(r.offered_total, 19.0);
  for (const double share : {-0.1, 1.1, kNaN}) {
    EXPECT_EQ(moravel_contact_centre_retrials(5.0, 1.0, 1.0, 20, 0, 0.1, share, 0.5, 1.0, &r),
              MORAVEL_ERROR_RETRY_SHARE);
    EXPECT_EQ(moravel_contact_centre_retrials(5.0, 1.0, 1.0, 20, 0, 0.1, 0.5, share, 1.0, &r),
              MORAVEL_ERROR_RETRY_SHARE);
  }
  for (const double redial : {0.0, -1.0, kInf, kNaN}) {
    EXPECT_EQ(moravel_contact_centre_retrials(5.0, 1.0, 1.0, 20, 0, 0.1, 0.5, 0.5, redial, &r),
              MORAVEL_ERROR_REDIAL_TIME);
  }
  EXPECT_EQ(moravel_contact_centre_retrials(kNaN, 1.0, 1.0, 20, 0, 0.1, 0.5, 0.5, 1.0, &r),
            MORAVEL_ERROR_TRAFFIC);
  EXPECT_EQ(moravel_contact_centre_retrials(5.0, 1.0, 1.0, 20, 0, 0.1, 0.5, 0.5, 1.0, nullptr),
            MORAVEL_ERROR_NULL_POINTER);
}

TEST(ContactCentre, StatusTexts) {
  for (std::int32_t code = MORAVEL_ERROR_PATIENCE; code <= MORAVEL_ERROR_OCCUPANCY; ++code) {
    EXPECT_STRNE(moravel_status_message(code), "unknown status code") << code;
  }
  for (std::int32_t code : {37, 39, 57, 59, 69}) {
    EXPECT_STREQ(moravel_status_message(code), "unknown status code") << code;
  }
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_LINES),
               "lines must be 0 (no limit) or at least the agents");
}

}  // namespace
