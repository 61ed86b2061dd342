// PalmTable's cost per server against the bare dependency chain it runs:
// one multiply, one add and one divide per server, each waiting for the
// last.  The chain is the floor; the ratio tells what the loop adds.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "formulas/erlang_loss.h"

namespace {

double BareChain(int V, double A) {
  double B = 1.0;
  for (int i = 1; i <= V; ++i) {
    const double t = B * A;
    B = t / (static_cast<double>(i) + t);
  }
  return B;
}

void BM_PalmTable(benchmark::State& state) {
  const auto V = static_cast<std::int32_t>(state.range(0));
  double A = 0.7 * V;
  for (auto _ : state) {
    benchmark::DoNotOptimize(A);
    benchmark::DoNotOptimize(moravel::PalmTable(V, A));
  }
  moravel::bench::TimePerItem(state, "ns_per_server", V);
}

void BM_BareChain(benchmark::State& state) {
  const auto V = static_cast<int>(state.range(0));
  double A = 0.7 * V;
  for (auto _ : state) {
    benchmark::DoNotOptimize(A);
    benchmark::DoNotOptimize(BareChain(V, A));
  }
  moravel::bench::TimePerItem(state, "ns_per_server", V);
}

BENCHMARK(BM_PalmTable)->Arg(10)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_BareChain)->Arg(10)->Arg(1000)->Arg(1000000);

}  // namespace
