// `moravel plan`: a day's staffing plan from a CSV file of intervals.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands.h"
#include "description.h"
#include "plan_file.h"

namespace moravel_tool {
namespace {

struct PlanArguments {
  std::string file;
  double answer_time = 0.0;
  double service_level = 0.0;
  std::string basis = "offered";
  double mean_answer_wait = 0.0;
  double abandonment = 0.0;
  double wait_probability = 0.0;
  double occupancy = 0.0;
  double shrinkage = 0.0;
  double interval_minutes = 30.0;
  Format format = Format::kText;
};

// The cell a refused interval is pointed at: the first column the file has
// among those the description says the status refuses, else its calls
// (their traffic, the agents they need).
PlanColumn ColumnOf(moravel_status status, bool has_patience) {
  for (const std::string& name : ColumnsRefused("moravel_day_plan", status)) {
    for (PlanColumn column :
         {PlanColumn::kCalls, PlanColumn::kHandlingTime, PlanColumn::kPatience}) {
      if (name != ColumnName(column)) continue;
      if (column != PlanColumn::kPatience || has_patience) return column;
    }
  }
  return PlanColumn::kCalls;
}

struct Plan {
  std::vector<moravel_day_plan_interval> intervals;
  moravel_day_plan_totals totals{};
};

// A target given as 0 would read as "no target": it goes to the library as
// NaN, which the library refuses as it refuses any value outside its range.
double Given(const CLI::App& command, const char* option, double value) {
  return command.count(option) != 0 && value == 0.0 ? std::numeric_limits<double>::quiet_NaN()
                                                    : value;
}

// Column heads and cells of the text table.
struct Column {
  std::string head;
  std::vector<std::string> cells;
};

void PrintTextTable(const std::vector<Column>& columns) {
  std::vector<std::size_t> widths;
  for (const Column& c : columns) {
    std::size_t w = c.head.size();
    for (const auto& cell : c.cells) w = std::max(w, cell.size());
    widths.push_back(w);
  }
  const auto pad = [](const std::string& s, std::size_t w) {
    return std::string(w - std::min(w, s.size()), ' ') + s;
  };
  std::cout << ' ';
  for (std::size_t c = 0; c < columns.size(); ++c)
    std::cout << ' ' << pad(columns[c].head, widths[c]);
  std::cout << '\n';
  for (std::size_t r = 0; r < columns[0].cells.size(); ++r) {
    std::cout << ' ';
    for (std::size_t c = 0; c < columns.size(); ++c) {
      std::cout << ' ' << pad(columns[c].cells[r], widths[c]);
    }
    std::cout << '\n';
  }
}

// Every figure of a row, in the CSV's and JSON's order: (name, value, count?).
struct Named {
  const char* name;
  double value;
  bool count = false;
};

std::vector<Named> Figures(const moravel_contact_centre_result& f) {
  return {{"wait_probability", f.wait_probability},
          {"abandon_probability", f.abandon_probability},
          {"abandon_within_answer_time", f.abandon_within_answer_time},
          {"service_level", f.service_level},
          {"service_level_excluding_short_abandons", f.service_level_excluding_short_abandons},
          {"mean_answer_wait", f.mean_answer_wait},
          {"mean_wait", f.mean_wait},
          {"queue_length", f.queue_length},
          {"occupancy", f.occupancy},
          {"carried", f.carried}};
}

std::vector<Named> IntervalCells(const PlanRow& row, const moravel_day_plan_interval& p) {
  std::vector<Named> cells{{"calls", row.calls},
                           {"handling_time", row.handling_time},
                           {"patience", row.patience},
                           {"traffic", p.traffic},
                           {"agents_needed", static_cast<double>(p.agents_needed), true},
                           {"agents_scheduled", static_cast<double>(p.agents_scheduled), true}};
  for (const Named& n : Figures(p.figures)) cells.push_back(n);
  return cells;
}

// The day in the intervals' columns: counts summed (agent-intervals),
// times and figures as the library weights them; no patience.
std::vector<Named> TotalCells(const moravel_day_plan_totals& t) {
  std::vector<Named> cells{
      {"calls", t.calls},
      {"handling_time", t.handling_time},
      {"patience", std::numeric_limits<double>::quiet_NaN()},
      {"traffic", t.traffic},
      {"agents_needed", static_cast<double>(t.agent_intervals_needed), true},
      {"agents_scheduled", static_cast<double>(t.agent_intervals_scheduled), true}};
  for (const Named& n : Figures(t.figures)) cells.push_back(n);
  return cells;
}

std::string CsvLine(const std::string& label, const std::vector<Named>& cells) {
  std::string line = label.find_first_of(",\"") == std::string::npos ? label : [&] {
    std::string quoted = "\"";
    for (char c : label) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
  }();
  for (const Named& n : cells) line += "," + (std::isnan(n.value) ? "" : ExactNumber(n.value));
  return line;
}

nlohmann::ordered_json JsonObject(const std::vector<Named>& cells) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const Named& n : cells) {
    if (std::isnan(n.value)) continue;
    if (!std::isfinite(n.value)) {
      object[n.name] = ExactNumber(n.value);  // JSON has no infinity: "inf"
    } else if (n.count) {
      object[n.name] = static_cast<std::int64_t>(n.value);
    } else {
      object[n.name] = n.value == 0.0 ? 0.0 : n.value;
    }
  }
  return object;
}

