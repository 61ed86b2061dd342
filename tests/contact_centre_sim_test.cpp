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

// The nine figures the exact model gives, in one order.
constexpr int kFigures = 9;
constexpr std::array<const char*, kFigures> kFigureNames = {
    "P(wait)", "P(abandon)", "P(blocked)", "SL offered", "SL not abandoned",
    "ASA",     "mean wait",  "queue",      "occupancy"};

std::array<double, kFigures> FiguresOf(const moravel_contact_centre_estimate& e) {
  const moravel_contact_centre_calls& c = e.attempts;
  return {c.wait_probability,      c.abandon_probability,         c.blocked_probability,
          c.service_level_offered, c.service_level_not_abandoned, c.mean_wait_answered,
          c.mean_wait,             e.queue_length,                e.occupancy};
}

std::array<double, kFigures> FiguresOf(const reference::ExactCentre& x) {
  return {static_cast<double>(x.wait_probability),
          static_cast<double>(x.abandon_probability),
          static_cast<double>(x.blocked_probability),
          static_cast<double>(x.service_level_offered),
          static_cast<double>(x.service_level_not_abandoned),
          static_cast<double>(x.mean_wait_answered),
          static_cast<double>(x.mean_wait),
          static_cast<double>(x.queue_length),
          static_cast<double>(x.occupancy)};
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
    {0.5, 1, 0, kInf, 0.5, 40000, 2000},       {0.8, 1, 0, 1.0, 0.2, 40000, 2000},
    {1.0, 1, 0, 0.2, 0.0, 40000, 2000},        {3.0, 1, 0, 10.0, 1.0, 40000, 4000},
    {0.9, 1, 3, kInf, 0.5, 40000, 2000},       {2.0, 1, 5, 1.0, 0.3, 40000, 2000},
    {4.0, 5, 0, kInf, 0.1, 40000, 4000},       {5.0, 5, 8, kInf, 0.2, 40000, 4000},
    {5.0, 5, 0, 0.2, 0.1, 40000, 4000},        {8.0, 5, 0, 10.0, 2.0, 40000, 8000},
    {6.0, 5, 5, 1.0, 0.0, 40000, 2000},        {20.0, 20, 0, 2.0 / 3.0, 1.0 / 9.0, 60000, 6000},
    {15.0, 20, 25, 10.0, 0.05, 60000, 6000},   {25.0, 20, 0, 0.2, 0.1, 60000, 6000},
    {18.0, 20, 0, kInf, 0.05, 60000, 10000},   {30.0, 20, 30, 1.0, 0.5, 60000, 6000},
    {45.0, 50, 0, 1.0, 0.02, 100000, 10000},   {50.0, 50, 60, kInf, 0.05, 100000, 20000},
    {60.0, 50, 0, 10.0, 0.5, 100000, 40000},   {100.0, 100, 0, 0.2, 0.01, 100000, 10000},
    {95.0, 100, 110, 10.0, 0.1, 100000, 20000}, {120.0, 100, 0, 1.0, 0.05, 100000, 20000},
    {180.0, 200, 0, 10.0, 0.02, 200000, 40000}, {200.0, 200, 0, 1.0, 0.01, 200000, 20000},
    {240.0, 200, 220, 0.2, 0.0, 200000, 20000}, {190.0, 200, 0, kInf, 0.02, 200000, 40000},
};

constexpr std::int32_t kReplications = 40;

