// Subcommands of the contact-centre models: contact-centre (impatient
// callers, lines, and with the redial options the retrial fixed point) and
// simulate-contact-centre (the call-by-call replay).  The options check only
// that a value is a number or a 32-bit count: the library judges the rest,
// and its refusals reach the user through the interface description, naming
// the option as typed here.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "description.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

CLI::Option* AddTime(CLI::App& command, const std::string& name, double& value,
                     const std::string& description) {
  return AddNumber(command, name, value, description)->type_name("TIME");
}

CLI::Option* AddWholeNumber(CLI::App& command, const std::string& name, std::int32_t& value,
                            const std::string& description) {
  return AddCount(command, name, value, description)->type_name("COUNT");
}

struct CentreArgs {
  double traffic = 0.0;
  double handling = 0.0;
  double patience = 0.0;
  std::int32_t agents = 0;
  std::int32_t lines = MORAVEL_NO_LINE_LIMIT;
  double answer_time = 0.0;
  double blocked_share = 0.0;
  double abandoned_share = 0.0;
  double redial = 0.0;
  CallVolume volume;
  OutputOptions output;
  CLI::Option* traffic_option = nullptr;
  CLI::Option* redial_option = nullptr;
};

// The options of a centre's queue, shared by the model, its simulation and
// the staffing questions.
void AddQueueOptions(CLI::App& command, double& handling, double& patience, std::int32_t& lines,
                     double& answer_time) {
  AddTime(command, "--handling-time", handling,
          "Mean handling time: the unit of the other times and of the waits (seconds with "
          "--calls-per-interval)")
      ->required();
  AddTime(command, "--patience", patience,
          "Mean patience (exponential), in the unit of --handling-time; inf for callers who "
          "never hang up")
      ->required();
  AddWholeNumber(command, "--lines", lines,
                 "Lines: calls in the centre at most, talking and waiting; 0, the default, for "
                 "no limit");
  AddTime(command, "-t,--answer-time", answer_time,
          "Answer time of the service levels, in the unit of --handling-time")
      ->required();
}

// The options of a centre, shared by the model and its simulation.
void AddCentreOptions(CLI::App& command, CentreArgs& args) {
  args.traffic_option =
      command.add_option("-A,--traffic", args.traffic, "Offered traffic [erlang]")
          ->check(Number())
          ->type_name("ERLANGS");
  AddWholeNumber(command, "-V,--agents", args.agents, "Number of agents")->required();
  AddQueueOptions(command, args.handling, args.patience, args.lines, args.answer_time);
  auto* blocked = AddTime(command, "--blocked-retry-share", args.blocked_share,
                          "Share of blocked calls that redial, 0 to 1 (default 0)")
                      ->type_name("SHARE");
  auto* abandoned = AddTime(command, "--abandoned-retry-share", args.abandoned_share,
                            "Share of abandoned calls that redial, 0 to 1 (default 0)")
                        ->type_name("SHARE");
  args.redial_option = AddTime(command, "--redial-time", args.redial,
                               "Mean time before a redial, in the unit of --handling-time");
  blocked->needs(args.redial_option);
  abandoned->needs(args.redial_option);
  AddCallVolume(command, args.volume, args.traffic_option);
}

// The offered traffic: --traffic, or the call volume's, as the library
// reckons it.
double Traffic(const CentreArgs& args) {
  if (args.volume.given()) {
    return VolumeTraffic(args.volume, args.handling, "--handling-time");
  }
  if (args.traffic_option->count() == 0) {
    throw CLI::RequiredError("--traffic (or --calls-per-interval)");
  }
  return args.traffic;
}

