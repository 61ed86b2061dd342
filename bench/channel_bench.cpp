// The result channel's cost per call (empty, write two numbers, copy out)
// against a bare snprintf("%.6g") of the same two numbers.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>

#include "channel/result_channel.h"

namespace {

constexpr std::array<double, 2> kNumbers{0.018384570336331, 4.908077148318345};

void BM_ResultChannel(benchmark::State& state) {
  std::array<double, 2> numbers = kNumbers;
  for (auto _ : state) {
    benchmark::DoNotOptimize(numbers);
    const char* text =
        moravel::RunTextExport([&](moravel::ResultWriter& out) { out.WriteSeparated(numbers); });
    benchmark::DoNotOptimize(text);
  }
}

void BM_BareSnprintf(benchmark::State& state) {
  std::array<double, 2> numbers = kNumbers;
  char buffer[64];
  for (auto _ : state) {
    benchmark::DoNotOptimize(numbers);
    int n = std::snprintf(buffer, sizeof buffer, "%.6g", numbers[0]);
    buffer[n++] = ' ';
    std::snprintf(buffer + n, sizeof buffer - n, "%.6g", numbers[1]);
    benchmark::DoNotOptimize(buffer);
  }
}

BENCHMARK(BM_ResultChannel);
BENCHMARK(BM_BareSnprintf);

}  // namespace
