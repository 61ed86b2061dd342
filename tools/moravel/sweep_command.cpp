// `moravel sweep`: one model over a range of one of its arguments, one row
// per point (per class and point for the multi-class models).
//
//   moravel sweep loss --servers 10 --traffic 1:20:0.5
//   moravel sweep --format csv erlang-b --servers 1:100 --traffic 50
//
// Exactly one value is a range START:STOP[:STEP] (STEP 1 when left out).
// --jobs N runs the points on N processes; the output does not change.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "local_jobs.h"
#include "model_table.h"

namespace moravel_tool {
namespace {

struct Range {
  double start = 0, stop = 0, step = 1;
};

bool ParseRange(const std::string& text, Range& range) {
  const auto first = text.find(':');
  if (first == std::string::npos || first == 0) return false;
  const auto second = text.find(':', first + 1);
  auto number = [](const std::string& s, double& out) {
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0' && std::isfinite(out);
  };
  if (!number(text.substr(0, first), range.start)) return false;
  if (second == std::string::npos) {
    range.step = 1;
    return number(text.substr(first + 1), range.stop);
  }
  return number(text.substr(first + 1, second - first - 1), range.stop) &&
         number(text.substr(second + 1), range.step);
}

std::string Exact(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

struct SweepArgs {
  OutputOptions output;
  std::int32_t jobs = 1;
  std::vector<std::string> model;
};

// "--servers, --traffic": the options of `entry` that take a range.
std::string RangedOptions(const ModelEntry& entry) {
  std::string list;
  for (const std::string& name : entry.ranges) {
    list += (list.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") + name;
  }
  return list;
}

void RunSweep(const SweepArgs& args) {
  if (args.model.empty()) {
    throw CLI::ValidationError(
        "sweep", "needs a model subcommand, e.g. 'sweep loss --servers 10 --traffic 1:20:0.5'");
  }
  CLI::App models;
  ModelCommands unused;
  AddModelCommands(models, unused);
  CheckSubcommandName(models, args.model[0]);
  const CLI::App& command = *models.get_subcommand(args.model[0]);
  CheckOptionNames(command, args.model, 1);
  const ModelEntry* entry = FindModel(args.model[0]);
  if (entry == nullptr || entry->ranges.empty()) {
    throw CLI::ValidationError("sweep", "accepts a model, not '" + args.model[0] + "'");
  }

  // The one range among the values of the options that take one (a class
  // TRAFFIC:DEMAND looks like a range but belongs to no such option).  The
  // column is the option's long name, however the option was typed.
  std::size_t at = args.model.size();
  Range range;
  std::string variable;
  for (std::size_t i = 2; i < args.model.size(); ++i) {
    Range r;
    if (args.model[i].find(':') == std::string::npos || !ParseRange(args.model[i], r)) continue;
    const std::string option = args.model[i - 1];
    const std::string name = option.rfind("-", 0) == 0 ? LongNameOf(command, option) : "";
    if (std::find(entry->ranges.begin(), entry->ranges.end(), name) == entry->ranges.end()) {
      continue;
    }
    if (at != args.model.size()) {
      throw CLI::ValidationError("sweep", "accepts one range START:STOP[:STEP], not two");
    }
    at = i;
    range = r;
    variable = name;
  }
  if (at == args.model.size()) {
    throw CLI::ValidationError("sweep", "needs the value of one of " + RangedOptions(*entry) +
                                            " given as a range START:STOP[:STEP]");
  }
  if (!(range.step > 0) || range.stop < range.start) {
    throw CLI::ValidationError("sweep", "range needs STOP >= START and STEP > 0");
  }
  const double span = (range.stop - range.start) / range.step;
  if (span > 1e6) throw CLI::ValidationError("sweep", "range has more than a million points");
  const auto points = static_cast<std::size_t>(std::floor(span + 1e-9)) + 1;

  Report sweep{"Sweep of " + args.model[0] + " over " + variable + " from " +
                   FormatNumber(range.start) + " to " + FormatNumber(range.stop) + " in steps of " +
                   FormatNumber(range.step),
               {},
               {}};
  auto value_of = [&](std::size_t p) { return range.start + static_cast<double>(p) * range.step; };
  // The model's line is parsed once; each point changes the ranged value.
  ModelRunner runner(args.model, at);
  Progress progress("sweep", "points", points);
  RunModelCommands(
      points, runner, [&](std::size_t p) { return Exact(value_of(p)); }, args.jobs, progress,
      [&](std::size_t p, std::vector<Report>&& reports) {
        (void)p;
        // Each row says every input it was computed from.
        for (Report& report : reports) {
          for (Row& row : report.rows) {
            row.insert(row.begin(), report.inputs.begin(), report.inputs.end());
            sweep.rows.push_back(std::move(row));
          }
        }
      });
  OutputOptions output = args.output;
  output.raw = false;
  Print(sweep, output);
}

}  // namespace

void AddSweepCommand(CLI::App& app) {
  auto args = std::make_shared<SweepArgs>();
  auto* sweep = app.add_subcommand(
      "sweep", "Run one model over a range START:STOP[:STEP] of one argument, one row per point");
  AddOutputOptions(*sweep, args->output);
  AddCount(*sweep, "--jobs", args->jobs,
           "Processes to run the points on (default 1); the output is the same for any number", 1,
           kMaxJobs);
  // Everything from the model's name on belongs to the model, but for the
  // sweep's own options, which may also follow it.
  sweep->footer(
      "Usage: moravel sweep [--format F] [--jobs N] MODEL [MODEL OPTIONS], one option value as a "
      "range.\n"
      "Example: moravel sweep loss --servers 10 --traffic 1:20:0.5");
  sweep->prefix_command();
  sweep->callback([args, sweep] {
    SweepArgs full{args->output, args->jobs, {}};
    for (const auto& extra : sweep->remaining()) full.model.push_back(extra);
    if (auto format = TakeOption(full.model, {"--format"}))
      full.output.format = ParseFormat(*format);
    if (auto v = TakeOption(full.model, {"--jobs"}, WholeNumber(1, kMaxJobs)))
      full.jobs = std::stoi(*v);
    RunSweep(full);
  });
}

}  // namespace moravel_tool
