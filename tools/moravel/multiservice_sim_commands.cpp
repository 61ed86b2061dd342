// Subcommand of the multi-service simulation: simulate-link-subset.
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "moravel.h"
#include "report.h"

namespace moravel_tool {
namespace {

// The library's link-choice keywords and the names the tool gives them.
const std::map<std::string, std::string>& PolicyKeywords() {
  static const std::map<std::string, std::string> keywords{
      {"max-free", "МаксСвоб"}, {"min-free", "МинСвоб"}, {"first-free", "ПервСвоб"},
      {"МаксСвоб", "МаксСвоб"}, {"МинСвоб", "МинСвоб"}, {"ПервСвоб", "ПервСвоб"}};
  return keywords;
}

struct TrafficClass {
  double traffic;
  double demand;
};

// "TRAFFIC:DEMAND": two finite numbers of at least 0, the demand below 2^31.
bool ParseClass(const std::string& text, TrafficClass& out) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string traffic = text.substr(0, colon);
  const std::string demand = text.substr(colon + 1);
  if (traffic.empty() || demand.empty()) return false;
  char* end = nullptr;
  out.traffic = std::strtod(traffic.c_str(), &end);
  if (*end != '\0' || !std::isfinite(out.traffic) || out.traffic < 0.0) return false;
  out.demand = std::strtod(demand.c_str(), &end);
  if (*end != '\0' || !std::isfinite(out.demand) || out.demand < 0.0 ||
      out.demand >= 2147483648.0) {
    return false;
  }
  return true;
}

CLI::Validator ClassSpec() {
  return CLI::Validator(
      [](std::string& input) -> std::string {
        TrafficClass parsed{};
        if (!ParseClass(input, parsed)) {
          return "accepts TRAFFIC:DEMAND, two finite numbers of at least 0 (demand below "
                 "2147483648), not '" + input + "'";
        }
        return {};
      },
      "TRAFFIC:DEMAND");
}

// C(k, g) capped: true when it stays below 2^31.  The partial coefficients
// C(k, i), i <= min(g, k - g), only grow, so stopping at the cap is safe.
bool SubsetCountFits(std::int64_t k, std::int64_t g) {
  const std::int64_t steps = std::min(g, k - g);
  std::uint64_t c = 1;
  for (std::int64_t i = 0; i < steps; ++i) {
    c = c * static_cast<std::uint64_t>(k - i) / static_cast<std::uint64_t>(i + 1);
    if (c >= 2147483648ULL) return false;
  }
  return true;
}

struct LinkSubsetArgs {
  std::int32_t links = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  std::int32_t calls = 100000;
  std::vector<std::string> classes;
  std::string policy = "max-free";
  OutputOptions output;
};

}  // namespace

void AddMultiserviceSimulationCommands(CLI::App& app) {
  auto args = std::make_shared<LinkSubsetArgs>();
  auto* sim = app.add_subcommand(
      "simulate-link-subset",
      "Simulate multi-rate calls on k links of f units, each call offered to a random "
      "subset of g links");
  AddCount(*sim, "-k,--links", args->links, "Number of links", 1)->required();
  AddCount(*sim, "-f,--units", args->units, "Allocation units per link", 1)->required();
  AddCount(*sim, "-g,--subset", args->subset, "Links offered to each call (1 to k)", 1)
      ->required();
  sim->add_option("--class", args->classes,
                  "A traffic class as TRAFFIC:DEMAND (erlangs : units per call); repeat "
                  "for each class")
      ->check(ClassSpec())
      ->required();
  AddCount(*sim, "-N,--calls", args->calls, "Number of calls to simulate (default 100000)", 1);
  sim->add_option("--policy", args->policy,
                  "Link choice: max-free, min-free or first-free (or МаксСвоб, МинСвоб, "
                  "ПервСвоб); default max-free")
      ->check(CLI::IsMember(PolicyKeywords()));
  AddOutputOptions(*sim, args->output);
  sim->callback([args] {
    if (args->subset > args->links) {
      throw CLI::ValidationError("--subset", "must not exceed --links (" +
                                                 std::to_string(args->links) + "), not " +
                                                 std::to_string(args->subset));
    }
    if (static_cast<std::int64_t>(args->links) * args->units > kMaxCount) {
      throw CLI::ValidationError("--units", "links x units must stay within " +
                                                std::to_string(kMaxCount));
    }
    if (!SubsetCountFits(args->links, args->subset)) {
      throw CLI::ValidationError("--subset", "C(links, subset) must stay below 2147483648");
    }
    std::vector<double> traffic;
    std::vector<double> demand;
    for (const std::string& option : args->classes) {
      TrafficClass parsed{};
      ParseClass(option, parsed);  // checked by the validator
      traffic.push_back(parsed.traffic);
      demand.push_back(parsed.demand);
    }
    double total = 0.0;
    for (double a : traffic) total += a;
    if (!(total > 0.0) || !std::isfinite(total)) {
      throw CLI::ValidationError("--class", "needs some traffic: the traffics must sum to a "
                                            "finite number above 0");
    }
    const std::string& keyword = PolicyKeywords().at(args->policy);
    const char* text = VM_VMl_VDg_L_im(traffic.data(), static_cast<std::int32_t>(traffic.size()),
                                       demand.data(), args->links, args->units, args->subset,
                                       args->calls, keyword.c_str());
    const auto n = ParseResultText(text);
    Report report{"Link-subset simulation, " + std::to_string(args->calls) + " calls on k = " +
                      std::to_string(args->links) + " links of f = " +
                      std::to_string(args->units) + " units, each offered to g = " +
                      std::to_string(args->subset) + ", policy " + keyword,
                  {},
                  text};
    for (std::size_t c = 0; c + 1 < n.size() && c / 2 < traffic.size(); c += 2) {
      report.rows.push_back({{"class", "class", "", static_cast<double>(c / 2)},
                             {"traffic", "offered", "erlang", traffic[c / 2]},
                             {"demand", "demand", "units", demand[c / 2]},
                             {"blocking", "blocking", "", n[c]},
                             {"carried", "carried", "units", n[c + 1]}});
    }
    Print(report, args->output);
  });
}

void DemoMultiserviceSimulation(std::ostream& out) {
  const double traffic[3] = {20.0, 5.0, 2.0};
  const double demand[3] = {1.0, 2.0, 6.0};
  out << "Multi-service simulation (random-device seeded: every run differs)\n";
  out << "  4 links x 30 units, calls offered to 2 links; classes 20 erl x 1 unit,\n"
      << "  5 erl x 2 units, 2 erl x 6 units; 200000 calls; E0 C0 E1 C1 E2 C2:\n";
  for (const char* keyword : {"МаксСвоб", "МинСвоб", "ПервСвоб"}) {
    out << "    " << keyword << ": \""
        << VM_VMl_VDg_L_im(traffic, 3, demand, 4, 30, 2, 200000, keyword) << "\"\n";
  }
}

}  // namespace moravel_tool
