// Subcommands of the dimensioning questions: servers (the least servers for
// a loss target), traffic (the most traffic servers carry at a loss target,
// or agents answer at a service level), agents (call-centre staffing from
// the delay system) and links (the least links of a multi-rate group).
//
// The options check only that a number is a number of its type; the
// library judges the rest, and its refusal is shown in the tool's words by
// CheckDescribed.
#include <memory>
#include <string>
#include <vector>

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
  std::int32_t agents = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  Assembly assembly;
  bool direct = false;
  std::vector<TrafficClass> classes;
  double traffic = 0.0;
  double target = 0.0;
  double holding = 1.0;
  double answer_time = 0.0;
  double service_level = 0.0;
  double mean_wait = 0.0;
  double wait_probability = 0.0;
  CallVolume volume;
  OutputOptions output;
};

CLI::Option* AddTarget(CLI::App& command, double& target, const std::string& description) {
  return AddNumber(command, "--target", target, description)->type_name("PROBABILITY");
}

}  // namespace

void AddSolverCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<SolverArgs>();

  auto* servers = app.add_subcommand(
      "servers",
      "Least servers for a loss target: Erlang B (in direct form with --direct), Engset with "
      "--sources, or the assembled load of loss-assembled with -x -y -z -n");
  auto* traffic = AddTraffic(*servers, args->traffic);
  auto* sources = AddSources(*servers, args->sources);
  auto* per_source = AddTrafficPerSource(*servers, args->traffic);
  traffic->excludes(sources);
  traffic->excludes(per_source);
  sources->needs(per_source);
  per_source->needs(sources);
  // The assembled load of loss-assembled, A = (n / (1/x + 1/y)) (z/y + 1).
  const std::vector<CLI::Option*> assembly = AddAssembly(*servers, args->assembly);
  for (CLI::Option* part : assembly) {
    for (CLI::Option* other : assembly) {
      if (other != part) part->needs(other);
    }
    part->excludes(traffic)->excludes(sources)->excludes(per_source);
  }
  CLI::Option* x = assembly.front();
  auto* direct =
      servers->add_flag("--direct", args->direct, "Erlang B in direct form (as erlang-b-direct)");
  direct->needs(traffic)->excludes(sources)->excludes(x);
  AddTarget(*servers, args->target, "Loss probability to meet")->required();
  AddOutputOptions(*servers, args->output);
  Describe(commands, *servers,
           {"traffic", "sources", "traffic-per-source", "x", "y", "z", "multiplier", "target"},
           ResultShape::kFigures);
  OnRun(commands, *servers, [args, &answers, traffic, sources, x] {
    std::int32_t v = 0;
    double loss = 0.0;
    std::vector<Figure> inputs;
    std::string title;
    if (x->count() != 0) {
      const Assembly& load = args->assembly;
      CheckDescribed(moravel_loss_assembled_servers(load.x, load.y, load.z, load.multiplier,
                                                    args->target, &v, &loss),
                     "moravel_loss_assembled_servers");
      inputs = {{"x", "x", "", load.x},
                {"y", "y", "", load.y},
                {"z", "z", "", load.z},
                Count("multiplier", "multiplier", load.multiplier)};
      title = "Least servers for the load assembled from x = " + FormatNumber(load.x) +
              ", y = " + FormatNumber(load.y) + ", z = " + FormatNumber(load.z) +
              ", n = " + std::to_string(load.multiplier);
    } else if (sources->count() != 0) {
      CheckDescribed(moravel_engset_servers(args->sources, args->traffic, args->target, &v, &loss),
                     "moravel_engset_servers");
      inputs = {Count("sources", "sources", args->sources),
                {"traffic_per_source", "traffic per source", "erlang", args->traffic}};
      title = "Least servers for N = " + std::to_string(args->sources) +
              " sources of a = " + FormatNumber(args->traffic) + " erlangs";
    } else {
      if (traffic->count() == 0) {
        throw CLI::RequiredError("--traffic (or --sources, or -x -y -z -n)");
      }
      if (args->direct) {
        CheckDescribed(moravel_erlang_b_direct_servers(args->traffic, args->target, &v, &loss),
                       "moravel_erlang_b_direct_servers");
      } else {
        CheckDescribed(moravel_erlang_b_servers(args->traffic, args->target, &v, &loss),
                       "moravel_erlang_b_servers");
      }
      inputs = {{"traffic", "traffic", "erlang", args->traffic}};
      if (args->direct) inputs.push_back(Flag("direct", "direct form", true));
      title = std::string(args->direct ? "Least servers (direct form) for A = "
                                       : "Least servers for A = ") +
              FormatNumber(args->traffic) + " erlangs";
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
      "with --sources; or the most traffic --agents answer at a --service-level");
  auto* most_servers = AddServers(*most, args->servers);
  auto* most_sources = AddSources(*most, args->sources);
  auto* most_target = AddTarget(*most, args->target, "Loss probability to meet");
  // The call centre's question: the delay system's agents, and a share of
  // calls answered within a time.
  auto* most_agents =
      AddCount(*most, "--agents", args->agents,
               "Number of agents of a call centre (delay system), instead of --servers")
          ->type_name("COUNT");
  auto* most_holding =
      AddNumber(*most, "--holding-time", args->holding,
                "Mean handling time, with --agents: the unit of the answer time and the mean "
                "speed of answer")
          ->type_name("TIME");
  auto* most_answer = AddNumber(*most, "-t,--answer-time", args->answer_time,
                                "Answer time of the service level, in the unit of --holding-time")
                          ->type_name("TIME");
  auto* most_level = AddNumber(*most, "--service-level", args->service_level,
                               "Share of calls to answer within --answer-time")
                         ->type_name("PROBABILITY");
  for (CLI::Option* part : {most_holding, most_answer, most_level}) {
    most_agents->needs(part);
    part->needs(most_agents);
  }
  most_agents->excludes(most_servers)->excludes(most_sources)->excludes(most_target);
  AddOutputOptions(*most, args->output);
  Describe(
      commands, *most,
      {"servers", "sources", "target", "agents", "holding-time", "answer-time", "service-level"},
      ResultShape::kScalar);
  OnRun(commands, *most, [args, &answers, most_servers, most_sources, most_target, most_agents] {
    if (most_agents->count() != 0) {
      double a = 0.0;
      moravel_staffing s{};
      CheckDescribed(
          moravel_traffic_for_service_level(args->agents, args->holding, args->answer_time,
                                            args->service_level, &a, &s),
          "moravel_traffic_for_service_level");
      const std::string unit = TimeUnit(CallVolume{});
      answers.push_back(
          {{"Most traffic " + std::to_string(args->agents) + " agents answer at service level " +
                FormatNumber(args->service_level) + " or more, " +
                Times({{"holding time", args->holding}, {"answer time", args->answer_time}},
                      CallVolume{}),
            {Count("agents", "agents", args->agents),
             {"holding_time", "holding time", unit, args->holding},
             {"answer_time", "answer time", unit, args->answer_time},
             {"service_level_target", "service level target", "", args->service_level}},
            {{{"traffic", "traffic", "erlang", a},
              {"wait_probability", "probability of waiting", "", s.wait_probability},
              {"service_level", "service level, answered within t", "", s.service_level},
              {"mean_speed_of_answer", "mean speed of answer", unit, s.mean_speed_of_answer},
              {"occupancy", "occupancy", "", s.occupancy}}}},
           args->output});
      return;
    }
    if (most_servers->count() == 0) throw CLI::RequiredError("--servers (or --agents)");
    if (most_target->count() == 0) throw CLI::RequiredError("--target");
    double a = 0.0;
    std::vector<Figure> inputs{Count("servers", "servers", args->servers)};
    Row row;
    std::string title;
    if (most_sources->count() != 0) {
      CheckDescribed(moravel_engset_traffic(args->sources, args->servers, args->target, &a),
                     "moravel_engset_traffic");
      inputs.push_back(Count("sources", "sources", args->sources));
      row = {{"traffic_per_source", "traffic per source", "erlang", a}};
      title = "Most traffic per source of N = " + std::to_string(args->sources) +
              " sources on V = " + std::to_string(args->servers) + " servers";
    } else {
      CheckDescribed(moravel_erlang_b_traffic(args->servers, args->target, &a),
                     "moravel_erlang_b_traffic");
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
  AddNumber(*agents, "--holding-time", args->holding,
            "Mean handling time: the unit of the answer time, the mean wait and the mean "
            "speed of answer (seconds with --calls-per-interval)")
      ->type_name("TIME")
      ->required();
  auto* answer = AddNumber(*agents, "-t,--answer-time", args->answer_time,
                           "Answer time of the service level, in the unit of --holding-time")
                     ->type_name("TIME");
  AddCallVolume(*agents, args->volume, agents_traffic);
  auto* level = AddNumber(*agents, "--service-level", args->service_level,
                          "Share of calls to answer within --answer-time")
                    ->type_name("PROBABILITY");
  // "Answered within" needs its time: without it the level would silently
  // mean "answered at once".
  level->needs(answer);
  auto* mean = AddNumber(*agents, "--mean-wait", args->mean_wait,
                         "Mean speed of answer to meet, in the unit of --holding-time")
                   ->type_name("TIME");
  auto* waiting = AddNumber(*agents, "--wait-probability", args->wait_probability,
                            "Probability of waiting to meet")
                      ->type_name("PROBABILITY");
  level->excludes(mean)->excludes(waiting);
  mean->excludes(waiting);
  AddOutputOptions(*agents, args->output);
  Describe(commands, *agents,
           {"traffic", "holding-time", "answer-time", "calls-per-interval", "interval-minutes",
            "service-level", "mean-wait", "wait-probability"},
           ResultShape::kFigures);
  OnRun(commands, *agents, [args, &answers, agents_traffic, level, mean, waiting] {
    const double a = TrafficOf(args->volume, *agents_traffic, args->traffic, args->holding);
    moravel_staffing s{};
    Figure goal;
    if (level->count() != 0) {
      CheckDescribed(moravel_agents_for_service_level(a, args->holding, args->answer_time,
                                                      args->service_level, &s),
                     "moravel_agents_for_service_level", {VolumeSpelling(args->volume)});
      goal = {"service_level_target", "service level target", "", args->service_level};
    } else if (mean->count() != 0) {
      CheckDescribed(
          moravel_agents_for_mean_wait(a, args->holding, args->answer_time, args->mean_wait, &s),
          "moravel_agents_for_mean_wait", {VolumeSpelling(args->volume)});
      goal = {"mean_wait_target", "mean wait target", TimeUnit(args->volume), args->mean_wait};
    } else if (waiting->count() != 0) {
      CheckDescribed(moravel_agents_for_wait_probability(a, args->holding, args->answer_time,
                                                         args->wait_probability, &s),
                     "moravel_agents_for_wait_probability", {VolumeSpelling(args->volume)});
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

  auto* links = app.add_subcommand(
      "links",
      "Least links of f units for every class's blocking to meet a target: link-group, or "
      "link-subset with --subset");
  AddCount(*links, "-f,--units", args->units, "Allocation units per link")
      ->type_name("COUNT")
      ->required();
  auto* links_subset =
      AddCount(*links, "-g,--subset", args->subset,
               "Links each call is offered to (link-subset); the links found are at least as many")
          ->type_name("COUNT");
  AddClasses(*links, args->classes);
  AddTarget(*links, args->target, "Blocking probability every class is to meet")->required();
  AddOutputOptions(*links, args->output);
  Describe(commands, *links, {"units", "subset", "target"}, ResultShape::kPerClass);
  OnRun(commands, *links, [args, &answers, links_subset] {
    std::vector<double> traffic;
    std::vector<double> demand;
    SplitClasses(args->classes, traffic, demand);
    std::vector<double> blocking(args->classes.size());
    const auto classes = static_cast<std::int32_t>(args->classes.size());
    std::int32_t k = 0;
    std::vector<Figure> inputs{Count("units", "units per link", args->units, "units")};
    std::string title = "Least links of f = " + std::to_string(args->units) + " units";
    if (links_subset->count() != 0) {
      CheckDescribed(moravel_link_subset_links(traffic.data(), classes, demand.data(), args->units,
                                               args->subset, args->target, &k, blocking.data()),
                     "moravel_link_subset_links");
      inputs.push_back(Count("subset", "subset", args->subset, "links"));
      title += ", each call offered to g = " + std::to_string(args->subset) + ",";
    } else {
      CheckDescribed(moravel_link_group_links(traffic.data(), classes, demand.data(), args->units,
                                              args->target, &k, blocking.data()),
                     "moravel_link_group_links");
    }
    inputs.push_back({"target", "target", "", args->target});
    Report report{
        title + " for every class's blocking to be " + FormatNumber(args->target) + " or less",
        std::move(inputs),
        {}};
    report.identifiers = 3;
    for (std::size_t c = 0; c < args->classes.size(); ++c) {
      report.rows.push_back({Count("class", "class", static_cast<double>(c)),
                             {"traffic", "offered", "erlang", args->classes[c].traffic},
                             Count("demand", "demand", args->classes[c].demand, "units"),
                             Count("links", "links", k),
                             {"blocking", "blocking", "", blocking[c]}});
    }
    answers.push_back({std::move(report), args->output});
  });
}

}  // namespace moravel_tool
