// `moravel compare`: a model beside its simulated twin on the same
// arguments, over several replications, with the mean, the standard error
// and a 95% confidence interval of each simulated figure, and whether the
// analytic value falls inside it.
//
//   moravel compare loss --servers 10 --traffic 5 --calls 100000 --replications 20
//
// The single-service formulas are exact for the systems they describe: a
// value outside the interval is chance (about one figure in twenty) or a
// fault.  The link-group and link-subset models are approximations of the
// simulated group (they take every arrangement of a given number of busy
// units over the links as equally likely), so for them the report shows the
// model's difference from the simulation and says whose difference it is.
//
// The seeds of the replications, each figure's estimate and its interval
// are the library's (moravel_replication_seeds, moravel_estimate): replication
// r uses the seed first-seed + r, on from 1 after 2^32 - 1, and the interval
// of a probability is clipped to [0, 1].  Only the figures the simulation
// counts are compared: the simulated delay system counts the calls that wait
// and derives its other figures from that share by the model's formulas, so
// comparing them would only compare the formulas with themselves.
// --jobs N runs the replications on N processes; the output does not change.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "arguments.h"
#include "commands.h"
#include "description.h"
#include "local_jobs.h"
#include "model_table.h"

namespace moravel_tool {
namespace {

struct CompareArgs {
  OutputOptions output;
  std::vector<std::string> model;
  std::int32_t calls = 100000;
  std::int32_t replications = 10;
  std::int64_t first_seed = 1;
  std::string policy = "max-free";
  std::int32_t jobs = 1;
};

// The line under a comparison of an approximate model.
std::string ApproximationNote(const std::string& model) {
  return "Note: the " + model +
         " model is an approximation: it takes every arrangement of a "
         "given number of busy units over the links as equally likely, whatever the link-choice "
         "policy; a difference beyond the simulation's 95% CI comes from the model, not from the "
         "simulation or the library's arithmetic.";
}

// The value of an input of the model's report, as the option's text.
std::string InputOf(const Report& report, const std::string& name) {
  for (const Figure& f : report.inputs) {
    if (f.name == name) return ExactNumber(f.value);
  }
  return {};
}

// The value of an input of the model's report.
double ValueOf(const Report& report, const std::string& name) {
  for (const Figure& f : report.inputs) {
    if (f.name == name) return f.value;
  }
  throw Failure("compare: the model's report has no input " + name);
}

// The seeds of the replications, by the library's rule.
std::vector<std::uint32_t> ReplicationSeeds(std::int64_t first, std::size_t count) {
  std::vector<std::uint32_t> seeds(count);
  CheckDescribed(moravel_replication_seeds(static_cast<std::uint32_t>(first), count, seeds.data()),
                 "moravel_replication_seeds");
  return seeds;
}

// The study's own arguments, judged by the study core before any run: the
// first seed by the seed rule, the count by the estimate (which two
// replications already satisfy).
void CheckStudy(std::int64_t first_seed, std::size_t replications) {
  CheckDescribed(moravel_replication_seeds(static_cast<std::uint32_t>(first_seed), 0, nullptr),
                 "moravel_replication_seeds");
  const double values[2] = {0.0, 0.0};
  moravel_estimate_result unused{};
  CheckDescribed(moravel_estimate(std::min<std::size_t>(replications, 2), values, 0, 0.95, &unused),
                 "moravel_estimate");
}

// The note under a comparison of a simulation that derives some figures.
const char kDerivedNote[] =
    "Note: the simulation counts the calls that wait; its other figures follow from that share "
    "by the model's formulas, so only the probability of waiting is compared.";

// (model - simulated) / simulated: 0 where they agree, infinite where only
// the model is nonzero.
double RelativeDifference(double model, double simulated) {
  const double difference = model - simulated;
  return difference == 0.0 ? 0.0 : difference / simulated;
}

// A fraction as a signed percentage of three digits: "+17.7%", "-0.52%".
std::string Percent(double fraction) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%+.3g%%", 100.0 * fraction);
  return buffer;
}

// Identifying columns of a per-class row, carried over unchanged.
bool IsIdentifier(const std::string& name) {
  return name == "class" || name == "traffic" || name == "demand";
}

void RunCompare(const CompareArgs& args) {
  const ModelEntry* entry = args.model.empty() ? nullptr : FindModel(args.model[0]);
  if (entry == nullptr || !entry->twin) {
    std::string twinned;
    for (const ModelEntry& model : ModelTable()) {
      if (model.twin) twinned += (twinned.empty() ? "" : ", ") + model.name;
    }
    throw CLI::ValidationError("compare", "accepts a model with a simulated twin (" + twinned +
                                              "), e.g. 'compare loss --servers 10 --traffic 5'");
  }
  const DescribedTwin& twin = *entry->twin;
  CheckStudy(args.first_seed, static_cast<std::size_t>(args.replications));
  const std::vector<Report> analytic = RunModelCommand(args.model);
  if (analytic.size() != 1) throw Failure("compare: the model gave no result");

  std::vector<std::string> simulation = args.model;
  simulation[0] = twin.simulation;
  if (twin.simulation == "simulate-wait") {
    // The simulated delay system runs in mean holding times, at the traffic
    // the model was given or computed from a call volume.
    simulation = {
        twin.simulation,
        "--servers",
        InputOf(analytic[0], "servers"),
        "--traffic",
        InputOf(analytic[0], "traffic"),
        "--threshold",
        ExactNumber(ValueOf(analytic[0], "threshold") / ValueOf(analytic[0], "holding_time"))};
  }
  simulation.insert(simulation.end(), {"--calls", std::to_string(args.calls)});
  if (twin.takes_policy) simulation.insert(simulation.end(), {"--policy", args.policy});
  if (twin.offered_to_all_links) {
    simulation.insert(simulation.end(), {"--subset", InputOf(analytic[0], "links")});
  }

  // samples[row][figure] -> one value per replication, in replication order
  std::vector<std::map<std::string, std::vector<double>>> samples(analytic[0].rows.size());
  // The simulation's line is parsed once; each replication changes its seed.
  const std::vector<std::uint32_t> seeds =
      ReplicationSeeds(args.first_seed, static_cast<std::size_t>(args.replications));
  auto seed_of = [&](std::size_t r) { return std::to_string(seeds[r]); };
  simulation.insert(simulation.end(), {"--seed", seed_of(0)});
  ModelRunner runner(simulation, simulation.size() - 1);
  const auto replications = static_cast<std::size_t>(args.replications);
  Progress progress("compare", "replications", replications);
  RunModelCommands(replications, runner, seed_of, args.jobs, progress,
                   [&](std::size_t, std::vector<Report>&& simulated) {
                     if (simulated.size() != 1 || simulated[0].rows.size() != samples.size()) {
                       throw Failure("compare: the simulation gave no comparable result");
                     }
                     for (std::size_t row = 0; row < samples.size(); ++row) {
                       for (const Figure& f : simulated[0].rows[row])
                         samples[row][f.name].push_back(f.value);
                     }
                   });

  std::string title = "Comparison of " + args.model[0] + " with " + twin.simulation;
  if (twin.offered_to_all_links) title += " (every call offered to all links)";
  title += ", " + std::to_string(args.replications) + " replications of " +
           std::to_string(args.calls) + " calls";
  if (twin.takes_policy) title += ", policy " + args.policy;
  Report report{title, analytic[0].inputs, {}};
  report.inputs.push_back(Count("calls", "calls", args.calls));
  report.inputs.push_back(Count("replications", "replications", args.replications));
  report.inputs.push_back(Count("first_seed", "first seed", static_cast<double>(args.first_seed)));
  if (twin.takes_policy) report.inputs.push_back(Text("policy", "policy", args.policy));
  if (twin.approximate) report.note = ApproximationNote(args.model[0]);
  bool derived = false;
  for (std::size_t row = 0; row < samples.size(); ++row) {
    Row identifiers;
    for (const Figure& f : analytic[0].rows[row]) {
      if (IsIdentifier(f.name)) identifiers.push_back(f);
    }
    for (const Figure& f : analytic[0].rows[row]) {
      if (IsIdentifier(f.name) || samples[row].count(f.name) == 0) continue;
      const std::optional<SimulatedFigure> described =
          DescribedSimulatedFigure(twin.simulation, f.name);
      if (!described) throw Failure("compare: the library does not describe " + f.name);
      if (!described->measured) {
        derived = true;
        continue;
      }
      const std::vector<double>& x = samples[row][f.name];
      moravel_estimate_result estimate{};
      const moravel_status status =
          moravel_estimate(x.size(), x.data(), described->probability ? 1 : 0, 0.95, &estimate);
      if (status != MORAVEL_OK) {
        throw Failure("compare: " + f.name + ": " + moravel_status_message(status));
      }
      const double mean = estimate.mean, error = estimate.standard_error;
      const double low = estimate.ci_low, high = estimate.ci_high;
      const bool inside = f.value >= low && f.value <= high;
      Row out = identifiers;
      out.push_back(Text("figure", f.label, f.name));
      if (twin.approximate) {
        out.push_back({"approximate_model", "approximate model", "", f.value});
      } else {
        out.push_back({"analytic", "analytic", "", f.value});
      }
      out.push_back({"mean", "simulated mean", "", mean});
      out.push_back({"standard_error", "standard error", "", error});
      out.push_back({"ci_low", "95% CI low", "", low});
      out.push_back({"ci_high", "95% CI high", "", high});
      if (twin.approximate) {
        out.push_back({"model_minus_simulation", "model - simulation", "", f.value - mean});
        out.push_back({"model_minus_simulation_relative", "(model - simulation) / simulation", "",
                       RelativeDifference(f.value, mean)});
        out.push_back(Flag("model_within_ci", "model within the CI", inside));
      } else {
        out.push_back(Flag("inside", "inside", inside));
      }
      report.rows.push_back(std::move(out));
    }
  }
  if (derived) report.note = kDerivedNote;
  OutputOptions output = args.output;
  output.raw = false;
  if (output.format != Format::kText) {
    Print(report, output);
    return;
  }
  errno = 0;  // a failed write leaves its reason for the final check
  std::cout << report.title << '\n';
  for (const Row& row : report.rows) {
    std::string who;
    for (const Figure& f : row) {
      if (IsIdentifier(f.name)) who += f.name + " " + FormatNumber(f.value) + ", ";
    }
    const Figure* figure = nullptr;
    std::map<std::string, double> v;
    for (const Figure& f : row) {
      if (f.name == "figure") figure = &f;
      v[f.name] = f.value;
    }
    if (!twin.approximate) {
      std::cout << "  " << who << figure->label << ": analytic " << FormatNumber(v["analytic"])
                << ", simulated " << FormatNumber(v["mean"]) << " +/- "
                << FormatNumber(v["standard_error"]) << ", 95% CI [" << FormatNumber(v["ci_low"])
                << ", " << FormatNumber(v["ci_high"]) << "] "
                << (v["inside"] != 0.0 ? "inside" : "OUTSIDE") << '\n';
      continue;
    }
    std::cout << "  " << who << figure->label << ": model " << FormatNumber(v["approximate_model"])
              << ", simulated " << FormatNumber(v["mean"]) << " +/- "
              << FormatNumber(v["standard_error"]) << ", 95% CI [" << FormatNumber(v["ci_low"])
              << ", " << FormatNumber(v["ci_high"]) << "], model - simulation "
              << FormatNumber(v["model_minus_simulation"]) << " ("
              << Percent(v["model_minus_simulation_relative"]) << "), "
              << (v["model_within_ci"] != 0.0 ? "within the CI" : "beyond the CI") << '\n';
  }
  if (!report.note.empty()) std::cout << report.note << '\n';
}

}  // namespace

