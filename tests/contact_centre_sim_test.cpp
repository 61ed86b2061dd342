// The contact-centre replay: against the exact birth-death figures where
// the model is exact (statistically, over replications), against its plain
// transcription (bit for bit), its seeds and replications, its refusals,
// and the redial fixed point (deviations printed, not asserted).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "contact_centre_sim/contact_centre_simulation.h"
#include "contact_centre_sim/run_seeds.h"
#include "formulas/erlang_loss.h"
#include "moravel/api.h"
#include "random/second_seed.h"
#include "reference/contact_centre_reference.h"
#include "support/bits.h"

namespace moravel {
namespace {

using testing::Bits;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

moravel_contact_centre_setup Centre(double A, std::int32_t n, std::int32_t L, double p, double t) {
  moravel_contact_centre_setup c{};
  c.traffic = A;
  c.agents = n;
  c.lines = L;
  c.patience_distribution = MORAVEL_PATIENCE_EXPONENTIAL;
  c.patience_phases = 1;
  c.patience = p;
  c.answer_time = t;
  return c;
}

// The figures of moravel_contact_centre(), in its order.
constexpr int kFigures = 11;
constexpr std::array<const char*, kFigures> kFigureNames = {
    "P(wait)", "P(blocked)", "P(abandon)", "P(abandon within t)", "SL",     "SL excl. short",
    "ASA",     "mean wait",  "queue",      "occupancy",           "carried"};

std::array<double, kFigures> FiguresOf(const moravel_contact_centre_result& r) {
  return {r.wait_probability,
          r.blocked_probability,
          r.abandon_probability,
          r.abandon_within_answer_time,
          r.service_level,
          r.service_level_excluding_short_abandons,
          r.mean_answer_wait,
          r.mean_wait,
          r.queue_length,
          r.occupancy,
          r.carried};
}

std::array<double, kFigures> FiguresOf(const reference::ExactCentre& x) {
  const long double values[kFigures] = {x.wait_probability,
                                        x.blocked_probability,
                                        x.abandon_probability,
                                        x.abandon_within_answer_time,
                                        x.service_level,
                                        x.service_level_excluding_short_abandons,
                                        x.mean_answer_wait,
                                        x.mean_wait,
                                        x.queue_length,
                                        x.occupancy,
                                        x.carried};
  std::array<double, kFigures> out{};
  for (int f = 0; f < kFigures; ++f) out[f] = static_cast<double>(values[f]);
  return out;
}

// Mean and standard error of the mean over replications (the study core
// does this for the hosts; the test needs no more than these two).
struct MeanAndError {
  double mean, error;
};

MeanAndError Summarise(const std::vector<double>& values) {
  const double R = static_cast<double>(values.size());
  double sum = 0.0;
  for (double v : values) sum += v;
  const double mean = sum / R;
  double squares = 0.0;
  for (double v : values) squares += (v - mean) * (v - mean);
  return {mean, std::sqrt(squares / (R - 1.0) / R)};
}

struct AgreementPoint {
  double A;
  std::int32_t n, L;
  double p, t;
  std::int32_t calls, warmup;
};

// n from 1 to 200; traffic below, at and above n; patience short (a fifth
// of a handling time), long (ten) and infinite; with and without lines;
// answer times from 0 to two handling times.
constexpr AgreementPoint kAgreementPoints[] = {
    {0.5, 1, 0, kInf, 0.5, 40000, 2000},        {0.8, 1, 0, 1.0, 0.2, 40000, 2000},
    {1.0, 1, 0, 0.2, 0.0, 40000, 2000},         {3.0, 1, 0, 10.0, 1.0, 40000, 4000},
    {0.9, 1, 3, kInf, 0.5, 40000, 2000},        {2.0, 1, 5, 1.0, 0.3, 40000, 2000},
    {4.0, 5, 0, kInf, 0.1, 40000, 4000},        {5.0, 5, 8, kInf, 0.2, 40000, 4000},
    {5.0, 5, 0, 0.2, 0.1, 40000, 4000},         {8.0, 5, 0, 10.0, 2.0, 40000, 8000},
    {6.0, 5, 5, 1.0, 0.0, 40000, 2000},         {20.0, 20, 0, 2.0 / 3.0, 1.0 / 9.0, 60000, 6000},
    {15.0, 20, 25, 10.0, 0.05, 60000, 6000},    {25.0, 20, 0, 0.2, 0.1, 60000, 6000},
    {18.0, 20, 0, kInf, 0.05, 60000, 10000},    {30.0, 20, 30, 1.0, 0.5, 60000, 6000},
    {45.0, 50, 0, 1.0, 0.02, 100000, 10000},    {50.0, 50, 60, kInf, 0.05, 100000, 20000},
    {60.0, 50, 0, 10.0, 0.5, 100000, 40000},    {100.0, 100, 0, 0.2, 0.01, 100000, 10000},
    {95.0, 100, 110, 10.0, 0.1, 100000, 20000}, {120.0, 100, 0, 1.0, 0.05, 100000, 20000},
    {180.0, 200, 0, 10.0, 0.02, 200000, 40000}, {200.0, 200, 0, 1.0, 0.01, 200000, 20000},
    {240.0, 200, 220, 0.2, 0.0, 200000, 20000}, {190.0, 200, 0, kInf, 0.02, 200000, 40000},
};

constexpr std::int32_t kReplications = 40;

// The library's model (moravel_contact_centre, h = 1) against the mean of
// the replications, and against the birth-death oracle.
TEST(ContactCentreAgreement, ExactModelWithinFourStandardErrors) {
  double worst = 0.0, worst_oracle = 0.0;
  std::string worst_at;
  std::array<double, kFigures> worst_by_figure{};
  for (const AgreementPoint& point : kAgreementPoints) {
    const auto centre = Centre(point.A, point.n, point.L, point.p, point.t);
    std::vector<moravel_contact_centre_estimate> runs(kReplications);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&centre, point.calls, point.warmup,
                                                           20261207u, kReplications, runs.data()),
              MORAVEL_OK);
    moravel_contact_centre_result model_result{};
    ASSERT_EQ(
        moravel_contact_centre(point.A, 1.0, point.p, point.n, point.L, point.t, &model_result),
        MORAVEL_OK);
    const auto model = FiguresOf(model_result);
    const auto oracle =
        FiguresOf(reference::BirthDeathCentre(point.A, point.n, point.L, point.p, point.t));
    std::printf("A %g n %d L %d p %g t %g:", point.A, point.n, point.L, point.p, point.t);
    for (int f = 0; f < kFigures; ++f) {
      // The oracle, in long double, differential against the model.
      const double scale = std::max(std::abs(oracle[f]), 1e-300);
      const double oracle_relative =
          oracle[f] == model[f] ? 0.0 : std::abs(model[f] - oracle[f]) / scale;
      EXPECT_LE(oracle_relative, 1e-9)
          << kFigureNames[f] << " model " << model[f] << " oracle " << oracle[f];
      worst_oracle = std::max(worst_oracle, oracle_relative);

      std::vector<double> values;
      for (const auto& run : runs) values.push_back(FiguresOf(run.attempt)[f]);
      const MeanAndError sim = Summarise(values);
      const double deviation = std::abs(model[f] - sim.mean);
      if (sim.error <= 1e-12 * std::max(1.0, std::abs(sim.mean))) {
        // Every replication gave the same value but for rounding: nobody
        // blocked without lines, nobody abandons without patience, and then
        // every caller is answered and the occupancy is A / n.
        EXPECT_LE(deviation, 1e-12 * std::max(1.0, std::abs(model[f]))) << kFigureNames[f];
        std::printf(" %s exact", kFigureNames[f]);
        continue;
      }
      const double in_errors = deviation / sim.error;
      std::printf(" %s %.2f", kFigureNames[f], in_errors);
      EXPECT_LE(in_errors, 4.0) << kFigureNames[f] << " model " << model[f] << " simulation "
                                << sim.mean << " +- " << sim.error;
      worst_by_figure[f] = std::max(worst_by_figure[f], in_errors);
      if (in_errors > worst) {
        worst = in_errors;
        worst_at = std::string(kFigureNames[f]) + " at A " + std::to_string(point.A) + " n " +
                   std::to_string(point.n);
      }
    }
    std::printf("\n");
  }
  std::printf("worst |model - simulation| by figure, in standard errors:");
  for (int f = 0; f < kFigures; ++f) std::printf(" %s %.2f", kFigureNames[f], worst_by_figure[f]);
  std::printf("\nworst over %zu points: %.2f standard errors (%s)\n", std::size(kAgreementPoints),
              worst, worst_at.c_str());
  std::printf("worst relative difference, model against the birth-death oracle: %.3g\n",
              worst_oracle);
}