std::vector<Figure> CentreInputs(const CentreArgs& args, double traffic, const std::string& unit) {
  std::vector<Figure> inputs{{"traffic", "traffic", "erlang", traffic},
                             {"handling_time", "handling time", unit, args.handling},
                             {"patience", "patience", unit, args.patience},
                             Count("agents", "agents", args.agents),
                             Count("lines", "lines", args.lines),
                             {"answer_time", "answer time", unit, args.answer_time}};
  if (args.redial_option->count() > 0) {
    inputs.push_back({"blocked_retry_share", "blocked calls redialling", "", args.blocked_share});
    inputs.push_back(
        {"abandoned_retry_share", "abandoned calls redialling", "", args.abandoned_share});
    inputs.push_back({"redial_time", "redial time", unit, args.redial});
  }
  if (args.volume.given()) {
    inputs.push_back({"calls_per_interval", "calls per interval", "", args.volume.calls});
    inputs.push_back({"interval_minutes", "interval", "minutes", args.volume.minutes});
  }
  return inputs;
}

std::string Title(const std::string& what, const CentreArgs& args, double traffic) {
  std::string title = what + ", V = " + std::to_string(args.agents) +
                      " agents, A = " + FormatNumber(traffic) + " erlangs, ";
  if (args.lines != MORAVEL_NO_LINE_LIMIT) title += std::to_string(args.lines) + " lines, ";
  std::vector<std::pair<std::string, double>> times{{"t", args.answer_time},
                                                    {"patience", args.patience}};
  if (args.redial_option->count() > 0) times.push_back({"redial time", args.redial});
  times.push_back({"handling time", args.handling});
  return title + Times(times, args.volume);
}

// The eleven figures, their names prefixed by `prefix` and labels by `label`.
Row CentreRow(const moravel_contact_centre_result& r, const std::string& unit,
              const std::string& prefix = {}, const std::string& label = {}) {
  Row row{{"wait_probability", "probability of waiting", "", r.wait_probability},
          {"blocked_probability", "probability of a busy tone", "", r.blocked_probability},
          {"abandon_probability", "probability of abandoning", "", r.abandon_probability},
          {"abandon_within_answer_time", "abandoning within t", "", r.abandon_within_answer_time},
          {"service_level", "service level, answered within t of all offered", "", r.service_level},
          {"service_level_excluding_short_abandons",
           "service level, of offered less abandoned within t", "",
           r.service_level_excluding_short_abandons},
          {"mean_answer_wait", "mean wait of answered calls (ASA)", unit, r.mean_answer_wait},
          {"mean_wait", "mean wait, all calls", unit, r.mean_wait},
          {"queue_length", "mean queue length", "calls", r.queue_length},
          {"occupancy", "occupancy", "", r.occupancy},
          {"carried", "carried traffic", "erlang", r.carried}};
  for (Figure& f : row) {
    f.name = prefix + f.name;
    f.label = label + f.label;
  }
  return row;
}

// What a caller meets in the end after redialling, and the traffic of the
// redials, shared by the retrial model and the simulation.
template <typename Figures>
Row CallerRow(const Figures& r) {
  return {{"offered_total", "offered traffic with redials", "erlang", r.offered_total},
          {"retry_traffic", "traffic of redials", "erlang", r.retry_traffic},
          {"attempts_per_caller", "attempts per caller", "", r.attempts_per_caller},
          {"answered_share", "callers answered in the end", "", r.answered_share},
          {"blocked_share", "callers giving up after a busy tone", "", r.blocked_share},
          {"abandoned_share", "callers giving up after hanging up", "", r.abandoned_share},
          {"redialling", "callers waiting to redial", "callers", r.redialling}};
}

void Append(Row& row, Row more) {
  for (Figure& f : more) row.push_back(std::move(f));
}

// A refusal of the replay: its centre's fields are the model's arguments,
// named by the model's options.
void CheckReplay(moravel_status status, const char* c_name) {
  if (status != MORAVEL_OK && !RefusalOf(c_name, status) &&
      RefusalOf("moravel_contact_centre_retrials", status)) {
    CheckDescribed(status, "moravel_contact_centre_retrials");
  }
  CheckDescribed(status, c_name);
}

struct SimulationArgs {
  CentreArgs centre;
  std::string distribution = "exponential";
  std::int32_t phases = 1;
  std::int32_t calls = 0;
  std::int32_t warmup = 0;
  std::int64_t seed = 0;
  std::int32_t replications = 1;
};