void AddCompareCommand(CLI::App& app) {
  auto args = std::make_shared<CompareArgs>();
  auto* compare = app.add_subcommand(
      "compare",
      "A model (loss, wait, link-group, link-subset, contact-centre) beside its simulation over "
      "several replications");
  AddOutputOptions(*compare, args->output);
  AddCount(*compare, "--calls", args->calls, "Calls per replication (default 100000)");
  AddCount(*compare, "--replications", args->replications, "Number of replications (default 10)",
           0);
  compare->add_option("--first-seed", args->first_seed, "Seed of the first replication (default 1)")
      ->transform(Seed());
  compare->add_option(
      "--policy", args->policy,
      "Link choice of the link-group and link-subset simulation (default max-free)");
  AddCount(
      *compare, "--jobs", args->jobs,
      "Processes to run the replications on (default 1); the output is the same for any number", 1,
      kMaxJobs);
  // Everything from the model's name on belongs to the model, but for the
  // comparison's own options, which may also follow it.
  compare->footer(
      "Usage: moravel compare [OPTIONS] MODEL [MODEL OPTIONS]\n"
      "Example: moravel compare loss --servers 10 --traffic 5 --calls 100000 --replications 20");
  compare->prefix_command();
  compare->callback([args, compare] {
    CompareArgs full = *args;
    full.model.clear();
    for (const auto& extra : compare->remaining()) full.model.push_back(extra);
    if (auto v = TakeOption(full.model, {"--format"})) full.output.format = ParseFormat(*v);
    if (auto v = TakeOption(full.model, {"--replications"}, WholeNumber(0))) {
      full.replications = std::stoi(*v);
    }
    if (auto v = TakeOption(full.model, {"--first-seed"}, Seed())) {
      full.first_seed = std::stoll(*v);
    }
    // The simulation's own options: not for the analytic model.
    if (auto v = TakeOption(full.model, {"--calls", "-N"}, WholeNumber()))
      full.calls = std::stoi(*v);
    if (auto v = TakeOption(full.model, {"--policy"})) full.policy = *v;
    if (auto v = TakeOption(full.model, {"--jobs"}, WholeNumber(1, kMaxJobs)))
      full.jobs = std::stoi(*v);
    RunCompare(full);
  });
}

}  // namespace moravel_tool