// The oracle itself on the planners' worked example: 20 erlangs of 180 s
// calls, mean patience 120 s, 20 agents, answer time 20 s.
TEST(ContactCentreOracle, WorkedExample) {
  const auto x = reference::BirthDeathCentre(20.0, 20, 0, 120.0 / 180.0, 20.0 / 180.0);
  EXPECT_NEAR(static_cast<double>(x.wait_probability), 0.482759, 5e-7);
  EXPECT_NEAR(static_cast<double>(x.abandon_probability), 0.0977110, 5e-8);
  EXPECT_NEAR(static_cast<double>(x.queue_length), 1.30281, 5e-6);
  EXPECT_NEAR(static_cast<double>(x.service_level), 0.706453, 5e-7);
  EXPECT_NEAR(static_cast<double>(x.occupancy), 0.902289, 5e-7);
}

// Setups drawn over every option, each run by the replay and by its plain
// transcription: every figure the same to the bit.
std::vector<CentreSetup> GeneratedSetups() {
  std::mt19937_64 generator(20261207);
  auto pick = [&](auto... options) {
    const double values[] = {static_cast<double>(options)...};
    return values[std::uniform_int_distribution<std::size_t>(0, sizeof...(options) - 1)(generator)];
  };
  auto whole = [&](std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(generator);
  };
  std::vector<CentreSetup> setups;
  for (int k = 0; k < 300; ++k) {
    CentreSetup c;
    c.agents = whole(1, 30);
    c.traffic = std::uniform_real_distribution<double>(0.05, 3.0)(generator) * c.agents;
    c.lines = pick(0, 1) == 0 ? 0 : c.agents + whole(0, 12);
    c.patience_distribution = static_cast<PatienceDistribution>(whole(1, 3));
    c.patience_phases = c.patience_distribution == PatienceDistribution::kErlang ? whole(1, 6) : 1;
    c.patience = pick(5e-324, 0.05, 0.5, 1.0, 4.0, kInf);
    c.answer_time = pick(0.0, 0.01, 0.1, 1.0);
    c.blocked_retry_share = pick(0.0, 0.0, 0.4, 1.0);
    c.abandoned_retry_share = pick(0.0, 0.0, 0.7, 1.0);
    c.redial_time = pick(0.1, 1.0, 5.0);
    setups.push_back(c);
  }
  return setups;
}

