// The second interface's speed.
//
// Array entry points against a host's loop over the scalar export (or the
// single-point function) for the same points: the counter ns_per_point is
// the cost of one point either way.
//
// Solvers against the plain searches of tests/reference at answers near
// 10^3 servers (agents): the plain search calls the model at every size
// from 1, or halves a traffic bracket in value to its last bit.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "bench_support.h"
#include "formulas/erlang_loss.h"
#include "moravel.h"
#include "moravel/api.h"
#include "reference/solver_reference.h"

namespace {

constexpr std::size_t kPoints = 4096;

// Points of one sweep: V servers each (range(0)), traffic 0.5 V to 1.0 V.
struct Sweep {
  std::vector<std::int32_t> V;
  std::vector<double> A;
  std::vector<double> out;
  std::vector<moravel_loss_result> results;
  explicit Sweep(std::int32_t servers)
      : V(kPoints, servers), A(kPoints), out(kPoints), results(kPoints) {
    std::mt19937_64 engine(1);
    std::uniform_real_distribution<double> share(0.5, 1.0);
    for (double& a : A) a = share(engine) * servers;
  }
};

// Times `sweep_once` over the points of a sweep of range(0) servers; the
// counter ns_per_point is the cost of one point.
template <class SweepOnce>
void TimeSweep(benchmark::State& state, SweepOnce sweep_once) {
  Sweep sweep(static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    sweep_once(sweep);
    benchmark::ClobberMemory();
  }
  moravel::bench::TimePerItem(state, "ns_per_point", kPoints);
}

void BM_ErlangBArray(benchmark::State& state) {
  TimeSweep(state, [](Sweep& sweep) {
    benchmark::DoNotOptimize(
        moravel_erlang_b_array(kPoints, sweep.V.data(), sweep.A.data(), sweep.out.data(), nullptr));
  });
}

void BM_PalmTableLoop(benchmark::State& state) {
  TimeSweep(state, [](Sweep& sweep) {
    for (std::size_t j = 0; j < kPoints; ++j) sweep.out[j] = PalmTable(sweep.V[j], sweep.A[j]);
  });
}

void BM_LossArray(benchmark::State& state) {
  TimeSweep(state, [](Sweep& sweep) {
    benchmark::DoNotOptimize(
        moravel_loss_array(kPoints, sweep.V.data(), sweep.A.data(), sweep.results.data(), nullptr));
  });
}

void BM_LossLoop(benchmark::State& state) {
  TimeSweep(state, [](Sweep& sweep) {
    for (std::size_t j = 0; j < kPoints; ++j) {
      benchmark::DoNotOptimize(moravel_loss(sweep.V[j], sweep.A[j], &sweep.results[j]));
    }
  });
}

// The legacy export's text, read back into doubles as a host must.
void BM_LossTextLoop(benchmark::State& state) {
  TimeSweep(state, [](Sweep& sweep) {
    for (std::size_t j = 0; j < kPoints; ++j) {
      const char* text = M_M_V_L_an(sweep.V[j], sweep.A[j]);
      char* end = nullptr;
      sweep.results[j].loss = std::strtod(text, &end);
      sweep.results[j].carried = std::strtod(end, nullptr);
    }
  });
}

BENCHMARK(BM_ErlangBArray)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_PalmTableLoop)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_LossArray)->Arg(10)->Arg(100);
BENCHMARK(BM_LossLoop)->Arg(10)->Arg(100);
BENCHMARK(BM_LossTextLoop)->Arg(10)->Arg(100);

// ---- solvers -------------------------------------------------------------
// 970 erlangs at 1% loss need 999 servers; 1400 sources of 0.7 erlangs at
// 1% need 1003; 985 erlangs of 180 s calls with 80% answered within 20 s
// need 996 agents (the plain search starts at the first count above the
// traffic, 986).  The largest traffic is found for 1000 servers at 1%.

void BM_ErlangServers(benchmark::State& state) {
  std::int32_t servers = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_erlang_b_servers(970.0, 0.01, &servers, nullptr));
  }
  state.counters["servers"] = servers;
}

void BM_ErlangServersPlain(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::reference::LinearErlangServers(970.0, 0.01, 1 << 20));
  }
}

