// Subcommand of the multi-service simulation: simulate-link-subset.
#include <map>
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

// "max-free, min-free or first-free (or МаксСвоб, МинСвоб, ПервСвоб)".
std::string PolicyNames() {
  std::string readable, keywords;
  const auto& policies = Policies();
  for (std::size_t i = 0; i < policies.size(); ++i) {
    const char* gap = i == 0 ? "" : i + 1 == policies.size() ? " or " : ", ";
    readable += gap + policies[i].readable;
    keywords += gap + policies[i].keyword;
  }
  return readable + " (or " + keywords + ")";
}

struct LinkSubsetArgs {
  std::int32_t links = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  std::int32_t calls = 100000;
  std::int64_t seed = 0;
  std::vector<TrafficClass> classes;
  std::string policy = "max-free";
  OutputOptions output;
};

}  // namespace

void AddMultiserviceSimulationCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<LinkSubsetArgs>();
  auto* sim = app.add_subcommand(
      "simulate-link-subset",
      "Simulate multi-rate calls on k links of f units, each call offered to a random "
      "subset of g links");
  AddGroupOptions(*sim, args->links, args->units, args->classes);
  AddCount(*sim, "-g,--subset", args->subset, "Links offered to each call, at most --links")
      ->type_name("COUNT")
      ->required();
  AddCount(*sim, "-N,--calls", args->calls, "Number of calls to simulate (default 100000)")
      ->type_name("COUNT");
  sim->add_option("--policy", args->policy,
                  "Link choice: " + PolicyNames() + "; default " + Policies().front().readable)
      ->check(CLI::Validator(
          [](std::string& input) -> std::string {
            if (FindPolicy(input) != nullptr) return {};
            return "accepts " + PolicyNames() + ", not '" + input + "'";
          },
          ""))
      ->type_name("POLICY");
  AddSeed(*sim, args->seed, "(the default) seeds from the random device");
  AddOutputOptions(*sim, args->output);
  Describe(commands, *sim, {"links", "units", "subset", "calls", "seed"}, ResultShape::kPerClass);
  OnRun(commands, *sim, [args, &answers] {
    std::vector<double> a, t;
    SplitClasses(args->classes, a, t);
    std::vector<double> blocking(a.size()), carried(a.size());
    const DescribedPolicy& policy = *FindPolicy(args->policy);
    CheckDescribed(
        moravel_simulate_link_subset(
            a.data(), static_cast<std::int32_t>(a.size()), t.data(), args->links, args->units,
            args->subset, args->calls, static_cast<moravel_link_policy>(policy.code),
            static_cast<std::uint32_t>(args->seed), blocking.data(), carried.data()),
        "moravel_simulate_link_subset");
    answers.push_back(
        {ClassReport("Link-subset simulation, " + std::to_string(args->calls) +
                         " calls on k = " + std::to_string(args->links) + " links of f = " +
                         std::to_string(args->units) + " units, each offered to g = " +
                         std::to_string(args->subset) + ", policy " + policy.keyword,
                     {Count("links", "links", args->links), Count("units", "units", args->units),
                      Count("subset", "subset", args->subset), Count("calls", "calls", args->calls),
                      Text("policy", "policy", policy.keyword),
                      Count("seed", "seed", static_cast<double>(args->seed))},
                     args->classes, blocking, carried),
         args->output});
  });
}

void DemoMultiserviceSimulation(std::ostream& out) {
  const double traffic[3] = {20.0, 5.0, 2.0};
  const double demand[3] = {1.0, 2.0, 6.0};
  out << "Multi-service simulation (seed 7: the same figures in every run)\n";
  out << "  4 links x 30 units, calls offered to 2 links; classes 20 erl x 1 unit,\n"
      << "  5 erl x 2 units, 2 erl x 6 units; 200000 calls; blocking and carried units:\n";
  for (const DescribedPolicy& policy : Policies()) {
    double b[3], c[3];
    moravel_simulate_link_subset(traffic, 3, demand, 4, 30, 2, 200000,
                                 static_cast<moravel_link_policy>(policy.code), 7u, b, c);
    out << "    " << policy.keyword << ":\n";
    for (int i = 0; i < 3; ++i) {
      out << "       class " << i << " (" << FormatNumber(traffic[i]) << " erl x "
          << FormatNumber(demand[i]) << (demand[i] == 1.0 ? " unit" : " units")
          << "): " << Figures({{"blocking", b[i]}, {"carried", c[i], "units"}}) << '\n';
    }
  }
}

}  // namespace moravel_tool
