// Subcommands of the single-service analytic models: loss-assembled,
// loss-priority, wait.  loss and loss-finite are described commands (see
// described_command.h).
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct SingleServiceArgs {
  std::int32_t servers = 0;
  double traffic = 0.0;
  Assembly assembly;
  double threshold = 0.0;
  double holding = 1.0;
  CallVolume volume;
  std::vector<double> classes;
  OutputOptions output;
};

}  // namespace

Report LossReport(std::string title, std::vector<Figure> inputs,
                  const moravel_loss_result& result) {
  return {std::move(title),
          std::move(inputs),
          {{{"loss", "loss probability", "", result.loss},
            {"carried", "carried traffic", "erlang", result.carried}}}};
}

Row WaitRow(const moravel_wait_result& r, const std::string& time_unit) {
  return {{"wait_probability", "probability of waiting", "", r.wait_probability},
          {"wait_exceeds", "probability the wait exceeds t", "", r.wait_exceeds},
          {"mean_wait", "mean wait, all calls", time_unit, r.mean_wait},
          {"mean_wait_of_waiting", "mean wait, waiting calls", time_unit, r.mean_wait_of_waiting},
          {"queue_length", "mean queue length", "calls", r.queue_length}};
}

void AddSingleServiceCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<SingleServiceArgs>();

  auto* assembled = app.add_subcommand(
      "loss-assembled",
      "Erlang loss system on the load A = (n / (1/x + 1/y)) (z/y + 1), assembled from three "
      "times and a multiplier");
  for (CLI::Option* part : AddAssembly(*assembled, args->assembly)) part->required();
  AddServers(*assembled, args->servers)->required();
  AddOutputOptions(*assembled, args->output);
  Describe(commands, *assembled, {"x", "y", "z", "servers", "multiplier"}, ResultShape::kFigures);
  OnRun(commands, *assembled, [args, &answers] {
    moravel_loss_result result{};
    const Assembly& load = args->assembly;
    CheckDescribed(
        moravel_loss_assembled(load.x, load.y, load.z, args->servers, load.multiplier, &result),
        "moravel_loss_assembled");
    answers.push_back({LossReport("Erlang loss system on an assembled load, V = " +
                                      std::to_string(args->servers) + " servers",
                                  {{"x", "x", "", load.x},
                                   {"y", "y", "", load.y},
                                   {"z", "z", "", load.z},
                                   Count("servers", "servers", args->servers),
                                   Count("multiplier", "multiplier", load.multiplier)},
                                  result),
                       args->output});
  });

  auto* priority =
      app.add_subcommand("loss-priority", "Loss system shared by classes of falling priority");
  AddServers(*priority, args->servers)->required();
  priority
      ->add_option("-a,--traffic", args->classes,
                   "Offered traffic of each class [erlang], highest priority first")
      ->check(Number())
      ->type_name("ERLANGS ...")
      ->required();
  AddOutputOptions(*priority, args->output);
  Describe(commands, *priority, {"servers", "traffic"}, ResultShape::kPerClass);
  OnRun(commands, *priority, [args, &answers] {
    const auto classes = static_cast<std::int32_t>(args->classes.size());
    std::vector<double> loss(args->classes.size()), carried(args->classes.size());
    CheckDescribed(moravel_loss_priority(classes, args->servers, args->classes.data(), loss.data(),
                                         carried.data()),
                   "moravel_loss_priority");
    Report report{"Priority loss system, V = " + std::to_string(args->servers) + " servers",
                  {Count("servers", "servers", args->servers)},
                  {}};
    report.identifiers = 2;
    for (std::size_t c = 0; c < loss.size(); ++c) {
      report.rows.push_back({Count("class", "class", static_cast<double>(c)),
                             {"traffic", "offered", "erlang", args->classes[c]},
                             {"loss", "loss probability", "", loss[c]},
                             {"carried", "carried", "erlang", carried[c]}});
    }
    answers.push_back({std::move(report), args->output});
  });

  auto* wait = app.add_subcommand(
      "wait", "Erlang delay system M/M/V with an unlimited FIFO queue, and a planner's figures");
  AddServers(*wait, args->servers)->required();
  auto* traffic = AddTraffic(*wait, args->traffic);
  AddNumber(*wait, "-t,--threshold", args->threshold,
            "Waiting-time threshold (answer time), in the unit of --holding-time (seconds with "
            "--calls-per-interval)")
      ->type_name("TIME")
      ->required();
  // No default: a threshold means nothing until one says what it is measured against.
  AddNumber(*wait, "--holding-time", args->holding,
            "Mean holding (handling) time: the unit of -t and of the waits (seconds "
            "with --calls-per-interval)")
      ->type_name("TIME")
      ->required();
  AddCallVolume(*wait, args->volume, traffic);
  AddOutputOptions(*wait, args->output);
  Describe(
      commands, *wait,
      {"servers", "traffic", "threshold", "holding-time", "calls-per-interval", "interval-minutes"},
      ResultShape::kFigures);
  OnRun(commands, *wait, [args, &answers, traffic] {
    const double offered = TrafficOf(args->volume, *traffic, args->traffic, args->holding);
    moravel_wait_result result{};
    CheckDescribed(moravel_wait(args->threshold, args->holding, args->servers, offered, &result),
                   "moravel_wait", {VolumeSpelling(args->volume)});
    moravel_staffing staffing{};
    CheckDescribed(
        moravel_staffing_figures(args->servers, offered, args->holding, args->threshold, &staffing),
        "moravel_staffing_figures", {VolumeSpelling(args->volume)});
    const std::string unit = TimeUnit(args->volume);
    Row row = WaitRow(result, unit);
    row.push_back(
        {"service_level", "service level, answered within t", "", staffing.service_level});
    row.push_back(
        {"mean_speed_of_answer", "mean speed of answer", unit, staffing.mean_speed_of_answer});
    row.push_back({"occupancy", "occupancy", "", staffing.occupancy});
    std::vector<Figure> inputs{Count("servers", "servers", args->servers),
                               {"traffic", "traffic", "erlang", offered},
                               {"threshold", "threshold", unit, args->threshold},
                               {"holding_time", "holding time", unit, args->holding}};
    if (args->volume.given()) {
      inputs.push_back({"calls_per_interval", "calls per interval", "", args->volume.calls});
      inputs.push_back({"interval_minutes", "interval", "minutes", args->volume.minutes});
    }
    answers.push_back(
        {{"Erlang delay system, V = " + std::to_string(args->servers) +
              " servers, A = " + FormatNumber(offered) + " erlangs, " +
              Times({{"t", args->threshold}, {"holding time", args->holding}}, args->volume),
          std::move(inputs),
          {std::move(row)}},
         args->output});
  });
}

