// Subcommands of the single-service analytic models: loss, loss-finite,
// loss-assembled, loss-priority, wait.
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "moravel.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct SingleServiceArgs {
  std::int32_t servers = 0;
  std::int32_t sources = 0;
  std::int32_t multiplier = 0;
  double traffic = 0.0;
  double x = 0.0, y = 0.0, z = 0.0;
  double threshold = 0.0;
  double holding = 1.0;
  std::vector<double> classes;
  OutputOptions output;
};

Report LossReport(std::string title, const char* text) {
  const auto n = ParseResultText(text);
  Report report{std::move(title), {}, text};
  if (n.size() == 2) {
    report.rows.push_back({{"loss", "loss probability", "", n[0]},
                           {"carried", "carried traffic", "erlang", n[1]}});
  }
  return report;
}

}  // namespace

Report WaitReport(std::string title, const char* text, const std::string& time_unit) {
  const auto n = ParseResultText(text);
  Report report{std::move(title), {}, text};
  if (n.size() == 5) {
    report.rows.push_back({{"wait", "probability of waiting", "", n[0]},
                           {"wait_exceeds", "probability the wait exceeds t", "", n[1]},
                           {"mean_wait", "mean wait, all calls", time_unit, n[2]},
                           {"mean_wait_waiting", "mean wait, waiting calls", time_unit, n[3]},
                           {"queue_length", "mean queue length", "calls", n[4]}});
  }
  return report;
}

void AddSingleServiceCommands(CLI::App& app) {
  auto args = std::make_shared<SingleServiceArgs>();

  auto* loss = app.add_subcommand("loss", "Erlang loss system M/M/V/L: loss and carried traffic");
  AddCount(*loss, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*loss, "-A,--traffic", args->traffic, "Offered traffic [erlang]", 0.0)->required();
  AddOutputOptions(*loss, args->output);
  loss->callback([args] {
    Print(LossReport("Erlang loss system, V = " + std::to_string(args->servers) +
                         " servers, A = " + FormatNumber(args->traffic) + " erlangs",
                     M_M_V_L_an(args->servers, args->traffic)),
          args->output);
  });

  auto* finite = app.add_subcommand("loss-finite", "Engset loss system: N sources on V servers");
  AddCount(*finite, "-N,--sources", args->sources, "Number of traffic sources", 0)->required();
  AddCount(*finite, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*finite, "-a,--traffic-per-source", args->traffic,
          "Offered traffic per source [erlang], below 1", 0.0)
      ->required();
  AddOutputOptions(*finite, args->output);
  finite->callback([args] {
    Print(LossReport("Engset loss system, N = " + std::to_string(args->sources) +
                         " sources, V = " + std::to_string(args->servers) +
                         " servers, a = " + FormatNumber(args->traffic) + " erlangs per source",
                     Mi_M_V_L_an(args->sources, args->servers, args->traffic)),
          args->output);
  });

  auto* assembled = app.add_subcommand(
      "loss-assembled", "Erlang loss system on the load A = (n / (1/x + 1/y)) (z/y + 1)");
  AddReal(*assembled, "-x", args->x, "First time (same unit as y)", 0.0, true)->required();
  AddReal(*assembled, "-y", args->y, "Second time", 0.0, true)->required();
  AddReal(*assembled, "-z", args->z, "Third time (unit of y)", 0.0)->required();
  AddCount(*assembled, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddCount(*assembled, "-n,--multiplier", args->multiplier, "Whole-number multiplier", 0)
      ->required();
  AddOutputOptions(*assembled, args->output);
  assembled->callback([args] {
    Print(LossReport("Erlang loss system on an assembled load, V = " +
                         std::to_string(args->servers) + " servers",
                     M_G_V_L_an(args->x, args->y, args->z, args->servers, args->multiplier)),
          args->output);
  });

  auto* priority = app.add_subcommand(
      "loss-priority", "Loss system shared by classes of falling priority");
  AddCount(*priority, "-V,--servers", args->servers, "Number of servers", 0)->required();
  priority
      ->add_option("-a,--traffic", args->classes,
                   "Offered traffic of each class [erlang], highest priority first")
      ->check(RealNumber(0.0))
      ->required();
  AddOutputOptions(*priority, args->output);
  priority->callback([args] {
    const char* text = M_M_V_L_PRA_an(static_cast<std::int32_t>(args->classes.size()),
                                      args->servers, args->classes.data());
    const auto n = ParseResultText(text);
    Report report{"Priority loss system, V = " + std::to_string(args->servers) + " servers",
                  {}, text};
    for (std::size_t c = 0; c + 1 < n.size(); c += 2) {
      report.rows.push_back({{"class", "class", "", static_cast<double>(c / 2)},
                             {"traffic", "offered", "erlang", args->classes[c / 2]},
                             {"loss", "loss probability", "", n[c]},
                             {"carried", "carried", "erlang", n[c + 1]}});
    }
    Print(report, args->output);
  });

  auto* wait = app.add_subcommand("wait", "Erlang delay system M/M/V with an unlimited FIFO queue");
  AddCount(*wait, "-V,--servers", args->servers, "Number of servers", 1)->required();
  AddReal(*wait, "-A,--traffic", args->traffic, "Offered traffic [erlang], below V", 0.0)
      ->required();
  AddReal(*wait, "-t,--threshold", args->threshold,
          "Waiting-time threshold, in the unit of --holding-time", 0.0)
      ->required();
  AddReal(*wait, "--holding-time", args->holding, "Mean holding time (default 1)", 0.0, true);
  AddOutputOptions(*wait, args->output);
  wait->callback([args] {
    Print(WaitReport("Erlang delay system, V = " + std::to_string(args->servers) +
                         " servers, A = " + FormatNumber(args->traffic) + " erlangs, t = " +
                         FormatNumber(args->threshold),
                     M_M_V_W_FF_R_an(args->threshold, args->holding, args->servers,
                                     args->traffic),
                     "time units"),
          args->output);
  });
}

void DemoSingleService(std::ostream& out) {
  const double priority[3] = {2.0, 3.0, 4.0};
  out << "Single-service analytic models (result text as returned)\n";
  out << "  Erlang loss, 10 servers, 5 erlangs:       \"" << M_M_V_L_an(10, 5.0) << "\"\n";
  out << "  Engset loss, 10 sources x 0.2, 5 servers: \"" << Mi_M_V_L_an(10, 5, 0.2) << "\"\n";
  out << "  Assembled load 5.4 erl, 4 servers:        \"" << M_G_V_L_an(2.0, 3.0, 1.5, 4, 3) << "\"\n";
  out << "  Priorities 2, 3, 4 erl on 10 servers:     \"" << M_M_V_L_PRA_an(3, 10, priority) << "\"\n";
  out << "  Delay system, 30 servers, 20 erl, t = 60 s, h = 180 s:\n"
      << "     \"" << M_M_V_W_FF_R_an(60.0, 180.0, 30, 20.0) << "\"\n"
      << "     (P(wait), P(wait > t), mean wait [s], mean wait of waiting calls [s], queue)\n";
}

}  // namespace moravel_tool
