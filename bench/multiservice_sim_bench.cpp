// Cost per simulated call and peak heap of the link-subset simulation,
// against the literal reference (one release-time row per subset, every
// per-call quantity listed in advance), on a small group (k = 4, f = 30,
// g = 2: 6 subsets) and a large one (k = 16, f = 10, g = 8: 12870 subsets).
// The library's cost per call should not grow with the number of subsets.
//
// Then the link size: k = 4 links of f = 10 ... 10^4 units, g = 2, at the
// load of f = 10 (about 70% of the units) kept by scaling either the
// demands or the traffic by f / 10.  Scaled demands keep the number of
// calls in progress; scaled traffic multiplies it by f / 10.  The cost per
// call should not grow with f.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "multiservice_sim/link_choice.h"
#include "multiservice_sim/link_subset_simulation.h"
#include "reference/link_subset_simulation_reference.h"

// Heap accounting: every allocation carries its size in a header, so the
// live and peak byte counts can be followed across one run.  (GCC sees the
// malloc/free inside the replaced operators as a new/free mismatch once
// they are inlined into the standard allocator.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::size_t live_bytes = 0;
std::size_t peak_bytes = 0;
constexpr std::size_t kHeader = 16;
}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  live_bytes += size;
  if (live_bytes > peak_bytes) peak_bytes = live_bytes;
  return static_cast<char*>(block) + kHeader;
}

void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  live_bytes -= *static_cast<std::size_t*>(block);
  std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

namespace {

struct Group {
  const char* name;
  std::int32_t k, f, g;
  std::vector<double> a;
  std::vector<double> t;
};

// Loads of about 70% of the group's units, three rates.
const Group kSmall{"k4_f30_g2", 4, 30, 2, {40.0, 10.0, 4.0}, {1.0, 2.0, 6.0}};
const Group kLarge{"k16_f10_g8", 16, 10, 8, {60.0, 15.0, 6.0}, {1.0, 2.0, 5.0}};

std::string Keyword(int policy) {
  switch (policy) {
    case 0: return std::string(moravel::kMostFreeKeyword);
    case 1: return std::string(moravel::kFewestFreeKeyword);
    default: return std::string(moravel::kRandomFreeKeyword);
  }
}

// Runs `run(seeds)` once an iteration, each from its own seed source, and
// reports the time per call and the heap the run held at its peak.
template <class Run>
void Measure(benchmark::State& state, std::int64_t calls_per_run, Run run) {
  std::size_t peak = 0;
  std::uint32_t seed = 1;
  for (auto _ : state) {
    std::mt19937 source(seed++);
    const moravel::SeedSource seeds = [&source] { return static_cast<std::uint32_t>(source()); };
    const std::size_t baseline = live_bytes;
    peak_bytes = live_bytes;
    auto r = run(seeds);
    peak = peak_bytes - baseline;
    benchmark::DoNotOptimize(r);
  }
  moravel::bench::TimePerItem(state, "ns_per_call", static_cast<double>(calls_per_run));
  state.counters["peak_heap_bytes"] = static_cast<double>(peak);
}

// args: policy (0 most free, 1 fewest free, 2 random free), calls,
// placement seeding of the random policy (0 fresh engine per arrival,
// 1 one engine per run).
void Library(benchmark::State& state, const Group& x) {
  const std::string policy = Keyword(static_cast<int>(state.range(0)));
  const auto N = static_cast<std::int32_t>(state.range(1));
  const auto placement = state.range(2) == 0
                             ? moravel::RandomPlacementSeeding::kFreshEnginePerArrival
                             : moravel::RandomPlacementSeeding::kOneEnginePerRun;
  Measure(state, N, [&](const moravel::SeedSource& seeds) {
    return moravel::SimulateLinkSubsetSystem(x.a.data(), static_cast<std::int32_t>(x.a.size()),
                                             x.t.data(), x.k, x.f, x.g, N, policy.c_str(), seeds,
                                             placement);
  });
}

void Literal(benchmark::State& state, const Group& x) {
  const std::string policy = Keyword(static_cast<int>(state.range(0)));
  const auto N = static_cast<std::int32_t>(state.range(1));
  Measure(state, N, [&](const moravel::SeedSource& seeds) {
    return moravel::reference::SimulateLinkSubsetSystem(
        x.a.data(), static_cast<std::int32_t>(x.a.size()), x.t.data(), x.k, x.f, x.g, N,
        policy.c_str(), seeds);
  });
}

void BM_Library_Small(benchmark::State& state) { Library(state, kSmall); }
void BM_Library_Large(benchmark::State& state) { Library(state, kLarge); }
void BM_Literal_Small(benchmark::State& state) { Literal(state, kSmall); }
void BM_Literal_Large(benchmark::State& state) { Literal(state, kLarge); }

// The link-size group: a = (12, 3, 1.5) erlangs, t = (1, 2, 6) units at
// f = 10, offering 27 units of traffic to 40.  args: f, then 0 to scale the
// demands by f / 10, 1 to scale the traffic; most free units, 200000 calls.
void BM_Library_LinkSize(benchmark::State& state) {
  const auto f = static_cast<std::int32_t>(state.range(0));
  const double scale = f / 10.0;
  Group x{"link_size", 4, f, 2, {12.0, 3.0, 1.5}, {1.0, 2.0, 6.0}};
  for (double& v : state.range(1) == 0 ? x.t : x.a) v *= scale;
  const std::string policy(moravel::kMostFreeKeyword);
  constexpr std::int32_t kCalls = 200000;
  Measure(state, kCalls, [&](const moravel::SeedSource& seeds) {
    return moravel::SimulateLinkSubsetSystem(x.a.data(), 3, x.t.data(), x.k, x.f, x.g, kCalls,
                                             policy.c_str(), seeds,
                                             moravel::RandomPlacementSeeding::kOneEnginePerRun);
  });
}

// Each policy with a fresh engine per arrival, and the random policy with
// one engine per run, on a million calls.
void EveryPolicy(benchmark::internal::Benchmark* b) {
  b->Args({0, 1000000, 0})
      ->Args({1, 1000000, 0})
      ->Args({2, 1000000, 0})
      ->Args({2, 1000000, 1})
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
}

BENCHMARK(BM_Library_Small)->Apply(EveryPolicy);
BENCHMARK(BM_Library_Large)->Apply(EveryPolicy);
BENCHMARK(BM_Library_LinkSize)
    ->ArgsProduct({{10, 100, 1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Literal_Small)->Args({0, 100000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Literal_Large)->Args({0, 2000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