std::vector<double> AllFields(const ContactCentreEstimate& e) {
  std::vector<double> v;
  for (const CallFigures* f : {&e.attempt, &e.first_attempt}) {
    v.insert(v.end(), {f->wait_probability, f->blocked_probability, f->abandon_probability,
                       f->abandon_within_answer_time, f->service_level,
                       f->service_level_excluding_short_abandons, f->mean_answer_wait, f->mean_wait,
                       f->queue_length, f->occupancy, f->carried});
  }
  v.insert(v.end(), {e.offered_total, e.retry_traffic, e.attempts_per_caller, e.answered_share,
                     e.blocked_share, e.abandoned_share, e.redialling});
  return v;
}

TEST(ContactCentreReplay, EqualsPlainTranscriptionBitForBit) {
  std::mt19937 seeds(7);
  int compared = 0, with_redials = 0;
  for (const CentreSetup& c : GeneratedSetups()) {
    const std::int64_t calls = 1 + seeds() % 2500;
    const std::int64_t warmup = seeds() % 400;
    const std::uint32_t seed = 1 + seeds() % 4000000000u;
    const auto fast = SimulateContactCentre(c, calls, warmup, seed);
    if (!fast) continue;  // passed the work bound: the transcription has none
    const auto plain = reference::ContactCentreReplay(c, calls, warmup, seed);
    const auto a = AllFields(*fast), b = AllFields(plain);
    for (std::size_t i = 0; i < a.size(); ++i) {
      ASSERT_EQ(Bits(a[i]), Bits(b[i])) << "field " << i << " n " << c.agents << " A " << c.traffic
                                        << " L " << c.lines << " seed " << seed;
    }
    ++compared;
    with_redials += c.Redials() ? 1 : 0;
  }
  EXPECT_GE(compared, 250);
  EXPECT_GE(with_redials, 100);
}