TEST(ContactCentreAgreement, ExactModelWithinFourStandardErrors) {
  double worst = 0.0;
  std::string worst_at;
  std::array<double, kFigures> worst_by_figure{};
  for (const AgreementPoint& point : kAgreementPoints) {
    const auto centre = Centre(point.A, point.n, point.L, point.p, point.t);
    std::vector<moravel_contact_centre_estimate> runs(kReplications);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&centre, point.calls, point.warmup,
                                                           20261207u, kReplications, runs.data()),
              MORAVEL_OK);
    const auto exact = FiguresOf(reference::BirthDeathCentre(point.A, point.n, point.L,
                                                             point.p, point.t));
    std::printf("A %g n %d L %d p %g t %g:", point.A, point.n, point.L, point.p, point.t);
    for (int f = 0; f < kFigures; ++f) {
      std::vector<double> values;
      for (const auto& run : runs) values.push_back(FiguresOf(run)[f]);
      const MeanAndError sim = Summarise(values);
      const double deviation = std::abs(exact[f] - sim.mean);
      if (sim.error <= 1e-12 * std::max(1.0, std::abs(sim.mean))) {
        // Every replication gave the same value but for rounding: nobody
        // blocked without lines, nobody abandons without patience, and then
        // every caller is answered and the occupancy is A / n.
        EXPECT_LE(deviation, 1e-12 * std::max(1.0, std::abs(exact[f]))) << kFigureNames[f];
        std::printf(" %s exact", kFigureNames[f]);
        continue;
      }
      const double in_errors = deviation / sim.error;
      std::printf(" %s %.2f", kFigureNames[f], in_errors);
      EXPECT_LE(in_errors, 4.0) << kFigureNames[f] << " model " << exact[f] << " simulation "
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
  std::printf("\nworst over %zu points: %.2f standard errors (%s)\n",
              std::size(kAgreementPoints), worst, worst_at.c_str());
}

// The oracle itself on the planners' worked example: 20 erlangs of 180 s
// calls, mean patience 120 s, 20 agents, answer time 20 s.
TEST(ContactCentreOracle, WorkedExample) {
  const auto x = reference::BirthDeathCentre(20.0, 20, 0, 120.0 / 180.0, 20.0 / 180.0);
  EXPECT_NEAR(static_cast<double>(x.wait_probability), 0.482759, 5e-7);
  EXPECT_NEAR(static_cast<double>(x.abandon_probability), 0.0977110, 5e-8);
  EXPECT_NEAR(static_cast<double>(x.queue_length), 1.30281, 5e-6);
  EXPECT_NEAR(static_cast<double>(x.service_level_offered), 0.706453, 5e-7);
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
    c.patience = pick(0.0, 0.05, 0.5, 1.0, 4.0, kInf);
    c.answer_time = pick(0.0, 0.01, 0.1, 1.0);
    c.retry_blocked = pick(0.0, 0.0, 0.4, 1.0);
    c.retry_abandoned = pick(0.0, 0.0, 0.7, 1.0);
    c.redial_time = pick(0.1, 1.0, 5.0);
    setups.push_back(c);
  }
  return setups;
}

std::vector<double> AllFields(const ContactCentreEstimate& e) {
  std::vector<double> v;
  for (const CallFigures* f : {&e.attempts, &e.first_attempts}) {
    v.insert(v.end(), {f->wait_probability, f->abandon_probability, f->blocked_probability,
                       f->service_level_offered, f->service_level_not_abandoned,
                       f->mean_wait_answered, f->mean_wait});
  }
  v.insert(v.end(), {e.queue_length, e.occupancy, e.answered, e.gave_up_blocked,
                     e.gave_up_abandoned, e.attempts_per_caller, e.offered_traffic});
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
      ASSERT_EQ(Bits(a[i]), Bits(b[i])) << "field " << i << " n " << c.agents << " A "
                                        << c.traffic << " L " << c.lines << " seed " << seed;
    }
    ++compared;
    with_redials += c.Redials() ? 1 : 0;
  }
  EXPECT_GE(compared, 250);
  EXPECT_GE(with_redials, 100);
}

