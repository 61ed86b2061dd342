// The solvers through the status-returning interface: checks, then the
// searches of src/solvers, then the answer and its figures.
#include <cmath>

#include "api/checks.h"
#include "api/group_checks.h"
#include "moravel/api.h"
#include "single_service/loss_models.h"
#include "single_service/waiting_model.h"
#include "solvers/largest_traffic.h"
#include "solvers/least_agents.h"
#include "solvers/least_links.h"
#include "solvers/least_servers.h"

namespace moravel::api {
namespace {

moravel_status Refusal(SolverOutcome outcome) {
  switch (outcome) {
    case SolverOutcome::kFound: return MORAVEL_OK;
    case SolverOutcome::kUnreachable: return MORAVEL_ERROR_UNREACHABLE;
    case SolverOutcome::kEveryTraffic: return MORAVEL_ERROR_EVERY_TRAFFIC_MEETS;
    case SolverOutcome::kModelLimit: return MORAVEL_ERROR_MODEL_LIMIT;
  }
  return MORAVEL_ERROR_INTERNAL;
}

moravel_status Answer(const ServersAnswer& found, std::int32_t* servers, double* loss) {
  if (const auto refused = Refusal(found.outcome)) return refused;
  *servers = found.servers;
  if (loss != nullptr) *loss = found.loss;
  return MORAVEL_OK;
}

// Classes, links of f units, target; every class must fit on one link.
moravel_status CheckLinkSearch(const double* a, std::int32_t M, const double* t, std::int32_t f,
                               double target, const std::int32_t* links) {
  if (const auto refused = CheckClasses(a, M, t)) return refused;
  if (links == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (f < 1) return MORAVEL_ERROR_LINK_UNITS;
  if (const auto refused = CheckTarget(target)) return refused;
  for (std::int32_t i = 0; i < M; ++i) {
    if (t[i] > static_cast<double>(f)) return MORAVEL_ERROR_DEMAND_EXCEEDS_LINK;
  }
  return MORAVEL_OK;
}

moravel_status Answer(const LinksAnswer& found, std::int32_t* links, double* blocking) {
  switch (found.outcome) {
    case LinksOutcome::kUnreachable: return MORAVEL_ERROR_UNREACHABLE;
    case LinksOutcome::kOverflow: return MORAVEL_ERROR_OVERFLOW;
    case LinksOutcome::kModelLimit: return MORAVEL_ERROR_MODEL_LIMIT;
    case LinksOutcome::kFound: break;
  }
  *links = found.links;
  if (blocking != nullptr) {
    for (std::size_t i = 0; i < found.blocking.size(); ++i) blocking[i] = found.blocking[i];
  }
  return MORAVEL_OK;
}

void Store(std::int32_t V, double A, const WaitingCharacteristics& w, moravel_staffing& figures) {
  figures.agents = V;
  figures.wait_probability = w.wait_probability;
  figures.service_level = 1.0 - w.wait_exceeds_threshold;
  figures.mean_speed_of_answer = w.mean_wait;
  figures.occupancy = A / static_cast<double>(V);
}

moravel_status CheckCallCentre(double A, double h, double t) {
  return FirstRefusal(CheckTraffic(A), CheckHoldingTime(h), CheckThreshold(t));
}

// The least agents for `goal`, after refusing a missing record, then the
// call centre's figures, then the target (target_refusal, its goal's check).
moravel_status Staff(double A, double h, double t, StaffingGoal goal, double target,
                     moravel_status target_refusal, moravel_staffing* figures) {
  if (figures == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(CheckCallCentre(A, h, t), target_refusal)) return refused;
  const auto found = LeastAgents(A, h, t, goal, target);
  if (const auto refused = Refusal(found.outcome)) return refused;
  // A holding time near the largest double takes the mean wait beyond it.
  if (const auto refused = CheckWaitsInRange(h, found.agents, A)) return refused;
  Store(found.agents, A, found.figures, *figures);
  return MORAVEL_OK;
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_erlang_b_servers(double traffic, double target, int32_t* servers,
                                                    double* loss) noexcept {
  if (servers == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(CheckTraffic(traffic), CheckTarget(target))) {
    return refused;
  }
  return Answer(moravel::LeastErlangServers(traffic, target), servers, loss);
}

MORAVEL_API moravel_status moravel_engset_servers(int32_t sources, double traffic_per_source,
                                                  double target, int32_t* servers,
                                                  double* loss) noexcept {
  if (servers == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(
          CheckSources(sources), CheckSourceTraffic(traffic_per_source), CheckTarget(target))) {
    return refused;
  }
  return Answer(moravel::LeastEngsetServers(sources, traffic_per_source, target), servers, loss);
}

MORAVEL_API moravel_status moravel_loss_assembled_servers(double x, double y, double z, int32_t n,
                                                          double target, int32_t* servers,
                                                          double* loss) noexcept {
  if (servers == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  const moravel_status times =
      IsFinitePositive(x) && IsFinitePositive(y) ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_TIMES;
  const moravel_status z_status = IsFiniteNonNegative(z) ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_Z;
  const moravel_status multiplier = n >= 0 ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_MULTIPLIER;
  if (const auto refused = FirstRefusal(times, z_status, multiplier, CheckTarget(target))) {
    return refused;
  }
  const double load = moravel::AssembledLoad(x, y, z, n);
  if (!std::isfinite(load)) return MORAVEL_ERROR_ASSEMBLED_LOAD;
  return Answer(moravel::LeastErlangServers(load, target), servers, loss);
}

MORAVEL_API moravel_status moravel_link_group_links(const double* traffic, int32_t classes,
                                                    const double* demand, int32_t link_units,
                                                    double target, int32_t* links,
                                                    double* blocking) noexcept {
  if (const auto refused = CheckLinkSearch(traffic, classes, demand, link_units, target, links)) {
    return refused;
  }
  return Guarded([&] {
    return Answer(moravel::LeastLinkGroupLinks(traffic, classes, demand, link_units, target), links,
                  blocking);
  });
}

MORAVEL_API moravel_status moravel_link_subset_links(const double* traffic, int32_t classes,
                                                     const double* demand, int32_t link_units,
                                                     int32_t subset_links, double target,
                                                     int32_t* links, double* blocking) noexcept {
  if (const auto refused = CheckLinkSearch(traffic, classes, demand, link_units, target, links)) {
    return refused;
  }
  if (subset_links < 1) return MORAVEL_ERROR_SUBSET;
  return Guarded([&] {
    return Answer(
        moravel::LeastLinkSubsetLinks(traffic, classes, demand, link_units, subset_links, target),
        links, blocking);
  });
}

MORAVEL_API moravel_status moravel_erlang_b_traffic(int32_t servers, double target,
                                                    double* traffic) noexcept {
  if (traffic == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(CheckServers(servers), CheckTarget(target))) {
    return refused;
  }
  const auto found = moravel::LargestErlangTraffic(servers, target);
  if (const auto refused = Refusal(found.outcome)) return refused;
  *traffic = found.traffic;
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_engset_traffic(int32_t sources, int32_t servers, double target,
                                                  double* traffic_per_source) noexcept {
  if (traffic_per_source == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused =
          FirstRefusal(CheckSources(sources), CheckServers(servers), CheckTarget(target))) {
    return refused;
  }
  if (servers >= sources) return MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES;
  const auto found = moravel::LargestEngsetTraffic(sources, servers, target);
  if (const auto refused = Refusal(found.outcome)) return refused;
  *traffic_per_source = found.traffic;
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_staffing_figures(int32_t agents, double traffic,
                                                    double handling_time, double answer_time,
                                                    moravel_staffing* figures) noexcept {
  if (figures == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused =
          FirstRefusal(CheckServers(agents), CheckCallCentre(traffic, handling_time, answer_time),
                       CheckBelowServers(traffic, agents))) {
    return refused;
  }
  if (const auto refused = CheckWaitsInRange(handling_time, agents, traffic)) return refused;
  Store(agents, traffic, moravel::WaitingModel(answer_time, handling_time, agents, traffic),
        *figures);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_agents_for_service_level(double traffic, double handling_time,
                                                            double answer_time, double target,
                                                            moravel_staffing* figures) noexcept {
  return Staff(traffic, handling_time, answer_time, moravel::StaffingGoal::kServiceLevel, target,
               CheckTarget(target), figures);
}

MORAVEL_API moravel_status moravel_agents_for_mean_wait(double traffic, double handling_time,
                                                        double answer_time, double target_wait,
                                                        moravel_staffing* figures) noexcept {
  return Staff(traffic, handling_time, answer_time, moravel::StaffingGoal::kMeanWait, target_wait,
               IsFinitePositive(target_wait) ? MORAVEL_OK : MORAVEL_ERROR_TARGET_WAIT, figures);
}

MORAVEL_API moravel_status moravel_agents_for_wait_probability(double traffic, double handling_time,
                                                               double answer_time, double target,
                                                               moravel_staffing* figures) noexcept {
  return Staff(traffic, handling_time, answer_time, moravel::StaffingGoal::kWaitProbability, target,
               CheckTarget(target), figures);
}

MORAVEL_API moravel_status moravel_traffic_for_service_level(int32_t agents, double handling_time,
                                                             double answer_time, double target,
                                                             double* traffic,
                                                             moravel_staffing* figures) noexcept {
  if (traffic == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused =
          FirstRefusal(CheckServers(agents), CheckCallCentre(0.0, handling_time, answer_time),
                       CheckTarget(target))) {
    return refused;
  }
  const auto found = moravel::LargestDelayTraffic(agents, handling_time, answer_time, target);
  if (const auto refused = Refusal(found.outcome)) return refused;
  const double A = found.traffic;
  if (const auto refused = CheckWaitsInRange(handling_time, agents, A)) return refused;
  *traffic = A;
  if (figures != nullptr) {
    Store(agents, A, moravel::WaitingModel(answer_time, handling_time, agents, A), *figures);
  }
  return MORAVEL_OK;
}

}  // extern "C"
