// What the least-links searches cost at the edge of their work budget
// (2^27 estimated steps): each call answers or refuses within a few
// seconds.  Run one iteration each; the counters give the status, the
// answer and the estimated steps spent.
//
//   0 one class of 340000 erlangs on links of 357 units: refused at once
//   1 two classes on links of one unit, each call offered to one link:
//     the answer lies near 42000 links, far beyond the budget
//   2 two classes on links of 2 units, about 10^3 links (wide counts)
//   3 one class on links of one unit whose first evaluation alone fills
//     the budget
#include <benchmark/benchmark.h>

#include <cstdint>

#include "moravel/api.h"
#include "solvers/least_links.h"

namespace {

void BM_LinkSearchAtItsBudget(benchmark::State& state) {
  static const double big[1] = {340000.0}, one[1] = {1.0};
  static const double pair[2] = {9.75, 32.3}, ones[2] = {1.0, 1.0};
  static const double many[2] = {1500.0, 250.0}, many_demand[2] = {1.0, 2.0};
  static const double full[1] = {13378.0};
  moravel::LinksAnswer answer{};
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0: answer = moravel::LeastLinkGroupLinks(big, 1, one, 357, 1e-3); break;
      case 1: answer = moravel::LeastLinkSubsetLinks(pair, 2, ones, 1, 1, 1e-3); break;
      case 2: answer = moravel::LeastLinkGroupLinks(many, 2, many_demand, 2, 0.01); break;
      default: answer = moravel::LeastLinkGroupLinks(full, 1, one, 1, 0.5); break;
    }
  }
  state.counters["outcome"] = static_cast<double>(answer.outcome);
  state.counters["links"] = answer.links;
  state.counters["steps"] = answer.steps;
}

BENCHMARK(BM_LinkSearchAtItsBudget)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
