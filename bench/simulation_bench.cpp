// Nanoseconds per simulated call of the two single-service replays, at
// V = 10, 1000 and 100000 servers offered A = 0.9 V erlangs, against
//  - the floor: per call, one uniform from each of the two engines and the
//    two logarithms, nothing else (what any replay of these lists must pay);
//  - the plain transcription (tests/reference/): four materialised lists of
//    N doubles and a linear minimum search over the V servers per call.  It
//    runs on fewer calls where V is large, since its cost per call is V.
// The machine may be shared: compare the minima (bench_support.h).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "bench_support.h"

#include "random/mt19937.h"
#include "random/second_seed.h"
#include "random/uniform.h"
#include "reference/single_service_simulation_reference.h"
#include "simulation/loss_simulation.h"
#include "simulation/waiting_simulation.h"

namespace {

constexpr std::uint32_t kSeed = 20240601u;

double Traffic(std::int64_t V) { return 0.9 * static_cast<double>(V); }

// Calls per run: enough for the busy servers to reach their steady number.
std::int32_t FastCalls(std::int64_t V) { return V >= 100000 ? 10000000 : 2000000; }
std::int32_t TranscriptionCalls(std::int64_t V) {
  return V >= 100000 ? 10000 : V >= 1000 ? 100000 : 1000000;
}

void PerCall(benchmark::State& state, std::int32_t calls) {
  moravel::bench::TimePerItem(state, "ns_per_call", calls);
}

void BM_Floor(benchmark::State& state) {
  const std::int32_t N = FastCalls(state.range(0));
  const double lambda = Traffic(state.range(0));
  for (auto _ : state) {
    moravel::Mt19937 arrivals(kSeed);
    moravel::Mt19937 holdings(moravel::SecondSeed(kSeed));
    double sum = 0.0;
    for (std::int32_t i = 0; i < N; ++i) {
      sum += -(std::log(moravel::UniformValue(arrivals, 0.0, 1.0)) / lambda);
      sum += -(std::log(moravel::UniformValue(holdings, 0.0, 1.0)) / 1.0);
    }
    benchmark::DoNotOptimize(sum);
  }
  PerCall(state, N);
}

void BM_LossReplay(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  const std::int32_t N = FastCalls(V);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::SimulateLossSystem(Traffic(V), 1.0, V, N, kSeed));
  }
  PerCall(state, N);
}

void BM_WaitingReplay(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  const std::int32_t N = FastCalls(V);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::SimulateWaitingSystem(Traffic(V), 1.0, V, N, 1.0, kSeed));
  }
  PerCall(state, N);
}

void BM_LossTranscription(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  const std::int32_t N = TranscriptionCalls(V);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::reference::LossSystemReplay(Traffic(V), 1.0, V, N, kSeed));
  }
  PerCall(state, N);
}

void BM_WaitingTranscription(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  const std::int32_t N = TranscriptionCalls(V);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel::reference::WaitingSystemReplay(Traffic(V), 1.0, V, N, 1.0, kSeed));
  }
  PerCall(state, N);
}

}  // namespace

BENCHMARK(BM_Floor)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_LossReplay)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_WaitingReplay)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_LossTranscription)->Apply(moravel::bench::TenToHundredThousand);
BENCHMARK(BM_WaitingTranscription)->Apply(moravel::bench::TenToHundredThousand);
