// A day's plan: the 48 half-hours of bench/day_plan_48.csv planned for 80%
// within 20 s at 30% shrinkage, through moravel_day_plan.
// The whole `moravel plan` command on the same file is timed from outside
// (see the README).
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "moravel/api.h"

namespace {

struct Day {
  std::vector<double> calls, handling, patience;
};

Day ReadDay() {
  std::ifstream in(MORAVEL_BENCH_DIR "/day_plan_48.csv");
  Day day;
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    std::istringstream cells(line);
    std::string label, calls, handling, patience;
    std::getline(cells, label, ',');
    std::getline(cells, calls, ',');
    std::getline(cells, handling, ',');
    std::getline(cells, patience, ',');
    day.calls.push_back(std::stod(calls));
    day.handling.push_back(std::stod(handling));
    day.patience.push_back(std::stod(patience));
  }
  return day;
}

void BM_DayPlan48(benchmark::State& state) {
  const Day day = ReadDay();
  moravel_day_plan_targets targets{};
  targets.answer_time = 20.0;
  targets.service_level = 0.8;
  std::vector<moravel_day_plan_interval> out(day.calls.size());
  moravel_day_plan_totals totals{};
  for (auto _ : state) {
    const auto status =
        moravel_day_plan(day.calls.size(), day.calls.data(), day.handling.data(),
                         day.patience.data(), &targets, 30.0, 0.3, out.data(), &totals, nullptr);
    if (status != MORAVEL_OK) state.SkipWithError("refused");
    benchmark::DoNotOptimize(totals);
  }
  state.counters["agent_intervals"] = static_cast<double>(totals.agent_intervals_needed);
}
BENCHMARK(BM_DayPlan48)->Unit(benchmark::kMillisecond);

}  // namespace
