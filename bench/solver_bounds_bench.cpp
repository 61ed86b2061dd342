// The solvers at the edge of their budget: the largest inputs each one
// accepts, which must answer within the bound api.h states (a few seconds
// on a 2-core Xeon), and the refusals just beyond, which must come at once.
// Every benchmark reports the status it got (status = 0: answered).
//
// Run: build/default/bench/solver_bounds_bench --benchmark_min_time=1x
#include <benchmark/benchmark.h>

#include <cstdint>

#include "moravel/api.h"

namespace {

constexpr std::int32_t kLargestTrafficSearch = 16777216;  // 2^24 servers or agents
constexpr std::int32_t kLargestEngsetSearch = 5592405;    // 2^28 / 48

template <class Call>
void Run(benchmark::State& state, Call&& call) {
  moravel_status status = MORAVEL_OK;
  for (auto _ : state) status = call();
  state.counters["status"] = status;
}

void ErlangTraffic(benchmark::State& state, std::int32_t V, double target) {
  Run(state, [&] {
    double A;
    return moravel_erlang_b_traffic(V, target, &A);
  });
}
BENCHMARK_CAPTURE(ErlangTraffic, largest_V_1e - 300, kLargestTrafficSearch, 1e-300)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangTraffic, largest_V_1pc, kLargestTrafficSearch, 0.01)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangTraffic, largest_V_half, kLargestTrafficSearch, 0.5)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangTraffic, largest_V_0_9, kLargestTrafficSearch / 2, 0.9)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangTraffic, refused_2e9, 2147483646, 0.5)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1);

void EngsetTraffic(benchmark::State& state, std::int32_t V, double target) {
  Run(state, [&] {
    double a;
    return moravel_engset_traffic(2 * V, V, target, &a);
  });
}
BENCHMARK_CAPTURE(EngsetTraffic, largest_V_1pc, kLargestEngsetSearch, 0.01)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(EngsetTraffic, largest_V_1e - 300, kLargestEngsetSearch, 1e-300)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

void ServiceLevelTraffic(benchmark::State& state, std::int32_t V, double level) {
  Run(state, [&] {
    double A;
    return moravel_traffic_for_service_level(V, 180.0, 20.0, level, &A, nullptr);
  });
}
BENCHMARK_CAPTURE(ServiceLevelTraffic, largest_V_80pc, kLargestTrafficSearch, 0.8)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

void ErlangServers(benchmark::State& state, double A, double target) {
  Run(state, [&] {
    std::int32_t V;
    return moravel_erlang_b_servers(A, target, &V, nullptr);
  });
}
// A (1 - target) (1 - 1e-3) just below 2^28.
BENCHMARK_CAPTURE(ErlangServers, largest_1pc, 2.714e8, 0.01)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangServers, largest_1e - 300, 2.68e8, 1e-300)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ErlangServers, refused_2_72e8, 2.72e8, 0.01)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1);

void Agents(benchmark::State& state, double A) {
  Run(state, [&] {
    moravel_staffing s;
    return moravel_agents_for_service_level(A, 180.0, 20.0, 0.8, &s);
  });
}
BENCHMARK_CAPTURE(Agents, largest_2_68e8, 2.68e8)->Unit(benchmark::kSecond)->Iterations(1);

void EngsetServers(benchmark::State& state, std::int32_t N, double a) {
  Run(state, [&] {
    std::int32_t V;
    return moravel_engset_servers(N, a, 0.01, &V, nullptr);
  });
}
// N a (1 - 0.01) / ... just below 2^28 / 3 with a = 1/2 (b = 1).
BENCHMARK_CAPTURE(EngsetServers, largest_N, 179000000, 0.5)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