void DemoSingleService(std::ostream& out) {
  const double priority[3] = {2.0, 3.0, 4.0};
  moravel_loss_result loss{}, finite{}, assembled{};
  moravel_loss(10, 5.0, &loss);
  moravel_loss_finite_sources(10, 5, 0.2, &finite);
  moravel_loss_assembled(2.0, 3.0, 1.5, 4, 3, &assembled);
  double ploss[3], pcarried[3];
  moravel_loss_priority(3, 10, priority, ploss, pcarried);
  moravel_wait_result w{};
  moravel_wait(60.0, 180.0, 30, 20.0, &w);
  auto loss_figures = [](const moravel_loss_result& r) {
    return Figures({{"loss", r.loss}, {"carried", r.carried, "erl"}});
  };
  out << "Single-service analytic models\n";
  out << "  Erlang loss, 10 servers, 5 erlangs:       " << loss_figures(loss) << '\n';
  out << "  Engset loss, 10 sources x 0.2, 5 servers: " << loss_figures(finite) << '\n';
  out << "  Assembled load 5.4 erl, 4 servers:        " << loss_figures(assembled) << '\n';
  out << "  Priorities 2, 3, 4 erl on 10 servers:\n";
  for (int c = 0; c < 3; ++c) {
    out << "     class " << c << " (" << FormatNumber(priority[c])
        << " erl): " << Figures({{"loss", ploss[c]}, {"carried", pcarried[c], "erl"}}) << '\n';
  }
  out << "  Delay system, 30 servers, 20 erl, t = 60 s, holding time 180 s:\n"
      << "     " << Figures({{"P(wait)", w.wait_probability}, {"P(wait > t)", w.wait_exceeds}})
      << '\n'
      << "     "
      << Figures({{"mean wait", w.mean_wait, "s"},
                  {"of waiting calls", w.mean_wait_of_waiting, "s"},
                  {"queue", w.queue_length, "calls"}})
      << '\n';
}

}  // namespace moravel_tool