TEST(ContactCentreSeeds, RepeatAndReplications) {
  auto centre = Centre(12.0, 10, 14, 1.0, 0.2);
  centre.blocked_retry_share = 0.5;
  centre.abandoned_retry_share = 0.3;
  centre.redial_time = 2.0;
  const std::uint32_t s = 99u;
  moravel_contact_centre_estimate one{}, again{};
  ASSERT_EQ(moravel_simulate_contact_centre(&centre, 5000, 500, s, &one), MORAVEL_OK);
  ASSERT_EQ(moravel_simulate_contact_centre(&centre, 5000, 500, s, &again), MORAVEL_OK);
  EXPECT_EQ(one.seed, s);
  EXPECT_EQ(std::memcmp(&one, &again, sizeof one), 0);

  // Replication r is the single run with seed S^(4r)(s).
  std::array<moravel_contact_centre_estimate, 4> set{};
  ASSERT_EQ(moravel_simulate_contact_centre_replications(&centre, 5000, 500, s, 4, set.data()),
            MORAVEL_OK);
  std::uint32_t expected = s;
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(set[r].seed, expected);
    moravel_contact_centre_estimate single{};
    ASSERT_EQ(moravel_simulate_contact_centre(&centre, 5000, 500, expected, &single), MORAVEL_OK);
    EXPECT_EQ(std::memcmp(&single, &set[r], sizeof single), 0) << r;
    expected = SecondSeed(SecondSeed(SecondSeed(SecondSeed(expected))));
  }
  // The four engines of a run take s, S(s), S(S(s)), S(S(S(s))).
  const RunSeeds run = SeedsOfRun(s);
  EXPECT_EQ(run.arrival, s);
  EXPECT_EQ(run.holding, SecondSeed(s));
  EXPECT_EQ(run.patience, SecondSeed(SecondSeed(s)));
  EXPECT_EQ(run.redial, SecondSeed(SecondSeed(SecondSeed(s))));

  // Seed 0 takes the clock's seed, reports it, and that seed repeats the run.
  moravel_contact_centre_estimate clocked{}, repeated{};
  ASSERT_EQ(moravel_simulate_contact_centre(&centre, 5000, 500, 0u, &clocked), MORAVEL_OK);
  EXPECT_NE(clocked.seed, 0u);
  ASSERT_EQ(moravel_simulate_contact_centre(&centre, 5000, 500, clocked.seed, &repeated),
            MORAVEL_OK);
  EXPECT_EQ(std::memcmp(&clocked, &repeated, sizeof clocked), 0);
}

// Without redials a caller makes one attempt: the two groups agree and the
// callers' shares add up.  One Erlang phase is the exponential, bit for bit.
TEST(ContactCentreReplay, StructuralIdentities) {
  const auto centre = Centre(22.0, 20, 26, 0.5, 0.1);
  moravel_contact_centre_estimate e{};
  ASSERT_EQ(moravel_simulate_contact_centre(&centre, 20000, 1000, 5u, &e), MORAVEL_OK);
  EXPECT_EQ(std::memcmp(&e.attempt, &e.first_attempt, sizeof e.attempt), 0);
  EXPECT_EQ(Bits(e.attempts_per_caller), Bits(1.0));
  EXPECT_EQ(Bits(e.offered_total), Bits(22.0));
  EXPECT_EQ(Bits(e.retry_traffic), Bits(0.0));
  EXPECT_EQ(Bits(e.redialling), Bits(0.0));
  EXPECT_NEAR(e.answered_share + e.blocked_share + e.abandoned_share, 1.0, 1e-15);
  EXPECT_EQ(Bits(e.blocked_share), Bits(e.attempt.blocked_probability));
  EXPECT_EQ(Bits(e.abandoned_share), Bits(e.attempt.abandon_probability));
  EXPECT_EQ(Bits(e.attempt.carried), Bits(22.0 * e.answered_share));
  // Little's law: the mean queue is A times the mean time in the queue.
  EXPECT_NEAR(e.attempt.queue_length, 22.0 * e.attempt.mean_wait, 1e-12);

  auto erlang = centre;
  erlang.patience_distribution = MORAVEL_PATIENCE_ERLANG;
  erlang.patience_phases = 1;
  moravel_contact_centre_estimate one_phase{};
  ASSERT_EQ(moravel_simulate_contact_centre(&erlang, 20000, 1000, 5u, &one_phase), MORAVEL_OK);
  EXPECT_EQ(std::memcmp(&e, &one_phase, sizeof e), 0);

  // Phases are ignored by the other distributions.
  auto ignored = centre;
  ignored.patience_phases = -7;
  moravel_contact_centre_estimate same{};
  ASSERT_EQ(moravel_simulate_contact_centre(&ignored, 20000, 1000, 5u, &same), MORAVEL_OK);
  EXPECT_EQ(std::memcmp(&e, &same, sizeof e), 0);
}