TEST(ContactCentreSeeds, RepeatAndReplications) {
  auto centre = Centre(12.0, 10, 14, 1.0, 0.2);
  centre.retry_blocked = 0.5;
  centre.retry_abandoned = 0.3;
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
  EXPECT_EQ(std::memcmp(&e.attempts, &e.first_attempts, sizeof e.attempts), 0);
  EXPECT_EQ(Bits(e.attempts_per_caller), Bits(1.0));
  EXPECT_EQ(Bits(e.offered_traffic), Bits(22.0));
  EXPECT_NEAR(e.answered + e.gave_up_blocked + e.gave_up_abandoned, 1.0, 1e-15);
  EXPECT_EQ(Bits(e.gave_up_blocked), Bits(e.attempts.blocked_probability));
  EXPECT_EQ(Bits(e.gave_up_abandoned), Bits(e.attempts.abandon_probability));

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

// Deterministic patience of 0 turns every caller who finds the agents busy
// away at once: the abandonment is Erlang B's loss.  A deterministic
// patience beyond every wait gives the waiting system; Erlang phases move
// the abandonment from the exponential's towards the deterministic's.
TEST(ContactCentreReplay, DeterministicAndErlangPatience) {
  struct Row {
    double A;
    std::int32_t n;
  };
  for (const Row row : {Row{3.0, 4}, Row{10.0, 8}, Row{50.0, 55}}) {
    auto c = Centre(row.A, row.n, 0, 0.0, 0.0);
    c.patience_distribution = MORAVEL_PATIENCE_DETERMINISTIC;
    std::vector<moravel_contact_centre_estimate> runs(kReplications);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&c, 20000, 2000, 3u, kReplications,
                                                           runs.data()),
              MORAVEL_OK);
    std::vector<double> abandon;
    for (const auto& r : runs) {
      abandon.push_back(r.attempts.abandon_probability);
      EXPECT_EQ(r.attempts.mean_wait, 0.0);
      EXPECT_EQ(r.queue_length, 0.0);
      EXPECT_EQ(r.attempts.abandon_probability, r.attempts.wait_probability);
    }
    const MeanAndError sim = Summarise(abandon);
    const double loss = PalmTable(row.n, row.A);
    std::printf("deterministic patience 0, A %g n %d: Erlang B %.6f, simulated %.6f +- %.6f "
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
    c.patience_distribution = phases == 0 ? MORAVEL_PATIENCE_DETERMINISTIC : MORAVEL_PATIENCE_ERLANG;
    c.patience_phases = phases;
    moravel_contact_centre_estimate e{};
    ASSERT_EQ(moravel_simulate_contact_centre(&c, 400000, 10000, 11u, &e), MORAVEL_OK);
    std::printf("Erlang patience, %d phases (0: deterministic): P(abandon) %.5f\n", phases,
                e.attempts.abandon_probability);
    EXPECT_LT(e.attempts.abandon_probability, previous);
    previous = e.attempts.abandon_probability;
  }
}

struct Refusal {
  const char* what;
  void (*change)(moravel_contact_centre_setup&, std::int32_t& calls, std::int32_t& warmup);
  moravel_status status;
};

