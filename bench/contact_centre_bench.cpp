// One evaluation of the contact-centre model against one of the delay
// system (moravel_wait) at the same number of agents: both run the Erlang B
// recursion over the agents; the model adds its quadrature over the queue.
// Also the cases that a term-by-term sum over the queue could not afford
// (1e5 erlangs on 1e3 agents with a patience of 1e4 handling times puts
// the queue near 1e9 calls) and a limit of 1e6 lines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "moravel/api.h"

namespace {

// Agents range(0); traffic 0.95 of them; patience = handling time; 20 s of
// 180 s as the answer time.
void BM_ContactCentre(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const double A = 0.95 * n;
  moravel_contact_centre_result r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_contact_centre(A, 180.0, 180.0, n, 0, 20.0, &r));
  }
}

void BM_Wait(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const double A = 0.95 * n;
  moravel_wait_result r;
  for (auto _ : state) benchmark::DoNotOptimize(moravel_wait(20.0, 180.0, n, A, &r));
}

void BM_ContactCentreNeverHangingUp(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const double A = 0.95 * n;
  moravel_contact_centre_result r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_contact_centre(A, 180.0, HUGE_VAL, n, 0, 20.0, &r));
  }
}

void BM_ContactCentreOverloadLongPatience(benchmark::State& state) {
  moravel_contact_centre_result r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_contact_centre(1e5, 1.0, 1e4, 1000, 0, 1.0, &r));
  }
}

void BM_ContactCentreMillionLines(benchmark::State& state) {
  moravel_contact_centre_result r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_contact_centre(2e3, 1.0, 10.0, 1000, 1001000, 0.5, &r));
  }
}

void BM_ContactCentreRetrials(benchmark::State& state) {
  moravel_retrial_result r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel_contact_centre_retrials(20.0, 180.0, 120.0, 20, 25, 20.0, 0.8, 0.5, 60.0, &r));
  }
}

// Staffing 1e4 erlangs of 180 s calls, patience 180 s, for 80% of all
// offered calls within 20 s; and the delay system's own solver for the
// same target, without hang-ups.
void BM_ContactCentreAgents(benchmark::State& state) {
  std::int32_t agents = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_contact_centre_agents(
        1e4, 180.0, 180.0, 0, 20.0, MORAVEL_GOAL_SERVICE_LEVEL, 0.8, 1.0, &agents, nullptr));
  }
  state.counters["agents"] = agents;
}

void BM_DelayAgents(benchmark::State& state) {
  moravel_staffing figures;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_agents_for_service_level(1e4, 180.0, 20.0, 0.8, &figures));
  }
  state.counters["agents"] = figures.agents;
}

}  // namespace

BENCHMARK(BM_ContactCentreAgents);
BENCHMARK(BM_DelayAgents);
BENCHMARK(BM_ContactCentre)->Arg(1000)->Arg(100000);
BENCHMARK(BM_Wait)->Arg(1000)->Arg(100000);
BENCHMARK(BM_ContactCentreNeverHangingUp)->Arg(1000)->Arg(100000);
BENCHMARK(BM_ContactCentreOverloadLongPatience);
BENCHMARK(BM_ContactCentreMillionLines);
BENCHMARK(BM_ContactCentreRetrials);
