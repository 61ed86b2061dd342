// Subcommands of the dimensioning questions: servers (the least servers for
// a loss target), traffic (the most traffic servers carry at a loss target,
// or agents answer at a service level), agents (call-centre staffing from
// the delay system) and links (the least links of a multi-rate group).
//
// The options the solvers added last check only that a number is a number
// of its type; the library judges the rest, and its refusal is shown in the
// tool's words by CheckDescribed.
#include <limits>
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
  std::int32_t multiplier = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  double x = 0.0, y = 0.0, z = 0.0;
  bool direct = false;
  std::vector<TrafficClass> classes;
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

constexpr double kAnyReal = -std::numeric_limits<double>::infinity();
constexpr std::int64_t kAnyCount = std::numeric_limits<std::int32_t>::min();

// An assembly time of the assembled load, a finite number: the library
// judges its range.
CLI::Option* AddAssemblyTime(CLI::App& command, const std::string& name, double& time,
                             const std::string& description) {
  return AddReal(command, name, time, description, kAnyReal)->type_name("TIME");
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
  auto* x = AddAssemblyTime(*servers, "-x", args->x,
                            "Time x of the assembled load (as loss-assembled), above 0, in the "
                            "unit of y; with -y, -z and -n instead of --traffic");
  auto* y = AddAssemblyTime(*servers, "-y", args->y,
                            "Time y of the assembled load, above 0: the unit of x and z");
  auto* z = AddAssemblyTime(*servers, "-z", args->z,
                            "Time z of the assembled load, at least 0, in the unit of y");
  auto* n = AddCount(*servers, "-n,--multiplier", args->multiplier,
                     "Whole-number multiplier n of the assembled load, at least 0", kAnyCount)
                ->type_name("COUNT");
  for (CLI::Option* part : {x, y, z, n}) {
    for (CLI::Option* other : {x, y, z, n}) {
      if (other != part) part->needs(other);
    }
    part->excludes(traffic)->excludes(sources)->excludes(per_source);
  }
  auto* direct = servers->add_flag("--direct", args->direct,
                                   "Erlang B in direct form (as erlang-b-direct): servers up "
                                   "to 170 only");
  direct->needs(traffic)->excludes(sources)->excludes(x);
  AddTarget(*servers, args->target, "Loss probability to meet, above 0 and below 1")->required();
  AddOutputOptions(*servers, args->output);
  Describe(commands, *servers,
           {"traffic", "sources", "traffic-per-source", "x", "y", "z", "multiplier", "target"},
           ResultShape::kFigures);
  OnRun(commands, *servers, [args, &answers, sources, x] {
    std::int32_t v = 0;
    double loss = 0.0;
    std::vector<Figure> inputs;
    std::string title;
    if (x->count() != 0) {
      CheckDescribed(moravel_loss_assembled_servers(args->x, args->y, args->z, args->multiplier,
                                                    args->target, &v, &loss),
                     "moravel_loss_assembled_servers");
      inputs = {{"x", "x", "", args->x},
                {"y", "y", "", args->y},
                {"z", "z", "", args->z},
                Count("multiplier", "multiplier", args->multiplier)};
      title = "Least servers for the load assembled from x = " + FormatNumber(args->x) +
              ", y = " + FormatNumber(args->y) + ", z = " + FormatNumber(args->z) +
              ", n = " + std::to_string(args->multiplier);
    } else if (sources->count() != 0) {
      Check(moravel_engset_servers(args->sources, args->traffic, args->target, &v, &loss),
            {kTarget, kUnreachable, kTrafficPerSourceBelowOne});
      inputs = {Count("sources", "sources", args->sources),
                {"traffic_per_source", "traffic per source", "erlang", args->traffic}};
      title = "Least servers for N = " + std::to_string(args->sources) +
              " sources of a = " + FormatNumber(args->traffic) + " erlangs";
    } else {
      if (args->traffic < 0.0) {
        throw CLI::RequiredError("--traffic (or --sources, or -x -y -z -n)");
      }
      if (args->direct) {
        CheckDescribed(moravel_erlang_b_direct_servers(args->traffic, args->target, &v, &loss),
                       "moravel_erlang_b_direct_servers");
      } else {
        Check(moravel_erlang_b_servers(args->traffic, args->target, &v, &loss),
              {kTarget, kUnreachable});
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
  auto* most_target =
      AddTarget(*most, args->target, "Loss probability to meet, above 0 and below 1");
  // The call centre's question: the delay system's agents, and a share of
  // calls answered within a time.
  auto* most_agents =
      AddCount(*most, "--agents", args->agents,
               "Number of agents of a call centre (delay system), instead of --servers", kAnyCount)
          ->type_name("COUNT");
  auto* most_holding =
      AddReal(*most, "--holding-time", args->holding,
              "Mean handling time, above 0, with --agents: the unit of the answer time and the "
              "mean speed of answer",
              kAnyReal)
          ->type_name("TIME");
  auto* most_answer = AddReal(*most, "-t,--answer-time", args->answer_time,
                              "Answer time of the service level, at least 0, in the unit of "
                              "--holding-time",
                              kAnyReal)
                          ->type_name("TIME");
  auto* most_level =
      AddReal(*most, "--service-level", args->service_level,
              "Share of calls to answer within --answer-time, above 0 and below 1", kAnyReal)
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
  OnRun(commands, *most, [args, &answers, most_sources, most_agents] {
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
    if (args->servers == 0) throw CLI::RequiredError("--servers (or --agents)");
    if (args->target == 0.0) throw CLI::RequiredError("--target");
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
                         "Answer time of the service level, in the unit of --holding-time", 0.0)
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

  auto* links = app.add_subcommand(
      "links",
      "Least links of f units for every class's blocking to meet a target: link-group, or "
      "link-subset with --subset");
  AddCount(*links, "-f,--units", args->units, "Allocation units per link", kAnyCount)
      ->type_name("COUNT")
      ->required();
  auto* links_subset =
      AddCount(*links, "-g,--subset", args->subset,
               "Links each call is offered to, at least 1 (link-subset); the links found are at "
               "least as many",
               kAnyCount)
          ->type_name("COUNT");
  AddClasses(*links, args->classes);
  AddReal(*links, "--target", args->target,
          "Blocking probability every class is to meet, above 0 and below 1", kAnyReal)
      ->type_name("PROBABILITY")
      ->required();
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
