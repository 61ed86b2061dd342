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

}  // namespace
}  // namespace moravel
