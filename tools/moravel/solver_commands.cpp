// Subcommands of the dimensioning questions: servers (the least servers for
// a loss target), traffic (the most traffic servers carry at a loss target)
// and agents (call-centre staffing from the delay system).
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct SolverArgs {
  std::int32_t servers = 0;
  std::int32_t sources = 0;
  double traffic = -1.0;  // below 0: not given
  double target = 0.0;
  double holding = 1.0;
  double answer_time = 0.0;
  double service_level = -1.0;
  double mean_wait = -1.0;
  double wait_probability = -1.0;
  CallVolume volume;
  OutputOptions output;
};

const Refusal kTarget{MORAVEL_ERROR_TARGET, "--target", "accepts a loss above 0 and below 1"};
const Refusal kUnreachable{MORAVEL_ERROR_UNREACHABLE, "--target",
                           "is out of reach: no size below 2147483647 meets it"};

CLI::Option* AddTarget(CLI::App& command, double& target, const std::string& description) {
  return AddReal(command, "--target", target, description, 0.0, true)->type_name("PROBABILITY");
}

}  // namespace

void AddSolverCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<SolverArgs>();

  auto* servers = app.add_subcommand(
      "servers", "Least servers for a loss target: Erlang B, or Engset with --sources");
  auto* traffic = AddTraffic(*servers, args->traffic);
  auto* sources = AddSources(*servers, args->sources);
  auto* per_source = AddTrafficPerSource(*servers, args->traffic);
  traffic->excludes(sources);
  traffic->excludes(per_source);
  sources->needs(per_source);
  per_source->needs(sources);
  AddTarget(*servers, args->target, "Loss probability to meet, above 0 and below 1")->required();
  AddOutputOptions(*servers, args->output);
  Describe(commands, *servers, {"traffic", "sources", "traffic-per-source", "target"}, ResultShape::kFigures);
  OnRun(commands, *servers, [args, &answers, sources] {
    std::int32_t v = 0;
    double loss = 0.0;
    std::vector<Figure> inputs;
    std::string title;
    if (sources->count() != 0) {
      Check(moravel_engset_servers(args->sources, args->traffic, args->target, &v, &loss),
            {kTarget, kUnreachable, kTrafficPerSourceBelowOne});
      inputs = {Count("sources", "sources", args->sources),
                {"traffic_per_source", "traffic per source", "erlang", args->traffic}};
      title = "Least servers for N = " + std::to_string(args->sources) +
              " sources of a = " + FormatNumber(args->traffic) + " erlangs";
    } else {
      if (args->traffic < 0.0) throw CLI::RequiredError("--traffic (or --sources)");
      Check(moravel_erlang_b_servers(args->traffic, args->target, &v, &loss),
            {kTarget, kUnreachable});
      inputs = {{"traffic", "traffic", "erlang", args->traffic}};
      title = "Least servers for A = " + FormatNumber(args->traffic) + " erlangs";
    }
    inputs.push_back({"target", "target", "", args->target});
    answers.push_back({{title + " at loss " + FormatNumber(args->target) + " or less",
                        std::move(inputs),
                        {{Count("servers", "servers", v), {"loss", "loss probability", "", loss}}}},
                       args->output});
  });

  auto* most = app.add_subcommand(
      "traffic",
      "Most traffic V servers carry at a loss target: Erlang B, or Engset per source "
      "with --sources");
  AddServers(*most, args->servers)->required();
  auto* most_sources = AddSources(*most, args->sources);
  AddTarget(*most, args->target, "Loss probability to meet, above 0 and below 1")->required();
  AddOutputOptions(*most, args->output);
  Describe(commands, *most, {"servers", "sources", "target"}, ResultShape::kScalar);
  OnRun(commands, *most, [args, &answers, most_sources] {
    double a = 0.0;
    std::vector<Figure> inputs{Count("servers", "servers", args->servers)};
    Row row;
    std::string title;
    if (most_sources->count() != 0) {
      Check(moravel_engset_traffic(args->sources, args->servers, args->target, &a),
            {kTarget,
             {MORAVEL_ERROR_EVERY_TRAFFIC_MEETS, "--target",
              "is met by every traffic per source below 1"},
             {MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES, "--servers",
              "accepts fewer servers than --sources: otherwise no call is ever lost"}});
      inputs.push_back(Count("sources", "sources", args->sources));
      row = {{"traffic_per_source", "traffic per source", "erlang", a}};
      title = "Most traffic per source of N = " + std::to_string(args->sources) +
              " sources on V = " + std::to_string(args->servers) + " servers";
    } else {
      Check(moravel_erlang_b_traffic(args->servers, args->target, &a), {kTarget});
      row = {{"traffic", "traffic", "erlang", a}};
      title = "Most traffic on V = " + std::to_string(args->servers) + " servers";
    }
    inputs.push_back({"target", "target", "", args->target});
    answers.push_back({{title + " at loss " + FormatNumber(args->target) + " or less",
                        std::move(inputs),
                        {std::move(row)}},
                       args->output});
  });

  auto* agents =
      app.add_subcommand("agents",
                         "Least agents of a call centre (delay system) for a service level, a mean "
                         "speed of answer or a probability of waiting");
  auto* agents_traffic = AddTraffic(*agents, args->traffic);
  // No default holding time: every time of a call centre is measured against it.
  AddReal(*agents, "--holding-time", args->holding,
          "Mean handling time, above 0: the unit of the answer time, the mean wait and the mean "
          "speed of answer (seconds with --calls-per-interval)",
          0.0, true)
      ->type_name("TIME")
      ->required();
  auto* answer = AddReal(*agents, "-t,--answer-time", args->answer_time,
                         "Answer time of the service level, in the unit of --holding-time",
                         0.0)
                     ->type_name("TIME");
  AddCallVolume(*agents, args->volume, agents_traffic);
  auto* level =
      AddReal(*agents, "--service-level", args->service_level,
              "Share of calls to answer within --answer-time, above 0 and below 1", 0.0, true)
          ->type_name("PROBABILITY");
  // "Answered within" needs its time: without it the level would silently
  // mean "answered at once".
  level->needs(answer);
  auto* mean =
      AddReal(*agents, "--mean-wait", args->mean_wait,
              "Mean speed of answer to meet, above 0, in the unit of --holding-time", 0.0, true)
          ->type_name("TIME");
  auto* waiting = AddReal(*agents, "--wait-probability", args->wait_probability,
                          "Probability of waiting to meet, above 0 and below 1", 0.0, true)
                      ->type_name("PROBABILITY");
  level->excludes(mean)->excludes(waiting);
  mean->excludes(waiting);
  AddOutputOptions(*agents, args->output);
  Describe(commands, *agents,
           {"traffic", "holding-time", "answer-time", "calls-per-interval", "interval-minutes",
            "service-level", "mean-wait", "wait-probability"},
           ResultShape::kFigures);
  OnRun(commands, *agents, [args, &answers, level, mean, waiting] {
    const double a = TrafficOf(args->volume, args->traffic, args->holding);
    moravel_staffing s{};
    const Refusal overflow{MORAVEL_ERROR_OVERFLOW, "--holding-time",
                           "accepts a holding time for which the waits stay within the doubles"};
    Figure goal;
    if (level->count() != 0) {
      Check(moravel_agents_for_service_level(a, args->holding, args->answer_time,
                                             args->service_level, &s),
            {{MORAVEL_ERROR_TARGET, "--service-level", "accepts a share above 0 and below 1"},
             kUnreachable,
             overflow});
      goal = {"service_level_target", "service level target", "", args->service_level};
    } else if (mean->count() != 0) {
      Check(moravel_agents_for_mean_wait(a, args->holding, args->answer_time, args->mean_wait, &s),
            {kUnreachable, overflow});
      goal = {"mean_wait_target", "mean wait target", TimeUnit(args->volume), args->mean_wait};
    } else if (waiting->count() != 0) {
      Check(moravel_agents_for_wait_probability(a, args->holding, args->answer_time,
                                                args->wait_probability, &s),
            {{MORAVEL_ERROR_TARGET, "--wait-probability",
              "accepts a probability above 0 and below 1"},
             kUnreachable,
             overflow});
      goal = {"wait_probability_target", "wait probability target", "", args->wait_probability};
    } else {
      throw CLI::RequiredError("--service-level, --mean-wait or --wait-probability");
    }
    const std::string unit = TimeUnit(args->volume);
    std::vector<Figure> inputs{{"traffic", "traffic", "erlang", a},
                               {"holding_time", "holding time", unit, args->holding},
                               {"answer_time", "answer time", unit, args->answer_time},
                               goal};
    if (args->volume.given()) {
      inputs.push_back({"calls_per_interval", "calls per interval", "", args->volume.calls});
      inputs.push_back({"interval_minutes", "interval", "minutes", args->volume.minutes});
    }
    answers.push_back(
        {{"Least agents for A = " + FormatNumber(a) + " erlangs, " +
              Times({{"holding time", args->holding}, {"answer time", args->answer_time}},
                    args->volume),
          std::move(inputs),
          {{Count("agents", "agents", s.agents),
            {"wait_probability", "probability of waiting", "", s.wait_probability},
            {"service_level", "service level, answered within t", "", s.service_level},
            {"mean_speed_of_answer", "mean speed of answer", unit, s.mean_speed_of_answer},
            {"occupancy", "occupancy", "", s.occupancy}}}},
         args->output});
  });
}

}  // namespace moravel_tool