// Deterministic patience of the least double turns every caller who finds
// the agents busy away at once: the abandonment is Erlang B's loss.  A deterministic
// patience beyond every wait gives the waiting system; Erlang phases move
// the abandonment from the exponential's towards the deterministic's.
TEST(ContactCentreReplay, DeterministicAndErlangPatience) {
  struct Row {
    double A;
    std::int32_t n;
  };
  for (const Row row : {Row{3.0, 4}, Row{10.0, 8}, Row{50.0, 55}}) {
    // The least patience there is: every caller who would wait hangs up.
    auto c = Centre(row.A, row.n, 0, 5e-324, 0.0);
    c.patience_distribution = MORAVEL_PATIENCE_DETERMINISTIC;
    std::vector<moravel_contact_centre_estimate> runs(kReplications);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&c, 20000, 2000, 3u, kReplications,
                                                           runs.data()),
              MORAVEL_OK);
    std::vector<double> abandon;
    for (const auto& r : runs) {
      abandon.push_back(r.attempt.abandon_probability);
      EXPECT_LE(r.attempt.mean_wait, 1e-300);
      EXPECT_LE(r.attempt.queue_length, 1e-300);
      EXPECT_EQ(r.attempt.abandon_probability, r.attempt.wait_probability);
    }
    const MeanAndError sim = Summarise(abandon);
    const double loss = PalmTable(row.n, row.A);
    std::printf(
        "deterministic patience 0, A %g n %d: Erlang B %.6f, simulated %.6f +- %.6f "
        "(%.2f standard errors)\n",
        row.A, row.n, loss, sim.mean, sim.error, std::abs(loss - sim.mean) / sim.error);
    EXPECT_LE(std::abs(loss - sim.mean), 4.0 * sim.error);
  }
  // 8 erlangs on 10 agents, mean patience 1: the abandonment falls as the
  // patience gets less variable (fewer callers give up early), the
  // deterministic one the least.
  double previous = 1.0;
  for (const std::int32_t phases : {1, 4, 100, 0}) {
    auto c = Centre(8.0, 10, 0, 1.0, 0.1);
    c.patience_distribution =
        phases == 0 ? MORAVEL_PATIENCE_DETERMINISTIC : MORAVEL_PATIENCE_ERLANG;
    c.patience_phases = phases;
    moravel_contact_centre_estimate e{};
    ASSERT_EQ(moravel_simulate_contact_centre(&c, 400000, 10000, 11u, &e), MORAVEL_OK);
    std::printf("Erlang patience, %d phases (0: deterministic): P(abandon) %.5f\n", phases,
                e.attempt.abandon_probability);
    EXPECT_LT(e.attempt.abandon_probability, previous);
    previous = e.attempt.abandon_probability;
  }
}

struct Refusal {
  const char* what;
  void (*change)(moravel_contact_centre_setup&, std::int32_t& calls, std::int32_t& warmup);
  moravel_status status;
};

