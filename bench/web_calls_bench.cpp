// The calls the calculator page makes, natively: the reference against which
// bench/wasm_bench.js times the same calls in the WebAssembly module (the
// page's cost per call should stay within 3x of these).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "moravel/api.h"

namespace {

void BM_ErlangB(benchmark::State& state) {
  double loss;
  for (auto _ : state) benchmark::DoNotOptimize(moravel_erlang_b(100, 80.0, &loss));
}

void BM_ErlangBServers(benchmark::State& state) {
  std::int32_t servers;
  double loss;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_erlang_b_servers(50.0, 0.01, &servers, &loss));
  }
}

void BM_ErlangBTraffic(benchmark::State& state) {
  double traffic;
  for (auto _ : state) benchmark::DoNotOptimize(moravel_erlang_b_traffic(20, 0.01, &traffic));
}

void BM_Engset(benchmark::State& state) {
  moravel_loss_result result;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_loss_finite_sources(20, 5, 0.2, &result));
  }
}

void BM_AgentsForServiceLevel(benchmark::State& state) {
  moravel_staffing staff;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_agents_for_service_level(20.0, 180.0, 20.0, 0.8, &staff));
  }
}

void BM_LinkGroup(benchmark::State& state) {
  const double a[] = {5.0, 3.0}, t[] = {1.0, 2.0};
  double blocking[2], carried[2];
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_link_group(a, 2, t, 4, 10, blocking, carried));
  }
}

void BM_LinkSubsetLinks(benchmark::State& state) {
  const double a[] = {40.0, 12.5, 4.0}, t[] = {1.0, 3.0, 6.0};
  std::int32_t links;
  double blocking[3];
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_link_subset_links(a, 3, t, 30, 3, 0.001, &links, blocking));
  }
}

}  // namespace

BENCHMARK(BM_ErlangB);
BENCHMARK(BM_ErlangBServers);
BENCHMARK(BM_ErlangBTraffic);
BENCHMARK(BM_Engset);
BENCHMARK(BM_AgentsForServiceLevel);
BENCHMARK(BM_LinkGroup);
BENCHMARK(BM_LinkSubsetLinks);