// Each bound, and the value on its other side accepted.
const Refusal kRefusals[] = {
    {"traffic 0", [](auto& c, auto&, auto&) { c.traffic = 0.0; }, MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE},
    {"traffic -1", [](auto& c, auto&, auto&) { c.traffic = -1.0; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic inf", [](auto& c, auto&, auto&) { c.traffic = kInf; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic NaN", [](auto& c, auto&, auto&) { c.traffic = kNaN; }, MORAVEL_ERROR_TRAFFIC},
    {"traffic tiny", [](auto& c, auto&, auto&) { c.traffic = 5e-324; }, MORAVEL_OK},
    {"agents 0", [](auto& c, auto&, auto&) { c.agents = 0; }, MORAVEL_ERROR_SERVERS},
    {"agents max", [](auto& c, auto&, auto&) { c.agents = 2147483647; c.lines = 0; },
     MORAVEL_ERROR_SERVERS_TOO_MANY},
    {"lines n - 1", [](auto& c, auto&, auto&) { c.lines = c.agents - 1; }, MORAVEL_ERROR_LINES},
    {"lines -1", [](auto& c, auto&, auto&) { c.lines = -1; }, MORAVEL_ERROR_LINES},
    {"lines n", [](auto& c, auto&, auto&) { c.lines = c.agents; }, MORAVEL_OK},
    {"lines max", [](auto& c, auto&, auto&) { c.lines = 2147483647; }, MORAVEL_OK},
    {"distribution 0", [](auto& c, auto&, auto&) { c.patience_distribution = 0; }, MORAVEL_ERROR_PATIENCE},
    {"distribution 4", [](auto& c, auto&, auto&) { c.patience_distribution = 4; }, MORAVEL_ERROR_PATIENCE},
    {"phases 0", [](auto& c, auto&, auto&) { c.patience_distribution = 3; c.patience_phases = 0; },
     MORAVEL_ERROR_PATIENCE},
    {"phases 101", [](auto& c, auto&, auto&) { c.patience_distribution = 3; c.patience_phases = 101; },
     MORAVEL_ERROR_PATIENCE},
    {"phases 100", [](auto& c, auto&, auto&) { c.patience_distribution = 3; c.patience_phases = 100; },
     MORAVEL_OK},
    {"patience -1e-300", [](auto& c, auto&, auto&) { c.patience = -1e-300; }, MORAVEL_ERROR_PATIENCE},
    {"patience NaN", [](auto& c, auto&, auto&) { c.patience = kNaN; }, MORAVEL_ERROR_PATIENCE},
    {"patience 0", [](auto& c, auto&, auto&) { c.patience = 0.0; }, MORAVEL_OK},
    {"patience max", [](auto& c, auto&, auto&) { c.patience = 1.7976931348623157e308; }, MORAVEL_OK},
    {"answer time -1e-300", [](auto& c, auto&, auto&) { c.answer_time = -1e-300; }, MORAVEL_ERROR_THRESHOLD},
    {"answer time inf", [](auto& c, auto&, auto&) { c.answer_time = kInf; }, MORAVEL_ERROR_THRESHOLD},
    {"share above 1", [](auto& c, auto&, auto&) { c.retry_blocked = 1.0000000000000002; }, MORAVEL_ERROR_REDIAL},
    {"share NaN", [](auto& c, auto&, auto&) { c.retry_abandoned = kNaN; }, MORAVEL_ERROR_REDIAL},
    {"share negative", [](auto& c, auto&, auto&) { c.retry_abandoned = -1e-300; }, MORAVEL_ERROR_REDIAL},
    {"redial 0", [](auto& c, auto&, auto&) { c.retry_blocked = 0.5; c.redial_time = 0.0; }, MORAVEL_ERROR_REDIAL},
    {"redial inf", [](auto& c, auto&, auto&) { c.retry_blocked = 0.5; c.redial_time = kInf; }, MORAVEL_ERROR_REDIAL},
    {"redial ignored", [](auto& c, auto&, auto&) { c.redial_time = kNaN; }, MORAVEL_OK},
    {"share 1", [](auto& c, auto&, auto&) { c.retry_blocked = 1.0; c.redial_time = 1.0; }, MORAVEL_OK},
    {"calls 0", [](auto&, auto& calls, auto&) { calls = 0; }, MORAVEL_ERROR_CALLS},
    {"warm-up -1", [](auto&, auto&, auto& warmup) { warmup = -1; }, MORAVEL_ERROR_RUN_LENGTH},
    {"warm-up 0", [](auto&, auto&, auto& warmup) { warmup = 0; }, MORAVEL_OK},
    // Everyone answered sooner or later: the agents must carry A.
    {"no patience, no lines, A = n",
     [](auto& c, auto&, auto&) { c.patience = kInf; c.lines = 0; c.traffic = c.agents; },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"no patience, no lines, A below n",
     [](auto& c, auto&, auto&) { c.patience = kInf; c.lines = 0; c.traffic = std::nextafter(c.agents, 0.0); },
     MORAVEL_OK},
    {"all redial, A = n",
     [](auto& c, auto&, auto&) {
       c.retry_blocked = c.retry_abandoned = 1.0; c.redial_time = 1.0; c.traffic = c.agents; },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"blocked all redial, no patience, A = n",
     [](auto& c, auto&, auto&) {
       c.patience = kInf; c.retry_blocked = 1.0; c.redial_time = 1.0; c.traffic = c.agents; },
     MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
    {"abandoned nearly all redial, A = 2n",
     [](auto& c, auto&, auto&) {
       c.lines = 0; c.retry_abandoned = 0.5; c.redial_time = 1.0; c.traffic = 2 * c.agents; },
     MORAVEL_OK},
};

TEST(ContactCentreApi, Refusals) {
  for (const Refusal& r : kRefusals) {
    auto c = Centre(4.0, 5, 8, 1.0, 0.2);
    std::int32_t calls = 100, warmup = 10;
    r.change(c, calls, warmup);
    moravel_contact_centre_estimate e{};
    e.occupancy = -5.0;
    EXPECT_EQ(moravel_simulate_contact_centre(&c, calls, warmup, 1u, &e), r.status) << r.what;
    if (r.status != MORAVEL_OK) {
      EXPECT_EQ(e.occupancy, -5.0) << r.what << ": written";
    }
    moravel_contact_centre_estimate set[2]{};
    EXPECT_EQ(moravel_simulate_contact_centre_replications(&c, calls, warmup, 1u, 2, set),
              r.status) << r.what;
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
  c.retry_blocked = 1.0;
  c.retry_abandoned = 0.999;
  c.redial_time = 0.01;
  moravel_contact_centre_estimate e{};
  e.occupancy = -5.0;
  EXPECT_EQ(moravel_simulate_contact_centre(&c, 1000, 0, 1u, &e), MORAVEL_ERROR_WORK_BOUND);
  EXPECT_EQ(e.occupancy, -5.0);
  // At 0.9 the same centre settles.
  c.retry_abandoned = 0.9;
  c.retry_blocked = 0.9;
  EXPECT_EQ(moravel_simulate_contact_centre(&c, 1000, 0, 1u, &e), MORAVEL_OK);
  EXPECT_LT(e.attempts_per_caller, 64.0);
}

TEST(ContactCentreApi, StatusMessages) {
  const std::pair<int, const char*> messages[] = {
      {45, "lines must be 0 (no limit) or at least the agents"},
      {46,
       "patience must have a listed distribution (Erlang: 1 to 100 phases) and a mean of at "
       "least 0"},
      {47, "redial shares must be between 0 and 1, with a finite mean redial time above 0"},
      {48, "warm-up calls must not be negative and replications must be at least 1"},
      {49, "the run passed its bound of 64 attempts per caller: redialling does not settle"},
  };
  EXPECT_EQ(MORAVEL_ERROR_LINES, 45);
  EXPECT_EQ(MORAVEL_ERROR_PATIENCE, 46);
  EXPECT_EQ(MORAVEL_ERROR_REDIAL, 47);
  EXPECT_EQ(MORAVEL_ERROR_RUN_LENGTH, 48);
  EXPECT_EQ(MORAVEL_ERROR_WORK_BOUND, 49);
  for (const auto& [status, text] : messages) EXPECT_STREQ(moravel_status_message(status), text);
  EXPECT_STREQ(moravel_status_message(50), "unknown status code");
}

// The usual fixed point for redials: the attempts are taken as a Poisson
// stream of T erlangs, T = A + T (rb Pb(T) + ra Pa(T)), with Pb and Pa the
// exact blocking and abandonment at T.  An approximation: a failed caller
// redials into a centre that is still busy, the more so the shorter the
// redial time, so the attempts are not the Poisson stream it assumes.  Its
// figures against the simulation's are printed, not asserted beyond a
// gross error.
struct RedialPoint {
  double A;
  std::int32_t n, L;
  double p, t, retry_blocked, retry_abandoned, redial;
};

struct FixedPoint {
  double attempts_per_caller, blocked, abandoned, wait, service_level, answered;
};

FixedPoint RedialFixedPoint(const RedialPoint& r) {
  double T = r.A;
  reference::ExactCentre x{};
  for (int k = 0; k < 1000; ++k) {
    x = reference::BirthDeathCentre(T, r.n, r.L, r.p, r.t);
    const double next = r.A / (1.0 - r.retry_blocked * static_cast<double>(x.blocked_probability) -
                               r.retry_abandoned * static_cast<double>(x.abandon_probability));
    const bool settled = std::abs(next - T) <= 1e-13 * T;
    T = 0.5 * (T + next);
    if (settled) break;
  }
  const double per_caller = T / r.A;
  const double blocked = static_cast<double>(x.blocked_probability);
  const double abandoned = static_cast<double>(x.abandon_probability);
  return {per_caller,
          blocked,
          abandoned,
          static_cast<double>(x.wait_probability),
          static_cast<double>(x.service_level_offered),
          (1.0 - blocked - abandoned) * per_caller};
}

constexpr RedialPoint kRedialPoints[] = {
    {22.0, 20, 0, 0.5, 0.1, 0.0, 0.5, 1.0},    {8.0, 10, 12, kInf, 0.2, 0.7, 0.0, 0.5},
    {30.0, 20, 25, 1.0, 0.1, 0.8, 0.6, 2.0},   {5.0, 5, 5, kInf, 0.0, 0.5, 0.0, 0.2},
    {5.0, 5, 5, kInf, 0.0, 0.5, 0.0, 10.0},    {100.0, 100, 0, 0.2, 0.05, 0.0, 0.9, 1.0},
    {120.0, 100, 110, 1.0, 0.05, 0.9, 0.9, 0.1},
};

TEST(ContactCentreRedials, FixedPointAgainstSimulation) {
  double worst_relative = 0.0;
  for (const RedialPoint& r : kRedialPoints) {
    auto c = Centre(r.A, r.n, r.L, r.p, r.t);
    c.retry_blocked = r.retry_blocked;
    c.retry_abandoned = r.retry_abandoned;
    c.redial_time = r.redial;
    constexpr std::int32_t R = 20;
    std::vector<moravel_contact_centre_estimate> runs(R);
    ASSERT_EQ(moravel_simulate_contact_centre_replications(&c, 40000, 10000, 77u, R, runs.data()),
              MORAVEL_OK);
    const FixedPoint model = RedialFixedPoint(r);
    struct Figure {
      const char* name;
      double model;
      double moravel_contact_centre_estimate::*field;
      double moravel_contact_centre_calls::*call_field;
    };
    using E = moravel_contact_centre_estimate;
    using C = moravel_contact_centre_calls;
    const Figure figures[] = {
        {"attempts per caller", model.attempts_per_caller, &E::attempts_per_caller, nullptr},
        {"answered", model.answered, &E::answered, nullptr},
        {"P(blocked)", model.blocked, nullptr, &C::blocked_probability},
        {"P(abandon)", model.abandoned, nullptr, &C::abandon_probability},
        {"P(wait)", model.wait, nullptr, &C::wait_probability},
        {"SL offered", model.service_level, nullptr, &C::service_level_offered},
    };
    std::printf("A %g n %d L %d p %g rb %g ra %g redial %g:\n", r.A, r.n, r.L, r.p,
                r.retry_blocked, r.retry_abandoned, r.redial);
    for (const Figure& f : figures) {
      std::vector<double> values;
      for (const auto& run : runs) values.push_back(f.field ? run.*f.field : run.attempts.*f.call_field);
      const MeanAndError sim = Summarise(values);
      const double relative = sim.mean == 0.0 ? 0.0 : (f.model - sim.mean) / sim.mean;
      std::printf("  %-20s fixed point %.6f  simulation %.6f +- %.6f  (%+.2f%%, %.1f standard errors)\n",
                  f.name, f.model, sim.mean, sim.error, 100.0 * relative,
                  sim.error > 0.0 ? std::abs(f.model - sim.mean) / sim.error : 0.0);
      if (f.field != nullptr) {
        // Only a gross error in what the caller meets fails: the per-attempt
        // figures of short redials are off by tens of per cent.
        worst_relative = std::max(worst_relative, std::abs(relative));
        EXPECT_LE(std::abs(relative), 0.1) << f.name;
      }
    }
  }
  std::printf("redial fixed point: worst relative deviation of attempts per caller and answered "
              "share %.2f%%\n", 100.0 * worst_relative);
}

}  // namespace
}  // namespace moravel