std::string Title(const PlanArguments& a, const PlanFile& file) {
  std::string title = "Day plan of " + std::to_string(file.rows.size()) + " intervals of " +
                      FormatNumber(a.interval_minutes) + " minutes, shrinkage " +
                      FormatNumber(a.shrinkage) + ":";
  std::string targets;
  const auto add = [&](const std::string& t) { targets += (targets.empty() ? " " : ", ") + t; };
  if (a.service_level != 0.0) {
    add("service level " + FormatNumber(a.service_level) + " within " +
        FormatNumber(a.answer_time) + " s" +
        (a.basis == "offered" ? "" : " (excluding short abandons)"));
  }
  if (a.mean_answer_wait != 0.0) add("ASA " + FormatNumber(a.mean_answer_wait) + " s or less");
  if (a.abandonment != 0.0) add("abandonment " + FormatNumber(a.abandonment) + " or less");
  if (a.wait_probability != 0.0) {
    add("probability of waiting " + FormatNumber(a.wait_probability) + " or less");
  }
  if (a.occupancy != 0.0) add("occupancy " + FormatNumber(a.occupancy) + " or less");
  return title + targets;
}

void PrintText(const PlanArguments& a, const PlanFile& file, const Plan& plan) {
  const bool excluding = a.basis != "offered";
  std::cout << Title(a, file) << '\n';
  std::vector<Column> columns{
      {"interval", {}},
      {"calls", {}},
      {"handling time [s]", {}},
      {"traffic [erl]", {}},
      {"agents needed", {}},
      {"scheduled", {}},
      {excluding ? "service level (excl. short abandons)" : "service level", {}},
      {"ASA [s]", {}},
      {"abandoned", {}},
      {"waiting", {}},
      {"occupancy", {}}};
  if (file.has_patience) columns.insert(columns.begin() + 3, {"patience [s]", {}});
  const auto add_row = [&](const std::string& label, double calls, double handling, double patience,
                           double traffic, std::int64_t needed, std::int64_t scheduled,
                           const moravel_contact_centre_result& f) {
    std::vector<std::string> cells{label, FormatNumber(calls), FormatNumber(handling)};
    if (file.has_patience) cells.push_back(std::isnan(patience) ? "" : FormatNumber(patience));
    for (const std::string& s :
         {FormatNumber(traffic), std::to_string(needed), std::to_string(scheduled),
          FormatNumber(excluding ? f.service_level_excluding_short_abandons : f.service_level),
          FormatNumber(f.mean_answer_wait), FormatNumber(f.abandon_probability),
          FormatNumber(f.wait_probability), FormatNumber(f.occupancy)}) {
      cells.push_back(s);
    }
    for (std::size_t c = 0; c < columns.size(); ++c) columns[c].cells.push_back(cells[c]);
  };
  for (std::size_t i = 0; i < file.rows.size(); ++i) {
    const PlanRow& r = file.rows[i];
    const auto& p = plan.intervals[i];
    add_row(r.label, r.calls, r.handling_time, r.patience, p.traffic, p.agents_needed,
            p.agents_scheduled, p.figures);
  }
  const auto& t = plan.totals;
  add_row("day", t.calls, t.handling_time, std::numeric_limits<double>::quiet_NaN(), t.traffic,
          t.agent_intervals_needed, t.agent_intervals_scheduled, t.figures);
  PrintTextTable(columns);
  std::cout << "The day: " << t.agent_intervals_needed << " agent-intervals needed, "
            << t.agent_intervals_scheduled << " scheduled ("
            << FormatNumber(t.scheduled_agent_hours) << " agent-hours), at most "
            << t.peak_agents_scheduled << " agents at once; " << FormatNumber(t.answered_calls)
            << " of " << FormatNumber(t.calls) << " calls answered, "
            << FormatNumber(t.abandoned_calls) << " abandoned.\n";
}