// The replay's figures with its times (in mean handling times) back in the
// unit of the handling time.
Row EstimateRow(const moravel_contact_centre_estimate& e, double h, const std::string& unit,
                bool redials) {
  moravel_contact_centre_result attempt = e.attempt, first = e.first_attempt;
  for (auto* r : {&attempt, &first}) {
    r->mean_answer_wait *= h;
    r->mean_wait *= h;
  }
  // Laid out as the model the run replays, so that `compare` finds each of
  // the model's figures under its own name: without redials the attempts'
  // figures first and unprefixed, as contact-centre writes them.
  Row row;
  if (redials) {
    row = CallerRow(e);
    Append(row, CentreRow(attempt, unit, "attempt_", "per attempt: "));
  } else {
    row = CentreRow(attempt, unit);
    Append(row, CallerRow(e));
  }
  Append(row, CentreRow(first, unit, "first_attempt_", "first attempts: "));
  return row;
}

// Each figure of R replications: its mean, standard error and 95% interval,
// by the library's study core.
std::vector<Row> EstimateRows(const std::vector<Row>& runs) {
  std::vector<Row> rows;
  for (std::size_t f = 0; f < runs[0].size(); ++f) {
    std::vector<double> values;
    for (const Row& run : runs) values.push_back(run[f].value);
    const Figure& figure = runs[0][f];
    const bool probability =
        figure.unit.empty() && figure.name.find("attempts_per") == std::string::npos;
    moravel_estimate_result e{};
    CheckDescribed(moravel_estimate(values.size(), values.data(), probability ? 1 : 0, 0.95, &e),
                   "moravel_estimate");
    rows.push_back({Text("figure", "figure", figure.name),
                    Text("unit", "unit", figure.unit),
                    {"mean", "mean", figure.unit, e.mean},
                    {"standard_error", "standard error", figure.unit, e.standard_error},
                    {"ci_low", "95% interval from", figure.unit, e.ci_low},
                    {"ci_high", "to", figure.unit, e.ci_high}});
  }
  return rows;
}

// The staffing questions: the least agents for a goal, the most traffic
// given agents meet it.
struct StaffingArgs {
  double traffic = 0.0;
  std::int32_t agents = 0;
  double handling = 0.0;
  double patience = 0.0;
  std::int32_t lines = MORAVEL_NO_LINE_LIMIT;
  double answer_time = 0.0;
  std::string goal;
  double target = 0.0;
  double max_occupancy = 1.0;
  CallVolume volume;
  OutputOptions output;
  CLI::Option* traffic_option = nullptr;
};

struct Goal {
  const char* name;
  std::int32_t code;
  const char* label;
};
constexpr Goal kGoals[] = {
    {"service-level", MORAVEL_GOAL_SERVICE_LEVEL, "service level (of all offered) at least"},
    {"service-level-excluding-short-abandons", MORAVEL_GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS,
     "service level (of offered less abandoned within t) at least"},
    {"mean-answer-wait", MORAVEL_GOAL_MEAN_ANSWER_WAIT, "mean wait of answered calls at most"},
    {"abandon-probability", MORAVEL_GOAL_ABANDON_PROBABILITY, "probability of abandoning at most"},
    {"wait-probability", MORAVEL_GOAL_WAIT_PROBABILITY, "probability of waiting at most"},
};

const Goal& GoalNamed(const std::string& name) {
  for (const Goal& goal : kGoals) {
    if (name == goal.name) return goal;
  }
  return kGoals[0];  // the option's check admits only the names above
}

