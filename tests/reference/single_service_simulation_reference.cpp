#include "reference/single_service_simulation_reference.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "random/second_seed.h"
#include "random/uniform.h"

namespace moravel::reference {
namespace {

struct CallLists {
  std::vector<double> arrival_sample;
  std::vector<double> holding_sample;
  std::vector<double> inter_arrival_times;
  std::vector<double> arrival_instants;
};

CallLists DrawCallLists(double lambda, std::int32_t N, std::uint32_t seed) {
  CallLists lists;
  lists.arrival_sample = UniformSample(N, 0.0, 1.0, seed);
  lists.holding_sample = UniformSample(N, 0.0, 1.0, SecondSeed(seed));
  const auto n = static_cast<std::size_t>(N);
  lists.inter_arrival_times.assign(n, 0.0);
  lists.arrival_instants.assign(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    lists.inter_arrival_times[i] = -(std::log(lists.arrival_sample[i]) / lambda);
  }
  lists.arrival_instants[0] = lists.inter_arrival_times[0];
  for (std::size_t i = 1; i < n; ++i) {
    lists.arrival_instants[i] = lists.arrival_instants[i - 1] + lists.inter_arrival_times[i];
  }
  return lists;
}

std::vector<double> ServerList(std::int32_t V) {
  if (V < 0) throw std::length_error("vector too long");
  return std::vector<double>(static_cast<std::size_t>(V), 0.0);
}

}  // namespace

LossSimulationResult LossSystemReplay(double lambda, double mu, std::int32_t V, std::int32_t N,
                                      std::uint32_t seed) {
  LossSimulationResult result{};
  const CallLists lists = DrawCallLists(lambda, N, seed);
  std::vector<double> servers = ServerList(V);
  std::int32_t lost = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(N); ++i) {
    const auto earliest = std::min_element(servers.begin(), servers.end());
    if (lists.arrival_instants[i] > *earliest) {
      const double holding = -(std::log(lists.holding_sample[i]) / mu);
      *earliest = holding + lists.arrival_instants[i];
    } else {
      lost += 1;
    }
  }
  result.V = V;
  result.offered_traffic = lambda / mu;
  result.loss_probability = static_cast<double>(lost) / static_cast<double>(N);
  result.carried_traffic = (1.0 - result.loss_probability) * result.offered_traffic;
  result.output = {result.loss_probability, result.carried_traffic};
  return result;
}

WaitingSimulationResult WaitingSystemReplay(double lambda, double mu, std::int32_t V,
                                            std::int32_t N, double t, std::uint32_t seed) {
  WaitingSimulationResult r{};
  const CallLists lists = DrawCallLists(lambda, N, seed);
  std::vector<double> servers = ServerList(V);
  std::int32_t delayed = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(N); ++i) {
    const auto earliest = std::min_element(servers.begin(), servers.end());
    const double free_instant = *earliest;
    const double holding = -(std::log(lists.holding_sample[i]) / mu);
    double departure;
    if (lists.arrival_instants[i] > free_instant) {
      departure = holding + lists.arrival_instants[i];
    } else {
      delayed += 1;
      departure = free_instant + holding;
    }
    *earliest = departure;
  }
  r.threshold = t;
  r.mean_holding_time = 1.0 / mu;
  r.V = V;
  r.offered_traffic = lambda / mu;
  r.wait_probability = static_cast<double>(delayed) / static_cast<double>(N);
  const double margin = static_cast<double>(V) - r.offered_traffic;
  r.wait_exceeds_threshold = std::exp(((-mu) * t) * margin) * r.wait_probability;
  const double w = 1.0 / (margin * mu);
  r.mean_wait_of_waiting = w;
  r.mean_wait = w * r.wait_probability;
  r.mean_queue_length = (w * r.wait_probability) * lambda;
  r.output = {r.wait_probability, r.wait_exceeds_threshold, r.mean_wait, w, r.mean_queue_length};
  return r;
}

}  // namespace moravel::reference
