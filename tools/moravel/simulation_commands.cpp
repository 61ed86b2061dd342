// Subcommands of the single-service simulations: simulate-loss and
// simulate-wait, the replays of the `loss` and `wait` systems.
#include <cmath>
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct SimulationArgs {
  std::int32_t servers = 0;
  std::int32_t calls = 1000000;
  std::int64_t seed = 0;
  double traffic = 0.0;
  double threshold = 0.0;
  double holding = 0.0;  // 0: not given, the times are in mean holding times
  OutputOptions output;
};

std::string Replayed(const SimulationArgs& args) {
  return "V = " + std::to_string(args.servers) + " servers, A = " + FormatNumber(args.traffic) +
         " erlangs, N = " + std::to_string(args.calls) + " calls, " +
         (args.seed == 0 ? std::string("seeded from the clock")
                         : "seed " + std::to_string(args.seed));
}

std::vector<Figure> Inputs(const SimulationArgs& args) {
  return {Count("servers", "servers", args.servers),
          {"traffic", "traffic", "erlang", args.traffic},
          Count("calls", "calls", args.calls),
          Count("seed", "seed", static_cast<double>(args.seed))};
}

void AddCommonOptions(CLI::App& command, SimulationArgs& args) {
  AddServers(command, args.servers)->required();
  AddTraffic(command, args.traffic)->required();
  AddCount(command, "-N,--calls", args.calls, "Number of simulated calls (default 1000000)")
      ->type_name("COUNT");
  AddSeed(command, args.seed, "(the default) seeds from the clock");
}

}  // namespace

void AddSimulationCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<SimulationArgs>();

  auto* loss = app.add_subcommand(
      "simulate-loss", "Replay N calls through the Erlang loss system: loss and carried traffic");
  AddCommonOptions(*loss, *args);
  AddOutputOptions(*loss, args->output);
  Describe(commands, *loss, {"servers", "traffic", "calls", "seed"}, ResultShape::kFigures);
  OnRun(commands, *loss, [args, &answers] {
    moravel_loss_result result{};
    CheckDescribed(moravel_simulate_loss(args->traffic, args->servers, args->calls,
                                         static_cast<std::uint32_t>(args->seed), &result),
                   "moravel_simulate_loss");
    answers.push_back(
        {LossReport("Simulated Erlang loss system, " + Replayed(*args), Inputs(*args), result),
         args->output});
  });

  auto* wait = app.add_subcommand(
      "simulate-wait", "Replay N calls through the Erlang delay system with an unlimited queue");
  AddCommonOptions(*wait, *args);
  AddNumber(*wait, "-t,--threshold", args->threshold,
            "Waiting-time threshold, in mean holding times, or in the unit of --holding-time "
            "when it is given")
      ->type_name("TIME")
      ->required();
  auto* holding = AddNumber(*wait, "--holding-time", args->holding,
                            "Mean holding time, in the unit of -t and of the waits (leave it out "
                            "to measure them in mean holding times)")
                      ->type_name("TIME");
  AddOutputOptions(*wait, args->output);
  Describe(commands, *wait, {"servers", "traffic", "calls", "seed", "threshold", "holding-time"},
           ResultShape::kFigures);
  OnRun(commands, *wait, [args, &answers, holding] {
    // The replay's clock runs in mean holding times: a threshold in another
    // unit is rescaled on the way in, and the waits on the way out.  The
    // holding time is the analytic model's argument, judged as it judges it.
    const bool scaled = holding->count() != 0;
    const double h = scaled ? args->holding : 1.0;
    if (scaled) {
      moravel_wait_result unused{};
      const moravel_status status = moravel_wait(0.0, h, 1, 0.0, &unused);
      if (status == MORAVEL_ERROR_HOLDING_TIME) CheckDescribed(status, "moravel_wait");
    }
    const double threshold = scaled ? args->threshold / h : args->threshold;
    moravel_wait_result result{};
    CheckDescribed(moravel_simulate_wait(args->traffic, args->servers, args->calls, threshold,
                                         static_cast<std::uint32_t>(args->seed), &result),
                   "moravel_simulate_wait");
    if (scaled) {
      result.mean_wait *= h;
      result.mean_wait_of_waiting *= h;
    }
    const std::string unit = scaled ? "time units" : "mean holding times";
    std::vector<Figure> inputs = Inputs(*args);
    inputs.push_back({"threshold", "threshold", unit, args->threshold});
    if (scaled) inputs.push_back({"holding_time", "holding time", unit, args->holding});
    answers.push_back(
        {{"Simulated Erlang delay system, " + Replayed(*args) +
              ", t = " + FormatNumber(args->threshold) +
              (scaled ? ", holding time " + FormatNumber(args->holding) + " (one time unit)"
                      : std::string(" mean holding times")),
          std::move(inputs),
          {WaitRow(result, unit)}},
         args->output});
  });
}

void DemoSimulation(std::ostream& out) {
  moravel_loss_result loss_simulated{}, loss_analytic{};
  moravel_wait_result wait_simulated{}, wait_analytic{};
  moravel_simulate_loss(5.0, 10, 1000000, 7u, &loss_simulated);
  moravel_loss(10, 5.0, &loss_analytic);
  moravel_simulate_wait(7.0, 10, 1000000, 0.5, 7u, &wait_simulated);
  moravel_wait(0.5, 1.0, 10, 7.0, &wait_analytic);
  auto loss_figures = [](const moravel_loss_result& r) {
    return Figures({{"loss", r.loss}, {"carried", r.carried, "erl"}});
  };
  auto wait_figures = [](const moravel_wait_result& w) {
    return Figures({{"P(wait)", w.wait_probability},
                    {"P(wait > t)", w.wait_exceeds},
                    {"mean wait", w.mean_wait},
                    {"of waiting calls", w.mean_wait_of_waiting},
                    {"queue", w.queue_length, "calls"}});
  };
  out << "Single-service simulations, 10^6 calls, seed 7\n";
  out << "  Erlang loss, 10 servers, 5 erlangs:\n"
      << "     simulated  " << loss_figures(loss_simulated) << '\n'
      << "     analytic   " << loss_figures(loss_analytic) << '\n';
  out << "  Delay system, 10 servers, 7 erlangs, t = 0.5 (times in mean holding times):\n"
      << "     simulated  " << wait_figures(wait_simulated) << '\n'
      << "     analytic   " << wait_figures(wait_analytic) << '\n';
}

}  // namespace moravel_tool
