// The contact-centre simulation through the status-returning interface:
// the checks of its setup, the single run and the replications.
#include <cmath>
#include <cstdint>
#include <optional>

#include "api/checks.h"
#include "contact_centre_sim/contact_centre_simulation.h"
#include "contact_centre_sim/run_seeds.h"
#include "moravel/api.h"

namespace moravel::api {
namespace {

inline constexpr std::int32_t kMostPatiencePhases = 100;

moravel_status CheckLines(std::int32_t lines, std::int32_t agents) {
  return lines == MORAVEL_NO_LINE_LIMIT || lines >= agents ? MORAVEL_OK : MORAVEL_ERROR_LINES;
}

moravel_status CheckDistribution(const moravel_contact_centre_setup& c) {
  switch (c.patience_distribution) {
    case MORAVEL_PATIENCE_EXPONENTIAL:
    case MORAVEL_PATIENCE_DETERMINISTIC: return MORAVEL_OK;
    case MORAVEL_PATIENCE_ERLANG:
      return c.patience_phases >= 1 && c.patience_phases <= kMostPatiencePhases
                 ? MORAVEL_OK
                 : MORAVEL_ERROR_PATIENCE_DISTRIBUTION;
    default: return MORAVEL_ERROR_PATIENCE_DISTRIBUTION;
  }
}

// As the models: above 0, +inf taken, NaN not.
moravel_status CheckPatience(double p) { return p > 0.0 ? MORAVEL_OK : MORAVEL_ERROR_PATIENCE; }

bool IsShare(double x) { return x >= 0.0 && x <= 1.0; }

moravel_status CheckShares(const moravel_contact_centre_setup& c) {
  return IsShare(c.blocked_retry_share) && IsShare(c.abandoned_retry_share)
             ? MORAVEL_OK
             : MORAVEL_ERROR_RETRY_SHARE;
}

moravel_status CheckRedialTime(const moravel_contact_centre_setup& c) {
  const bool redials = c.blocked_retry_share > 0.0 || c.abandoned_retry_share > 0.0;
  return !redials || IsFinitePositive(c.redial_time) ? MORAVEL_OK : MORAVEL_ERROR_REDIAL_TIME;
}

// Every caller is answered in the end when no attempt can end for good:
// nobody hangs up or every abandoned attempt redials, and nobody is
// blocked or every blocked attempt redials.  Then the agents must carry
// all of A.
moravel_status CheckSteadyState(const moravel_contact_centre_setup& c) {
  const bool abandons_end = !std::isinf(c.patience) && c.abandoned_retry_share < 1.0;
  const bool blocks_end = c.lines != MORAVEL_NO_LINE_LIMIT && c.blocked_retry_share < 1.0;
  if (abandons_end || blocks_end) return MORAVEL_OK;
  return CheckBelowServers(c.traffic, c.agents);
}

moravel_status CheckRun(const moravel_contact_centre_setup* centre, std::int32_t calls,
                        std::int32_t warmup_calls) {
  if (centre == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  const moravel_contact_centre_setup& c = *centre;
  return FirstRefusal(
      CheckPositiveTraffic(c.traffic), CheckServers(c.agents), CheckLines(c.lines, c.agents),
      CheckDistribution(c), CheckPatience(c.patience), CheckThreshold(c.answer_time),
      CheckShares(c), CheckRedialTime(c), calls >= 1 ? MORAVEL_OK : MORAVEL_ERROR_CALLS,
      warmup_calls >= 0 ? MORAVEL_OK : MORAVEL_ERROR_RUN_LENGTH, CheckSteadyState(c));
}

moravel::CentreSetup Setup(const moravel_contact_centre_setup& c) {
  moravel::CentreSetup s;
  s.traffic = c.traffic;
  s.agents = c.agents;
  s.lines = c.lines;
  s.patience_distribution = static_cast<moravel::PatienceDistribution>(c.patience_distribution);
  s.patience_phases = c.patience_distribution == MORAVEL_PATIENCE_ERLANG ? c.patience_phases : 1;
  s.patience = c.patience;
  s.answer_time = c.answer_time;
  s.blocked_retry_share = c.blocked_retry_share;
  s.abandoned_retry_share = c.abandoned_retry_share;
  s.redial_time = c.redial_time;
  return s;
}

moravel_contact_centre_result Figures(const moravel::CallFigures& f) {
  moravel_contact_centre_result r;
  r.wait_probability = f.wait_probability;
  r.blocked_probability = f.blocked_probability;
  r.abandon_probability = f.abandon_probability;
  r.abandon_within_answer_time = f.abandon_within_answer_time;
  r.service_level = f.service_level;
  r.service_level_excluding_short_abandons = f.service_level_excluding_short_abandons;
  r.mean_answer_wait = f.mean_answer_wait;
  r.mean_wait = f.mean_wait;
  r.queue_length = f.queue_length;
  r.occupancy = f.occupancy;
  r.carried = f.carried;
  return r;
}

// One run; false when it passed its work bound.
bool RunOnce(const moravel::CentreSetup& setup, std::int32_t calls, std::int32_t warmup,
             std::uint32_t seed, moravel_contact_centre_estimate* out) {
  const auto run = moravel::SimulateContactCentre(setup, calls, warmup, seed);
  if (!run) return false;
  out->attempt = Figures(run->attempt);
  out->first_attempt = Figures(run->first_attempt);
  out->offered_total = run->offered_total;
  out->retry_traffic = run->retry_traffic;
  out->attempts_per_caller = run->attempts_per_caller;
  out->answered_share = run->answered_share;
  out->blocked_share = run->blocked_share;
  out->abandoned_share = run->abandoned_share;
  out->redialling = run->redialling;
  out->seed = run->seed;
  return true;
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_simulate_contact_centre(
    const moravel_contact_centre_setup* centre, int32_t calls, int32_t warmup_calls, uint32_t seed,
    moravel_contact_centre_estimate* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckRun(centre, calls, warmup_calls)) return refused;
  return Guarded([&] {
    moravel_contact_centre_estimate estimate{};
    if (!RunOnce(Setup(*centre), calls, warmup_calls, moravel::ChosenSeed(seed), &estimate)) {
      return MORAVEL_ERROR_MODEL_LIMIT;
    }
    *result = estimate;
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_simulate_contact_centre_replications(
    const moravel_contact_centre_setup* centre, int32_t calls, int32_t warmup_calls, uint32_t seed,
    int32_t replications, moravel_contact_centre_estimate* results) noexcept {
  if (results == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckRun(centre, calls, warmup_calls)) return refused;
  if (replications < 1) return MORAVEL_ERROR_RUN_LENGTH;
  return Guarded([&] {
    const moravel::CentreSetup setup = Setup(*centre);
    std::uint32_t replication_seed = moravel::ChosenSeed(seed);
    for (int32_t r = 0; r < replications; ++r) {
      if (r > 0) replication_seed = moravel::NextReplicationSeed(replication_seed);
      if (!RunOnce(setup, calls, warmup_calls, replication_seed, &results[r])) {
        return MORAVEL_ERROR_MODEL_LIMIT;
      }
    }
    return MORAVEL_OK;
  });
}

}  // extern "C"
