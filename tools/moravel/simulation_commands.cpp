// Subcommands of the single-service simulations: simulate-loss and
// simulate-wait, the replays of the `loss` and `wait` systems.
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "moravel.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct SimulationArgs {
  std::int32_t servers = 0;
  std::int32_t calls = 1000000;
  std::int64_t seed = 0;
  double traffic = 0.0;
  double threshold = 0.0;
  OutputOptions output;
};

std::string Replayed(const SimulationArgs& args) {
  return "V = " + std::to_string(args.servers) + " servers, A = " + FormatNumber(args.traffic) +
         " erlangs, N = " + std::to_string(args.calls) + " calls, " +
         (args.seed == 0 ? std::string("seeded from the clock")
                         : "seed " + std::to_string(args.seed));
}

Report SimulatedLossReport(std::string title, const char* text) {
  const auto n = ParseResultText(text);
  Report report{std::move(title), {}, text};
  if (n.size() == 2) {
    report.rows.push_back({{"loss", "loss probability", "", n[0]},
                           {"carried", "carried traffic", "erlang", n[1]}});
  }
  return report;
}

void AddCommonOptions(CLI::App& command, SimulationArgs& args, std::int64_t min_servers) {
  AddCount(command, "-V,--servers", args.servers, "Number of servers", min_servers)->required();
  AddReal(command, "-A,--traffic", args.traffic, "Offered traffic [erlang]", 0.0, true)
      ->required();
  AddCount(command, "-N,--calls", args.calls, "Number of simulated calls (default 1000000)", 1);
  command.add_option("--seed", args.seed, "Seed; 0 (the default) seeds from the clock")
      ->check(Seed());
}

}  // namespace

void AddSimulationCommands(CLI::App& app) {
  auto args = std::make_shared<SimulationArgs>();

  auto* loss = app.add_subcommand(
      "simulate-loss", "Replay N calls through the Erlang loss system: loss and carried traffic");
  AddCommonOptions(*loss, *args, 0);
  AddOutputOptions(*loss, args->output);
  loss->callback([args] {
    Print(SimulatedLossReport("Simulated Erlang loss system, " + Replayed(*args),
                              M_M_V_L_im(args->traffic, args->servers, args->calls,
                                         static_cast<std::uint32_t>(args->seed))),
          args->output);
  });

  auto* wait = app.add_subcommand(
      "simulate-wait", "Replay N calls through the Erlang delay system with an unlimited queue");
  AddCommonOptions(*wait, *args, 1);
  AddReal(*wait, "-t,--threshold", args->threshold,
          "Waiting-time threshold, in mean holding times", 0.0)
      ->required();
  AddOutputOptions(*wait, args->output);
  wait->callback([args] {
    Print(WaitReport("Simulated Erlang delay system, " + Replayed(*args) + ", t = " +
                         FormatNumber(args->threshold),
                     M_M_V_W_FF_R_im(args->traffic, args->servers, args->calls,
                                     args->threshold, static_cast<std::uint32_t>(args->seed)),
                     "mean holding times"),
          args->output);
  });
}

void DemoSimulation(std::ostream& out) {
  // Copies: every text-returning call replaces the previous text.
  const std::string loss_simulated = M_M_V_L_im(5.0, 10, 1000000, 7u);
  const std::string loss_analytic = M_M_V_L_an(10, 5.0);
  const std::string wait_simulated = M_M_V_W_FF_R_im(7.0, 10, 1000000, 0.5, 7u);
  const std::string wait_analytic = M_M_V_W_FF_R_an(0.5, 1.0, 10, 7.0);
  out << "Single-service simulations, 10^6 calls, seed 7 (simulated, then analytic)\n";
  out << "  Erlang loss, 10 servers, 5 erlangs:   \"" << loss_simulated << "\"\n"
      << "                                        \"" << loss_analytic << "\"\n";
  out << "  Delay system, 10 servers, 7 erlangs, t = 0.5 mean holding times:\n"
      << "     \"" << wait_simulated << "\"\n"
      << "     \"" << wait_analytic << "\"\n"
      << "     (P(wait), P(wait > t), mean wait, mean wait of waiting calls, queue)\n";
}

}  // namespace moravel_tool