void PrintCsv(const PlanFile& file, const Plan& plan) {
  std::string head = "label";
  for (const Named& n : TotalCells(plan.totals)) head += std::string(",") + n.name;
  std::cout << head << '\n';
  for (std::size_t i = 0; i < file.rows.size(); ++i) {
    std::cout << CsvLine(file.rows[i].label, IntervalCells(file.rows[i], plan.intervals[i]))
              << '\n';
  }
  std::cout << CsvLine("day", TotalCells(plan.totals)) << '\n';
}

void PrintJson(const PlanArguments& a, const PlanFile& file, const Plan& plan) {
  nlohmann::ordered_json intervals = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < file.rows.size(); ++i) {
    nlohmann::ordered_json object{{"label", file.rows[i].label}};
    object.update(JsonObject(IntervalCells(file.rows[i], plan.intervals[i])));
    intervals.push_back(std::move(object));
  }
  const auto& t = plan.totals;
  nlohmann::ordered_json totals = JsonObject(TotalCells(t));
  totals.erase("agents_needed");
  totals.erase("agents_scheduled");
  totals["agent_intervals_needed"] = t.agent_intervals_needed;
  totals["agent_intervals_scheduled"] = t.agent_intervals_scheduled;
  totals["scheduled_agent_hours"] = t.scheduled_agent_hours;
  totals["peak_agents_scheduled"] = t.peak_agents_scheduled;
  totals["answered_calls"] = t.answered_calls;
  totals["abandoned_calls"] = t.abandoned_calls;
  nlohmann::ordered_json inputs{{"file", file.name},
                                {"interval_minutes", a.interval_minutes},
                                {"shrinkage", a.shrinkage},
                                {"answer_time", a.answer_time},
                                {"service_level_basis", a.basis}};
  const std::pair<const char*, double> targets[] = {{"service_level", a.service_level},
                                                    {"mean_answer_wait", a.mean_answer_wait},
                                                    {"abandonment", a.abandonment},
                                                    {"wait_probability", a.wait_probability},
                                                    {"occupancy", a.occupancy}};
  for (const auto& [name, value] : targets) {
    if (value != 0.0) inputs[name] = value;
  }
  nlohmann::ordered_json document{
      {"title", Title(a, file)}, {"inputs", inputs}, {"intervals", intervals}, {"totals", totals}};
  std::cout << document.dump(2) << '\n';
}

}  // namespace