void AddStaffingOptions(CLI::App& command, StaffingArgs& args) {
  AddQueueOptions(command, args.handling, args.patience, args.lines, args.answer_time);
  std::vector<std::string> names;
  for (const Goal& goal : kGoals) names.push_back(goal.name);
  command
      .add_option("--goal", args.goal,
                  "What the agents must meet: service-level, "
                  "service-level-excluding-short-abandons, mean-answer-wait (in the unit of "
                  "--handling-time), abandon-probability or wait-probability")
      ->check(CLI::IsMember(names))
      ->type_name("GOAL")
      ->required();
  AddTime(command, "--target", args.target,
          "The goal's level: a share for the levels and probabilities, a time for the wait")
      ->type_name("TARGET")
      ->required();
  AddTime(command, "--max-occupancy", args.max_occupancy,
          "Highest occupancy allowed as well (default 1: no bound)")
      ->type_name("SHARE");
}

std::vector<Figure> StaffingInputs(const StaffingArgs& args, const std::string& unit) {
  return {{"handling_time", "handling time", unit, args.handling},
          {"patience", "patience", unit, args.patience},
          Count("lines", "lines", args.lines),
          {"answer_time", "answer time", unit, args.answer_time},
          Text("goal", "goal", args.goal),
          {"target", "target", args.goal == "mean-answer-wait" ? unit : "", args.target},
          {"max_occupancy", "highest occupancy", "", args.max_occupancy}};
}

std::string StaffingTitle(const std::string& what, const StaffingArgs& args) {
  std::string title =
      what + ", " + GoalNamed(args.goal).label + " " + FormatNumber(args.target) + ", ";
  if (args.max_occupancy != 1.0) {
    title += "occupancy at most " + FormatNumber(args.max_occupancy) + ", ";
  }
  if (args.lines != MORAVEL_NO_LINE_LIMIT) title += std::to_string(args.lines) + " lines, ";
  return title + Times({{"t", args.answer_time},
                        {"patience", args.patience},
                        {"handling time", args.handling}},
                       args.volume);
}
}  // namespace

void AddContactCentreCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;

  auto args = std::make_shared<CentreArgs>();
  auto* centre = app.add_subcommand(
      "contact-centre",
      "Contact centre M/M/n+M: callers who hang up after an exponential patience, optional "
      "lines (M/M/n/L+M), and with --redial-time callers who try again (a fixed-point "
      "approximation)");
  AddCentreOptions(*centre, *args);
  AddOutputOptions(*centre, args->output);
  Describe(commands, *centre,
           {"traffic", "handling-time", "patience", "agents", "lines", "answer-time",
            "blocked-retry-share", "abandoned-retry-share", "redial-time", "calls-per-interval",
            "interval-minutes"},
           ResultShape::kFigures);
  OnRun(commands, *centre, [args, &answers] {
    const double traffic = Traffic(*args);
    const std::string unit = TimeUnit(args->volume);
    Report report{{}, CentreInputs(*args, traffic, unit), {}};
    if (args->redial_option->count() == 0) {
      moravel_contact_centre_result r{};
      CheckDescribed(moravel_contact_centre(traffic, args->handling, args->patience, args->agents,
                                            args->lines, args->answer_time, &r),
                     "moravel_contact_centre", {VolumeSpelling(args->volume)});
      report.title = Title("Contact centre", *args, traffic);
      report.rows.push_back(CentreRow(r, unit));
    } else {
      moravel_retrial_result r{};
      CheckDescribed(
          moravel_contact_centre_retrials(traffic, args->handling, args->patience, args->agents,
                                          args->lines, args->answer_time, args->blocked_share,
                                          args->abandoned_share, args->redial, &r),
          "moravel_contact_centre_retrials", {VolumeSpelling(args->volume)});
      report.title = Title("Contact centre with redials (fixed point)", *args, traffic);
      Row row = CallerRow(r);
      Append(row, CentreRow(r.attempt, unit, "attempt_", "per attempt: "));
      report.rows.push_back(std::move(row));
    }
    answers.push_back({std::move(report), args->output});
  });

  auto sim = std::make_shared<SimulationArgs>();
  auto* simulate = app.add_subcommand(
      "simulate-contact-centre",
      "Call-by-call replay of a contact centre: patience exponential, deterministic or "
      "Erlang, lines and redials as they happen; with --replications, each figure's mean and "
      "95% interval");
  AddCentreOptions(*simulate, sim->centre);
  simulate
      ->add_option("--patience-distribution", sim->distribution,
                   "exponential (the model's, the default), deterministic or erlang")
      ->check(CLI::IsMember({"exponential", "deterministic", "erlang"}))
      ->type_name("NAME");
  AddWholeNumber(*simulate, "--patience-phases", sim->phases,
                 "Phases of an Erlang patience, 1 to 100 (default 1)");
  AddWholeNumber(*simulate, "-N,--calls", sim->calls, "Callers counted, each with all its attempts")
      ->required();
  AddWholeNumber(*simulate, "--warmup-calls", sim->warmup,
                 "First attempts that fill the centre from empty, not counted (default 0)");
  AddSeed(*simulate, sim->seed, "seeds from the clock");
  AddWholeNumber(*simulate, "-R,--replications", sim->replications,
                 "Independent runs, seeded from --seed by the library's rule (default 1)");
  AddOutputOptions(*simulate, sim->centre.output);
  OnRun(commands, *simulate, [sim, &answers] {
    const CentreArgs& c = sim->centre;
    const double traffic = Traffic(c);
    const std::string unit = TimeUnit(c.volume);
    // The replay measures time in mean handling times.
    const double h = c.handling;
    const std::int32_t distribution =
        sim->distribution == "deterministic" ? MORAVEL_PATIENCE_DETERMINISTIC
        : sim->distribution == "erlang"      ? MORAVEL_PATIENCE_ERLANG
                                             : MORAVEL_PATIENCE_EXPONENTIAL;
    const moravel_contact_centre_setup setup{
        traffic,           c.agents,
        c.lines,           distribution,
        sim->phases,       c.patience / h,
        c.answer_time / h, c.blocked_share,
        c.abandoned_share, c.redial_option->count() > 0 ? c.redial / h : 1.0};
    std::vector<Figure> inputs = CentreInputs(c, traffic, unit);
    inputs.push_back(Text("patience_distribution", "patience distribution", sim->distribution));
    inputs.push_back(Count("patience_phases", "patience phases", sim->phases));
    inputs.push_back(Count("calls", "calls", sim->calls));
    inputs.push_back(Count("warmup_calls", "warm-up calls", sim->warmup));
    inputs.push_back(Count("seed", "seed", static_cast<double>(sim->seed)));
    inputs.push_back(Count("replications", "replications", sim->replications));
    const std::string title = Title("Contact-centre replay", c, traffic);
    if (!(h > 0.0 && std::isfinite(h))) {
      CheckDescribed(MORAVEL_ERROR_HOLDING_TIME, "moravel_contact_centre");
    }
    if (sim->replications == 1) {
      moravel_contact_centre_estimate e{};
      CheckReplay(moravel_simulate_contact_centre(&setup, sim->calls, sim->warmup,
                                                  static_cast<std::uint32_t>(sim->seed), &e),
                  "moravel_simulate_contact_centre");
      Row row = EstimateRow(e, h, unit, c.redial_option->count() > 0);
      row.push_back(Count("seed_used", "seed used", e.seed));
      answers.push_back({{title, std::move(inputs), {std::move(row)}}, c.output});
      return;
    }
    std::vector<moravel_contact_centre_estimate> runs(
        static_cast<std::size_t>(std::max(sim->replications, 1)));
    CheckReplay(moravel_simulate_contact_centre_replications(&setup, sim->calls, sim->warmup,
                                                             static_cast<std::uint32_t>(sim->seed),
                                                             sim->replications, runs.data()),
                "moravel_simulate_contact_centre_replications");
    std::vector<Row> rows;
    for (const auto& run : runs) {
      rows.push_back(EstimateRow(run, h, unit, c.redial_option->count() > 0));
    }
    Report report{title + ", " + std::to_string(sim->replications) + " replications",
                  std::move(inputs), EstimateRows(rows)};
    report.identifiers = 2;
    answers.push_back({std::move(report), c.output});
  });

  auto staff = std::make_shared<StaffingArgs>();
  auto* agents = app.add_subcommand(
      "contact-centre-agents",
      "Least agents of a contact centre (callers who hang up, optional lines) for a service "
      "level, a mean answer wait, an abandonment or a waiting probability, and a highest "
      "occupancy");
  staff->traffic_option =
      agents->add_option("-A,--traffic", staff->traffic, "Offered traffic [erlang]")
          ->check(Number())
          ->type_name("ERLANGS");
  AddStaffingOptions(*agents, *staff);
  AddCallVolume(*agents, staff->volume, staff->traffic_option);
  AddOutputOptions(*agents, staff->output);
  Describe(commands, *agents,
           {"traffic", "handling-time", "patience", "lines", "answer-time", "target",
            "max-occupancy", "calls-per-interval", "interval-minutes"},
           ResultShape::kFigures);
  OnRun(commands, *agents, [staff, &answers] {
    double traffic = staff->traffic;
    if (staff->volume.given()) {
      traffic = VolumeTraffic(staff->volume, staff->handling, "--handling-time");
    } else if (staff->traffic_option->count() == 0) {
      throw CLI::RequiredError("--traffic (or --calls-per-interval)");
    }
    const std::string unit = TimeUnit(staff->volume);
    std::int32_t least = 0;
    moravel_contact_centre_result r{};
    CheckDescribed(
        moravel_contact_centre_agents(traffic, staff->handling, staff->patience, staff->lines,
                                      staff->answer_time, GoalNamed(staff->goal).code,
                                      staff->target, staff->max_occupancy, &least, &r),
        "moravel_contact_centre_agents", {VolumeSpelling(staff->volume)});
    std::vector<Figure> inputs{{"traffic", "traffic", "erlang", traffic}};
    for (Figure& f : StaffingInputs(*staff, unit)) inputs.push_back(std::move(f));
    if (staff->volume.given()) {
      inputs.push_back({"calls_per_interval", "calls per interval", "", staff->volume.calls});
      inputs.push_back({"interval_minutes", "interval", "minutes", staff->volume.minutes});
    }
    Row row{Count("agents", "agents", least)};
    Append(row, CentreRow(r, unit));
    answers.push_back(
        {{StaffingTitle("Least agents for A = " + FormatNumber(traffic) + " erlangs", *staff),
          std::move(inputs),
          {std::move(row)}},
         staff->output});
  });

  auto most = std::make_shared<StaffingArgs>();
  auto* traffic =
      app.add_subcommand("contact-centre-traffic",
                         "Most traffic that given agents of a contact centre answer at a goal (as "
                         "contact-centre-agents)");
  AddWholeNumber(*traffic, "-V,--agents", most->agents, "Number of agents")->required();
  AddStaffingOptions(*traffic, *most);
  AddOutputOptions(*traffic, most->output);
  Describe(
      commands, *traffic,
      {"agents", "handling-time", "patience", "lines", "answer-time", "target", "max-occupancy"},
      ResultShape::kFigures);
  OnRun(commands, *traffic, [most, &answers] {
    double largest = 0.0;
    moravel_contact_centre_result r{};
    CheckDescribed(moravel_contact_centre_traffic(
                       most->agents, most->handling, most->patience, most->lines, most->answer_time,
                       GoalNamed(most->goal).code, most->target, most->max_occupancy, &largest, &r),
                   "moravel_contact_centre_traffic");
    const std::string unit = TimeUnit(most->volume);
    std::vector<Figure> inputs{Count("agents", "agents", most->agents)};
    for (Figure& f : StaffingInputs(*most, unit)) inputs.push_back(std::move(f));
    Row row{{"traffic", "traffic", "erlang", largest}};
    Append(row, CentreRow(r, unit));
    answers.push_back(
        {{StaffingTitle("Most traffic for V = " + std::to_string(most->agents) + " agents", *most),
          std::move(inputs),
          {std::move(row)}},
         most->output});
  });
}

}  // namespace moravel_tool