void BM_EngsetServers(benchmark::State& state) {
  std::int32_t servers = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_engset_servers(1400, 0.7, 0.01, &servers, nullptr));
  }
  state.counters["servers"] = servers;
}

void BM_EngsetServersPlain(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::reference::LinearEngsetServers(1400, 0.7, 0.01));
  }
}

void BM_AgentsForServiceLevel(benchmark::State& state) {
  moravel_staffing staffing{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel_agents_for_service_level(985.0, 180.0, 20.0, 0.8, &staffing));
  }
  state.counters["agents"] = staffing.agents;
}

void BM_AgentsForServiceLevelPlain(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::reference::LinearAgents(985.0, 180.0, 20.0, 0, 0.8));
  }
}

void BM_ErlangTraffic(benchmark::State& state) {
  double traffic = 0.0;
  for (auto _ : state) benchmark::DoNotOptimize(moravel_erlang_b_traffic(1000, 0.01, &traffic));
  state.counters["traffic"] = traffic;
}

void BM_ErlangTrafficPlain(benchmark::State& state) {
  const auto loss = [](double A) { return moravel::PalmTable(1000, A); };
  for (auto _ : state) {
    benchmark::DoNotOptimize(moravel::reference::BisectedLargestAtOrBelow(loss, 0.01, 0.0, 2000.0));
  }
}

void BM_EngsetTraffic(benchmark::State& state) {
  double traffic = 0.0;
  for (auto _ : state) benchmark::DoNotOptimize(moravel_engset_traffic(1400, 1000, 0.01, &traffic));
  state.counters["traffic"] = traffic;
}

void BM_EngsetTrafficPlain(benchmark::State& state) {
  const auto loss = [](double a) { return EngsetTable(1400, 1000, a); };
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel::reference::BisectedLargestAtOrBelow(loss, 0.01, 0.0, 0.9999999999999999));
  }
}

// Two classes on links of 4 units: 8 links, within the sizes on which the
// link models' counts stay exact.
const double kLinkTraffic[] = {12.0, 2.0};
const double kLinkDemand[] = {1.0, 2.0};

void BM_LinkGroupLinks(benchmark::State& state) {
  std::int32_t links = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel_link_group_links(kLinkTraffic, 2, kLinkDemand, 4, 0.01, &links, nullptr));
  }
  state.counters["links"] = links;
}

void BM_LinkGroupLinksPlain(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel::reference::LinearLinks(kLinkTraffic, 2, kLinkDemand, 4, 0, 0.01, 1000));
  }
}

BENCHMARK(BM_ErlangServers);
BENCHMARK(BM_ErlangServersPlain);
BENCHMARK(BM_EngsetServers);
BENCHMARK(BM_EngsetServersPlain);
BENCHMARK(BM_AgentsForServiceLevel);
BENCHMARK(BM_AgentsForServiceLevelPlain);
BENCHMARK(BM_ErlangTraffic);
BENCHMARK(BM_ErlangTrafficPlain);
BENCHMARK(BM_EngsetTraffic);
BENCHMARK(BM_EngsetTrafficPlain);
BENCHMARK(BM_LinkGroupLinks);
BENCHMARK(BM_LinkGroupLinksPlain);

// Two classes on links of 2 units needing about 10^3 links: the counts are
// wide, and each evaluation costs about 10 k^2 steps.
const double kManyLinksTraffic[] = {1500.0, 250.0};
const double kManyLinksDemand[] = {1.0, 2.0};

void BM_LinkGroupManyLinks(benchmark::State& state) {
  std::int32_t links = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        moravel_link_group_links(kManyLinksTraffic, 2, kManyLinksDemand, 2, 0.01, &links, nullptr));
  }
  state.counters["links"] = links;
}

void BM_LinkGroupManyLinksPlain(benchmark::State& state) {
  std::int32_t links = 0;
  for (auto _ : state) {
    links =
        moravel::reference::LinearLinks(kManyLinksTraffic, 2, kManyLinksDemand, 2, 0, 0.01, 5000);
  }
  state.counters["links"] = links;
}

BENCHMARK(BM_LinkGroupManyLinks)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LinkGroupManyLinksPlain)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
