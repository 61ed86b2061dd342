// The simulations through the status-returning interface.  The
// single-service replays take the legacy seed; the link-subset simulation
// gets one, its engines seeded from a SeedSequence.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "api/checks.h"
#include "api/group_checks.h"
#include "moravel/api.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "random/seed_sequence.h"
#include "simulation/loss_simulation.h"
#include "simulation/waiting_simulation.h"

namespace moravel::api {
namespace {

// The UTF-8 keywords by which the simulation knows its policies.
const char* PolicyKeyword(std::int32_t policy) {
  switch (policy) {
    case MORAVEL_MOST_FREE:
      return "\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";
    case MORAVEL_FEWEST_FREE: return "\xD0\x9C\xD0\xB8\xD0\xBD\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";
    case MORAVEL_RANDOM_FREE:
      return "\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";
    default: return nullptr;
  }
}

// C(k, g) < 2^31, by the exact products C(k - g + j, j) for j = 1 .. g
// (with g the smaller of g and k - g), each below 2^31 * 2^31.
bool SubsetCountFits(std::int32_t k, std::int32_t g) {
  const std::int64_t smaller = std::min<std::int64_t>(g, std::int64_t{k} - g);
  std::int64_t count = 1;
  for (std::int64_t j = 1; j <= smaller; ++j) {
    count = count * (std::int64_t{k} - smaller + j) / j;
    if (count > std::numeric_limits<std::int32_t>::max()) return false;
  }
  return true;
}

// a t (1 - E) estimates the units a class holds from the share of its calls
// taken; a run far shorter than a holding time (extreme traffic, few calls)
// takes a few calls that stand for a rate no group could hold.  The classes
// together never carry more than the group's k f units: above them every
// estimate is scaled down in proportion.
void KeepWithinCapacity(std::vector<double>& carried, std::int32_t k, std::int32_t f) {
  const double capacity = static_cast<double>(k) * f;
  double total = 0.0;
  for (const double C : carried) total += C;
  if (!(total > capacity)) return;
  // The scaled estimates' own sum may round above the units by an ulp:
  // then the factor steps down until it does not.
  double factor = capacity / total;
  for (;;) {
    double scaled = 0.0;
    for (const double C : carried) scaled += C * factor;
    if (scaled <= capacity) break;
    factor = std::nextafter(factor, 0.0);
  }
  for (double& C : carried) C *= factor;
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_simulate_loss(double traffic, int32_t servers, int32_t calls,
                                                 uint32_t seed,
                                                 moravel_loss_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  const moravel_status calls_status = calls >= 1 ? MORAVEL_OK : MORAVEL_ERROR_CALLS;
  if (const auto refused =
          FirstRefusal(CheckPositiveTraffic(traffic), CheckServers(servers), calls_status)) {
    return refused;
  }
  return Guarded([&] {
    const auto run = moravel::SimulateLossSystem(traffic, 1.0, servers, calls, seed);
    if (!run) return MORAVEL_ERROR_INTERNAL;  // not reached: the inputs were checked
    result->loss = run->output[0];
    // The share of calls carried times the offered traffic estimates the
    // carried traffic; far beyond the servers (1.79e308 erlangs, 10^6 calls
    // that all arrive within one holding time), or with fewer calls than
    // servers, it can be many times V.  No estimate exceeds what the
    // servers hold.
    result->carried = std::min(run->output[1], static_cast<double>(servers));
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_simulate_wait(double traffic, int32_t servers, int32_t calls,
                                                 double threshold, uint32_t seed,
                                                 moravel_wait_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  const moravel_status calls_status = calls >= 1 ? MORAVEL_OK : MORAVEL_ERROR_CALLS;
  if (const auto refused =
          FirstRefusal(CheckPositiveTraffic(traffic), CheckServers(servers), calls_status,
                       CheckThreshold(threshold), CheckBelowServers(traffic, servers))) {
    return refused;
  }
  return Guarded([&] {
    const auto run = moravel::SimulateWaitingSystem(traffic, 1.0, servers, calls, threshold, seed);
    if (!run) return MORAVEL_ERROR_INTERNAL;  // not reached: the inputs were checked
    result->wait_probability = run->output[0];
    result->wait_exceeds = run->output[1];
    result->mean_wait = run->output[2];
    result->mean_wait_of_waiting = run->output[3];
    result->queue_length = run->output[4];
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_simulate_link_subset(const double* traffic, int32_t classes,
                                                        const double* demand, int32_t links,
                                                        int32_t link_units, int32_t subset_links,
                                                        int32_t calls, int32_t policy,
                                                        uint32_t seed, double* blocking,
                                                        double* carried) noexcept {
  if (const auto refused =
          CheckGroup(traffic, classes, demand, links, link_units, blocking, carried)) {
    return refused;
  }
  if (subset_links < 1 || subset_links > links) return MORAVEL_ERROR_SUBSET;
  if (calls < 1) return MORAVEL_ERROR_CALLS;
  const char* keyword = PolicyKeyword(policy);
  if (keyword == nullptr) return MORAVEL_ERROR_POLICY;
  if (!SubsetCountFits(links, subset_links)) return MORAVEL_ERROR_SUBSET_COUNT;
  double total = 0.0;  // the arrival rate, summed as the simulation sums it
  for (int32_t i = 0; i < classes; ++i) total += traffic[i];
  if (!IsFinitePositive(total)) return MORAVEL_ERROR_TOTAL_TRAFFIC;

  return Guarded([&] {
    std::optional<moravel::SimulatedClassResults> run;
    if (seed == 0) {
      std::random_device device;
      run = moravel::SimulateLinkSubsetSystem(
          traffic, classes, demand, links, link_units, subset_links, calls, keyword,
          [&device] { return static_cast<std::uint32_t>(device()); },
          moravel::RandomPlacementSeeding::kOneEnginePerRun);
    } else {
      run = moravel::SimulateLinkSubsetSystem(
          traffic, classes, demand, links, link_units, subset_links, calls, keyword,
          moravel::SeedSequence(seed), moravel::RandomPlacementSeeding::kOneEnginePerRun);
    }
    if (!run) return MORAVEL_ERROR_MODEL_LIMIT;  // the inputs were checked but for size
    KeepWithinCapacity(run->C, links, link_units);
    for (std::size_t i = 0; i < run->E.size(); ++i) {
      blocking[i] = run->E[i];
      carried[i] = run->C[i];
    }
    return MORAVEL_OK;
  });
}

}  // extern "C"
