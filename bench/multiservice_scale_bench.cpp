// How the cost of the link-group models grows with the group: V = k f from
// 10^2 to 10^6 units on k = 1, 10 and 100 links, and with the number of
// classes M and of distinct demands D at a fixed group.  Beyond a few
// links of a few hundred units the arrangement counts leave the exact
// range of doubles and the wide counts take over: their cost grows as
// k V (1 + 2 D) for D distinct demands between 1 and f, the recursion's as
// V M.
//
// Arguments: BM_*Size(k, V), four classes of demands 1, 2, 4, 8 offering
// 90% of the capacity in units; BM_LinkGroupClasses(M) and
// BM_LinkGroupDemands(D) on k = 10, f = 1000.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

namespace {

struct Classes {
  std::vector<double> a;
  std::vector<double> t;
  std::int32_t M() const { return static_cast<std::int32_t>(a.size()); }
};

// M classes over the given demands, in turn, together offering 90% of V
// units.
Classes Offer(std::int64_t V, std::int64_t M, const std::vector<double>& demands) {
  Classes classes;
  for (std::int64_t i = 0; i < M; ++i) {
    const double t = demands[static_cast<std::size_t>(i) % demands.size()];
    classes.t.push_back(t);
    classes.a.push_back(0.9 * static_cast<double>(V) / static_cast<double>(M) / t);
  }
  return classes;
}

void Report(benchmark::State& state, std::int64_t k, std::int64_t V) {
  state.counters["k"] = static_cast<double>(k);
  state.counters["V"] = static_cast<double>(V);
}

void BM_LinkGroupSize(benchmark::State& state) {
  const std::int64_t k = state.range(0);
  const std::int64_t V = state.range(1);
  const Classes c = Offer(V, 4, {1.0, 2.0, 4.0, 8.0});
  const auto f = static_cast<std::int32_t>(V / k);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel::LinkGroupModel(c.a.data(), c.M(), c.t.data(), static_cast<std::int32_t>(k), f));
  }
  Report(state, k, V);
}

void BM_LinkSubsetSize(benchmark::State& state) {
  const std::int64_t k = state.range(0);
  const std::int64_t V = state.range(1);
  const Classes c = Offer(V, 4, {1.0, 2.0, 4.0, 8.0});
  const auto f = static_cast<std::int32_t>(V / k);
  const auto g = static_cast<std::int32_t>((k + 1) / 2);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::LinkSubsetModel(c.a.data(), c.M(), c.t.data(),
                                                      static_cast<std::int32_t>(k), f, g));
  }
  Report(state, k, V);
}

void BM_LinkGroupClasses(benchmark::State& state) {
  const Classes c = Offer(10000, state.range(0), {1.0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::LinkGroupModel(c.a.data(), c.M(), c.t.data(), 10, 1000));
  }
}

void BM_LinkGroupDemands(benchmark::State& state) {
  std::vector<double> demands;
  for (std::int64_t d = 1; d <= state.range(0); ++d) demands.push_back(static_cast<double>(d));
  const Classes c = Offer(10000, state.range(0), demands);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::LinkGroupModel(c.a.data(), c.M(), c.t.data(), 10, 1000));
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (const std::int64_t k : {1, 10, 100}) {
    for (std::int64_t V = 100; V <= 1000000; V *= 10) {
      if (V >= k) b->Args({k, V});
    }
  }
  b->Unit(benchmark::kMillisecond)->Iterations(1);
}

BENCHMARK(BM_LinkGroupSize)->Apply(Sizes);
BENCHMARK(BM_LinkSubsetSize)->Apply(Sizes);
BENCHMARK(BM_LinkGroupClasses)->RangeMultiplier(4)->Range(1, 64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkGroupDemands)->RangeMultiplier(2)->Range(1, 16)->Unit(benchmark::kMillisecond);

}  // namespace
