// What the benchmarks share: a counter of time per item processed, and the
// minimum over repetitions (the machine may be shared: run with
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true and
// compare the minima).
#ifndef MORAVEL_BENCH_BENCH_SUPPORT_H
#define MORAVEL_BENCH_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace moravel::bench {

// Sets counter `name` to the time of one item, each iteration processing
// `items` of them (calls, points, servers).
inline void TimePerItem(benchmark::State& state, const char* name, double items) {
  state.counters[name] =
      benchmark::Counter(static_cast<double>(state.iterations()) * items,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

inline double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// Sizes 10, 1000 and 100000 (servers, agents), in milliseconds, with the
// minimum among the statistics.
inline void TenToHundredThousand(benchmark::internal::Benchmark* b) {
  b->Arg(10)
      ->Arg(1000)
      ->Arg(100000)
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", Minimum);
}

}  // namespace moravel::bench

#endif