// Each bound, and the value on its other side accepted.
const Refusal kRefusals[] = {
    {"traffic 0", [](auto& c, auto&, auto&) { c.traffic = 0.0; },
     MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE},
    {"traffic -1", [](auto& c, auto&, auto&) { c.traffic = -1.0; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic inf", [](auto& c, auto&, auto&) { c.traffic = kInf; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic NaN", [](auto& c, auto&, auto&) { c.traffic = kNaN; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic tiny", [](auto& c, auto&, auto&) { c.traffic = 5e-324; }, MORAVEL_OK},
    {"agents 0", [](auto& c, auto&, auto&) { c.agents = 0; }, MORAVEL_ERROR_SERVERS},
    {"agents max",
     [](auto& c, auto&, auto&) {
       c.agents = 2147483647;
       c.lines = 0;
     },
     MORAVEL_ERROR_SERVERS_TOO_MANY},
    {"lines n - 1", [](auto& c, auto&, auto&) { c.lines = c.agents - 1; }, MORAVEL_ERROR_LINES},
    {"lines -1", [](auto& c, auto&, auto&) { c.lines = -1; }, MORAVEL_ERROR_LINES},
    {"lines n", [](auto& c, auto&, auto&) { c.lines = c.agents; }, MORAVEL_OK},
    {"lines max", [](auto& c, auto&, auto&) { c.lines = 2147483647; }, MORAVEL_OK},
    {"distribution 0", [](auto& c, auto&, auto&) { c.patience_distribution = 0; },
     MORAVEL_ERROR_PATIENCE_DISTRIBUTION},
    {"distribution 4", [](auto& c, auto&, auto&) { c.patience_distribution = 4; },
     MORAVEL_ERROR_PATIENCE_DISTRIBUTION},
    {"phases 0",
     [](auto& c, auto&, auto&) {
       c.patience_distribution = 3;
       c.patience_phases = 0;
     },
     MORAVEL_ERROR_PATIENCE_DISTRIBUTION},
    {"phases 101",
     [](auto& c, auto&, auto&) {
       c.patience_distribution = 3;
       c.patience_phases = 101;
     },
     MORAVEL_ERROR_PATIENCE_DISTRIBUTION},
    {"phases 100",
     [](auto& c, auto&, auto&) {
       c.patience_distribution = 3;
       c.patience_phases = 100;
     },
     MORAVEL_OK},
    {"patience -1e-300", [](auto& c, auto&, auto&) { c.patience = -1e-300; },
     MORAVEL_ERROR_PATIENCE},
    {"patience NaN", [](auto& c, auto&, auto&) { c.patience = kNaN; }, MORAVEL_ERROR_PATIENCE},
    {"patience 0", [](auto& c, auto&, auto&) { c.patience = 0.0; }, MORAVEL_ERROR_PATIENCE},
    {"patience least", [](auto& c, auto&, auto&) { c.patience = 5e-324; }, MORAVEL_OK},
    {"patience inf", [](auto& c, auto&, auto&) { c.patience = kInf; }, MORAVEL_OK},
    {"patience max", [](auto& c, auto&, auto&) { c.patience = 1.7976931348623157e308; },
     MORAVEL_OK},
    {"answer time -1e-300", [](auto& c, auto&, auto&) { c.answer_time = -1e-300; },
     MORAVEL_ERROR_THRESHOLD},
    {"answer time inf", [](auto& c, auto&, auto&) { c.answer_time = kInf; },
     MORAVEL_ERROR_THRESHOLD},
    {"share above 1", [](auto& c, auto&, auto&) { c.blocked_retry_share = 1.0000000000000002; },
     MORAVEL_ERROR_RETRY_SHARE},
    {"share NaN", [](auto& c, auto&, auto&) { c.abandoned_retry_share = kNaN; },
     MORAVEL_ERROR_RETRY_SHARE},
    {"share negative", [](auto& c, auto&, auto&) { c.abandoned_retry_share = -1e-300; },
     MORAVEL_ERROR_RETRY_SHARE},
    {"redial 0",
     [](auto& c, auto&, auto&) {
       c.blocked_retry_share = 0.5;
       c.redial_time = 0.0;
     },
     MORAVEL_ERROR_REDIAL_TIME},
    {"redial inf",
     [](auto& c, auto&, auto&) {
       c.blocked_retry_share = 0.5;
       c.redial_time = kInf;
     },
     MORAVEL_ERROR_REDIAL_TIME},
    {"redial ignored", [](auto& c, auto&, auto&) { c.redial_time = kNaN; }, MORAVEL_OK},
    {"share 1",
     [](auto& c, auto&, auto&) {
       c.blocked_retry_share = 1.0;
       c.redial_time = 1.0;
     },
     MORAVEL_OK},
    {"calls 0", [](auto&, auto& calls, auto&) { calls = 0; }, MORAVEL_ERROR_CALLS},
    {"warm-up -1", [](auto&, auto&, auto& warmup) { warmup = -1; }, MORAVEL_ERROR_RUN_LENGTH},
    {"warm-up 0", [](auto&, auto&, auto& warmup) { warmup = 0; }, MORAVEL_OK},
    // Everyone answered sooner or later: the agents must carry A.
    {"no patience, no lines, A = n",
     [](auto& c, auto&, auto&) {
       c.patience = kInf;
       c.lines = 0;
       c.traffic = c.agents;
     },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"no patience, no lines, A below n",
     [](auto& c, auto&, auto&) {
       c.patience = kInf;
       c.lines = 0;
       c.traffic = std::nextafter(c.agents, 0.0);
     },
     MORAVEL_OK},
    {"all redial, A = n",
     [](auto& c, auto&, auto&) {
       c.blocked_retry_share = c.abandoned_retry_share = 1.0;
       c.redial_time = 1.0;
       c.traffic = c.agents;
     },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"blocked all redial, no patience, A = n",
     [](auto& c, auto&, auto&) {
       c.patience = kInf;
       c.blocked_retry_share = 1.0;
       c.redial_time = 1.0;
       c.traffic = c.agents;
     },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"abandoned nearly all redial, A = 2n",
     [](auto& c, auto&, auto&) {
       c.lines = 0;
       c.abandoned_retry_share = 0.5;
       c.redial_time = 1.0;
       c.traffic = 2 * c.agents;
     },
     MORAVEL_OK},
};

TEST(ContactCentreApi, Refusals) {
  for (const Refusal& r : kRefusals) {
    auto c = Centre(4.0, 5, 8, 1.0, 0.2);
    std::int32_t calls = 100, warmup = 10;
    r.change(c, calls, warmup);
    moravel_contact_centre_estimate e{};
    e.offered_total = -5.0;
    EXPECT_EQ(moravel_simulate_contact_centre(&c, calls, warmup, 1u, &e), r.status) << r.what;
    if (r.status != MORAVEL_OK) {
      EXPECT_EQ(e.offered_total, -5.0) << r.what << ": written";
    }
    moravel_contact_centre_estimate set[2]{};
    EXPECT_EQ(moravel_simulate_contact_centre_replications(&c, calls, warmup, 1u, 2, set), r.status)
        << r.what;
  }
  const auto c = Centre(4.0, 5, 8, 1.0, 0.2);
  moravel_contact_centre_estimate e{};
  EXPECT_EQ(moravel_simulate_contact_centre(nullptr, 10, 0, 1u, &e), MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(moravel_simulate_contact_centre(&c, 10, 0, 1u, nullptr), MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(moravel_simulate_contact_centre_replications(&c, 10, 0, 1u, 0, &e),
            MORAVEL_ERROR_RUN_LENGTH);
  EXPECT_EQ(moravel_simulate_contact_centre_replications(&c, 10, 0, 1u, 1, nullptr),
            MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(moravel_simulate_contact_centre_replications(&c, 10, 0, 1u, 1, &e), MORAVEL_OK);
}

// Callers who redial nearly every failure, into a centre three times
// overloaded with as many lines as agents: most attempts fail, and the
// attempts pass 64 per caller.  The run stops and writes nothing.
TEST(ContactCentreApi, WorkBound) {
  auto c = Centre(30.0, 10, 10, 1.0, 0.2);
  c.blocked_retry_share = 1.0;
  c.abandoned_retry_share = 0.999;
  c.redial_time = 0.01;
  moravel_contact_centre_estimate e{};
  e.offered_total = -5.0;
  EXPECT_EQ(moravel_simulate_contact_centre(&c, 1000, 0, 1u, &e), MORAVEL_ERROR_MODEL_LIMIT);
  EXPECT_EQ(e.offered_total, -5.0);
  // At 0.9 the same centre settles.
  c.abandoned_retry_share = 0.9;
  c.blocked_retry_share = 0.9;
  EXPECT_EQ(moravel_simulate_contact_centre(&c, 1000, 0, 1u, &e), MORAVEL_OK);
  EXPECT_LT(e.attempts_per_caller, 64.0);
}

TEST(ContactCentreApi, StatusMessages) {
  const std::pair<int, const char*> messages[] = {
      {48,
       "patience distribution must be exponential, deterministic or Erlang with 1 to 100 "
       "phases"},
      {49, "warm-up calls must not be negative and replications must be at least 1"},
      {35, "the input is beyond the sizes the model computes in bounded time"},
  };
  EXPECT_EQ(MORAVEL_ERROR_PATIENCE_DISTRIBUTION, 48);
  EXPECT_EQ(MORAVEL_ERROR_RUN_LENGTH, 49);
  for (const auto& [status, text] : messages) EXPECT_STREQ(moravel_status_message(status), text);
  EXPECT_STREQ(moravel_status_message(57), "unknown status code");
}

// The usual fixed point for redials (moravel_contact_centre_retrials): the
// attempts are taken as a Poisson stream of T erlangs, T = A + T (rb Pb(T)
// + ra Pa(T)), with Pb and Pa the exact blocking and abandonment at T.  An
// approximation: a failed caller redials into a centre that is still busy,
// the more so the shorter the redial time, so the attempts are not the
// Poisson stream it assumes.  Its figures against the simulation's are
// printed, not asserted beyond a gross error.  The same fixed point,
// solved plainly on the birth-death oracle, checks the library's.
struct RedialPoint {
  double A;
  std::int32_t n, L;
  double p, t, blocked_retry_share, abandoned_retry_share, redial;
};

double PlainFixedPoint(const RedialPoint& r) {
  double T = r.A;
  for (int k = 0; k < 2000; ++k) {
    const auto x = reference::BirthDeathCentre(T, r.n, r.L, r.p, r.t);
    const double next =
        r.A / (1.0 - r.blocked_retry_share * static_cast<double>(x.blocked_probability) -
               r.abandoned_retry_share * static_cast<double>(x.abandon_probability));
    const bool settled = std::abs(next - T) <= 1e-14 * T;
    T = 0.5 * (T + next);
    if (settled) break;
  }
  return T;
}

constexpr RedialPoint kRedialPoints[] = {
    {22.0, 20, 0, 0.5, 0.1, 0.0, 0.5, 1.0},      {8.0, 10, 12, kInf, 0.2, 0.7, 0.0, 0.5},
    {30.0, 20, 25, 1.0, 0.1, 0.8, 0.6, 2.0},     {5.0, 5, 5, kInf, 0.0, 0.5, 0.0, 0.2},
    {5.0, 5, 5, kInf, 0.0, 0.5, 0.0, 10.0},      {100.0, 100, 0, 0.2, 0.05, 0.0, 0.9, 1.0},
    {120.0, 100, 110, 1.0, 0.05, 0.9, 0.9, 0.1},
};

TEST(ContactCentreRedials, FixedPointAgainstSimulation) {
  double worst_caller = 0.0, worst_attempt = 0.0;
  for (const RedialPoint& r : kRedialPoints) {
    auto c = Centre(r.A, r.n, r.L, r.p, r.t);
    c.blocked_retry_share = r.blocked_retry_share;
    c.abandoned_retry_share = r.abandoned_retry_share;
    c.redial_time = r.redial;
    constexpr std::int32_t R = 20;
    std::vector<moravel_contact_centre_estimate> runs(R);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&c, 40000, 10000, 77u, R, runs.data()),
              MORAVEL_OK);
    moravel_retrial_result model{};
    ASSERT_EQ(moravel_contact_centre_retrials(r.A, 1.0, r.p, r.n, r.L, r.t, r.blocked_retry_share,
                                              r.abandoned_retry_share, r.redial, &model),
              MORAVEL_OK);
    const double plain = PlainFixedPoint(r);
    EXPECT_NEAR(model.offered_total, plain, 1e-9 * plain);

    struct Figure {
      const char* name;
      double model;
      double (*simulated)(const moravel_contact_centre_estimate&);
      bool per_caller;
    };
    using E = moravel_contact_centre_estimate;
    const Figure figures[] = {
        {"offered total", model.offered_total, [](const E& e) { return e.offered_total; }, true},
        {"answered share", model.answered_share, [](const E& e) { return e.answered_share; }, true},
        {"blocked share", model.blocked_share, [](const E& e) { return e.blocked_share; }, true},
        {"abandoned share", model.abandoned_share, [](const E& e) { return e.abandoned_share; },
         true},
        {"redialling", model.redialling, [](const E& e) { return e.redialling; }, true},
        {"P(blocked)", model.attempt.blocked_probability,
         [](const E& e) { return e.attempt.blocked_probability; }, false},
        {"P(abandon)", model.attempt.abandon_probability,
         [](const E& e) { return e.attempt.abandon_probability; }, false},
        {"P(wait)", model.attempt.wait_probability,
         [](const E& e) { return e.attempt.wait_probability; }, false},
        {"SL", model.attempt.service_level, [](const E& e) { return e.attempt.service_level; },
         false},
        {"ASA", model.attempt.mean_answer_wait,
         [](const E& e) { return e.attempt.mean_answer_wait; }, false},
    };
    std::printf("A %g n %d L %d p %g rb %g ra %g redial %g:\n", r.A, r.n, r.L, r.p,
                r.blocked_retry_share, r.abandoned_retry_share, r.redial);
    for (const Figure& f : figures) {
      std::vector<double> values;
      for (const auto& run : runs) values.push_back(f.simulated(run));
      const MeanAndError sim = Summarise(values);
      const double relative = sim.mean == 0.0 ? 0.0 : (f.model - sim.mean) / sim.mean;
      std::printf(
          "  %-16s fixed point %.6f  simulation %.6f +- %.6f  (%+.2f%%, %.1f standard errors)\n",
          f.name, f.model, sim.mean, sim.error, 100.0 * relative,
          sim.error > 0.0 ? std::abs(f.model - sim.mean) / sim.error : 0.0);
      if (f.name == std::string("offered total") || f.name == std::string("answered share")) {
        // Only a gross error in what the callers get fails.
        worst_caller = std::max(worst_caller, std::abs(relative));
        EXPECT_LE(std::abs(relative), 0.1) << f.name;
      } else if (!f.per_caller && sim.mean > 0.01) {
        worst_attempt = std::max(worst_attempt, std::abs(relative));
      }
    }
  }
  std::printf(
      "redial fixed point against the simulation: worst relative deviation %.2f%% in the "
      "offered total and answered share, %.2f%% in the per-attempt figures above 0.01\n",
      100.0 * worst_caller, 100.0 * worst_attempt);
}

}  // namespace
}  // namespace moravel