void AddPlanCommand(CLI::App& app) {
  auto args = std::make_shared<PlanArguments>();
  auto* plan = app.add_subcommand(
      "plan",
      "A day's staffing plan from a CSV file of intervals: agents needed and scheduled, their "
      "figures and the day's totals");
  plan->footer(
      "The file: a header row naming the columns label, calls, handling_time and, optionally, "
      "patience (times in seconds; an empty or missing patience: callers who never hang up), "
      "then one row per interval.");
  plan->add_option("file", args->file, "CSV file of intervals, - for standard input")
      ->required()
      ->type_name("FILE");
  plan->add_option("-t,--answer-time", args->answer_time,
                   "Answer time of the service level, in seconds (also that of the service level "
                   "reported)")
      ->required()
      ->type_name("SECONDS");
  plan->add_option("--service-level", args->service_level,
                   "Share of calls to answer within --answer-time: at least")
      ->type_name("SHARE");
  plan->add_option("--service-level-basis", args->basis,
                   "Calls the service level counts: offered (all offered calls, the default) or "
                   "excluding-short-abandons (offered less those who hang up within the answer "
                   "time)")
      ->type_name("BASIS");
  plan->add_option("--mean-answer-wait", args->mean_answer_wait,
                   "Mean wait of answered calls (ASA), in seconds: at most")
      ->type_name("SECONDS");
  plan->add_option("--abandonment", args->abandonment, "Share of calls that hang up: at most")
      ->type_name("SHARE");
  plan->add_option("--wait-probability", args->wait_probability,
                   "Share of calls that wait: at most")
      ->type_name("SHARE");
  plan->add_option("--occupancy", args->occupancy,
                   "Highest occupancy of the agents needed, with one of the goals above")
      ->type_name("SHARE");
  plan->add_option("--shrinkage", args->shrinkage,
                   "Share of scheduled time off the phones (breaks, training, absence), the "
                   "default 0")
      ->type_name("SHARE");
  plan->add_option("--interval-minutes", args->interval_minutes,
                   "Length of each interval, in minutes (the default 30)")
      ->type_name("MINUTES");
  plan->add_option_function<std::string>(
          "--format", [args](const std::string& name) { args->format = ParseFormat(name); },
          "Output format: text (the default), csv or json")
      ->type_name("FORMAT");
  plan->callback([args, plan] {
    const PlanArguments& a = *args;
    moravel_day_plan_targets targets{};
    targets.answer_time = a.answer_time;
    targets.service_level = Given(*plan, "--service-level", a.service_level);
    targets.mean_answer_wait = Given(*plan, "--mean-answer-wait", a.mean_answer_wait);
    targets.abandonment = Given(*plan, "--abandonment", a.abandonment);
    targets.wait_probability = Given(*plan, "--wait-probability", a.wait_probability);
    targets.occupancy = Given(*plan, "--occupancy", a.occupancy);
    if (a.basis == "offered") {
      targets.service_level_basis = MORAVEL_SERVICE_LEVEL_OFFERED;
    } else if (a.basis == "excluding-short-abandons") {
      targets.service_level_basis = MORAVEL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS;
    } else {
      // No basis of the library's: its refusal names the option.
      targets.service_level_basis = -1;
    }
    // The options first, on an empty day, so that their faults are named
    // before the file is read.
    moravel_day_plan_totals empty{};
    if (const auto status =
            moravel_day_plan(0, nullptr, nullptr, nullptr, &targets, a.interval_minutes,
                             a.shrinkage, nullptr, &empty, nullptr)) {
      CheckDescribed(status, "moravel_day_plan");
    }
    PlanFile file;
    try {
      file = ReadPlanFile(a.file);
    } catch (const PlanFileError& e) {
      throw CLI::ValidationError(e.what());
    } catch (const std::runtime_error& e) {
      throw CLI::ValidationError(e.what());
    }
    const std::size_t n = file.rows.size();
    std::vector<double> calls(n), handling(n), patience(n);
    for (std::size_t i = 0; i < n; ++i) {
      calls[i] = file.rows[i].calls;
      handling[i] = file.rows[i].handling_time;
      patience[i] = file.rows[i].patience;
    }
    Plan result;
    result.intervals.resize(n);
    std::size_t refused = n;
    const auto status = moravel_day_plan(n, calls.data(), handling.data(), patience.data(),
                                         &targets, a.interval_minutes, a.shrinkage,
                                         result.intervals.data(), &result.totals, &refused);
    if (status != MORAVEL_OK) {
      if (refused >= n) CheckDescribed(status, "moravel_day_plan");
      const PlanColumn column = ColumnOf(status, file.has_patience);
      throw CLI::ValidationError(PlanFileError(file.name,
                                               file.rows[refused].places[static_cast<int>(column)],
                                               moravel_status_message(status))
                                     .what());
    }
    errno = 0;  // a failed write leaves its reason for the final check
    switch (a.format) {
      case Format::kText: PrintText(a, file, result); break;
      case Format::kCsv: PrintCsv(file, result); break;
      case Format::kJson: PrintJson(a, file, result); break;
    }
  });
}

}  // namespace moravel_tool
