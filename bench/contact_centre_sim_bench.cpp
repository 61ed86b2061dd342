// Nanoseconds per simulated call of the contact-centre replay against the
// loss replay (moravel_simulate_loss's core) at the same agents and load,
// V = 10, 1000 and 100000 agents offered A = 0.9 V erlangs:
//  - LossReplay: the Erlang loss replay (LossReplayOverloaded at 1.2 V);
//  - CentreAsLossSystem: the centre with as many lines as agents and
//    infinite patience, the same system;
//  - CentreAbandonment: M/M/n+M, mean patience one handling time, no lines;
//  - CentreOverloaded: the same at A = 1.2 V, most calls waiting;
//  - CentreLinesRedials: 1.1 V lines, half the failures redialling;
//  - OverloadedRatio: CentreOverloaded over LossReplayOverloaded, timed
//    together (the counter `ratio`).
// The machine may be shared: compare the minima (bench_support.h).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>

#include "bench_support.h"
#include "contact_centre_sim/contact_centre_simulation.h"
#include "simulation/loss_simulation.h"

namespace {

constexpr std::uint32_t kSeed = 20240601u;
constexpr std::int32_t kCalls = 2000000;

void PerCall(benchmark::State& state, std::int64_t calls) {
  moravel::bench::TimePerItem(state, "ns_per_call", static_cast<double>(calls));
}

moravel::CentreSetup Centre(std::int64_t V, double load) {
  moravel::CentreSetup c;
  c.agents = static_cast<std::int32_t>(V);
  c.traffic = load * static_cast<double>(V);
  c.patience = 1.0;
  c.answer_time = 0.1;
  return c;
}

void BM_LossReplay(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::SimulateLossSystem(0.9 * V, 1.0, V, kCalls, kSeed));
  }
  PerCall(state, kCalls);
}

void BM_LossReplayOverloaded(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::SimulateLossSystem(1.2 * V, 1.0, V, kCalls, kSeed));
  }
  PerCall(state, kCalls);
}

void RunCentre(benchmark::State& state, const moravel::CentreSetup& c) {
  std::int64_t attempts = 0;
  for (auto _ : state) {
    const auto e = moravel::SimulateContactCentre(c, kCalls, 0, kSeed);
    benchmark::DoNotOptimize(e);
    attempts = static_cast<std::int64_t>(std::llround(e->attempts_per_caller * kCalls));
  }
  PerCall(state, attempts);  // per attempt: redials are calls too
}

void BM_CentreAsLossSystem(benchmark::State& state) {
  auto c = Centre(state.range(0), 0.9);
  c.lines = c.agents;
  c.patience = std::numeric_limits<double>::infinity();
  RunCentre(state, c);
}

void BM_CentreAbandonment(benchmark::State& state) {
  RunCentre(state, Centre(state.range(0), 0.9));
}

void BM_CentreOverloaded(benchmark::State& state) { RunCentre(state, Centre(state.range(0), 1.2)); }

void BM_CentreLinesRedials(benchmark::State& state) {
  auto c = Centre(state.range(0), 0.9);
  c.lines = static_cast<std::int32_t>(1.1 * static_cast<double>(c.agents));
  c.blocked_retry_share = 0.5;
  c.abandoned_retry_share = 0.5;
  c.redial_time = 1.0;
  RunCentre(state, c);
}

// The overloaded centre's cost per call over the loss replay's at the same
// agents and traffic (A = 1.2 V), both timed in the same iteration by the
// thread's CPU clock, so that a shared machine's load falls on both alike:
// the counter `ratio` (target: 2 or less).
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void BM_OverloadedRatio(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  const auto c = Centre(V, 1.2);
  double centre = 0.0, loss = 0.0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    benchmark::DoNotOptimize(moravel::SimulateLossSystem(1.2 * V, 1.0, V, kCalls, kSeed));
    const double middle = CpuSeconds();
    benchmark::DoNotOptimize(moravel::SimulateContactCentre(c, kCalls, 0, kSeed));
    centre += CpuSeconds() - middle;
    loss += middle - start;
  }
  state.counters["ratio"] = centre / loss;
}

}  // namespace

BENCHMARK(BM_LossReplay)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_LossReplayOverloaded)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_CentreAsLossSystem)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_CentreAbandonment)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_CentreOverloaded)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_CentreLinesRedials)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_OverloadedRatio)->Apply(moravel::bench::TenToHundredThousand);
