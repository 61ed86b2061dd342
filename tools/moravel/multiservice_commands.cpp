// Subcommands of the multi-service analytic models: link-group and
// link-subset, each taking its traffic classes as repeated
// --class TRAFFIC:DEMAND options.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "moravel.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct TrafficClass {
  double traffic = 0.0;  // erlangs
  double demand = 0.0;   // allocation units per call
};

struct MultiserviceArgs {
  std::int32_t links = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  std::vector<std::string> classes;
  OutputOptions output;
};

// A finite number of at least 0 spelling the whole of `text`.
bool ParseNonNegative(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno != ERANGE && std::isfinite(value) && value >= 0.0;
}

bool ParseClass(const std::string& text, TrafficClass& parsed) {
  const auto colon = text.find(':');
  return colon != std::string::npos &&
         ParseNonNegative(text.substr(0, colon), parsed.traffic) &&
         ParseNonNegative(text.substr(colon + 1), parsed.demand);
}

CLI::Validator TrafficClassSpec() {
  return CLI::Validator(
      [](std::string& input) -> std::string {
        TrafficClass parsed;
        if (!ParseClass(input, parsed)) {
          return "accepts TRAFFIC:DEMAND, two finite numbers of at least 0 (erlangs and "
                 "units per call), not '" + input + "'";
        }
        return {};
      },
      "TRAFFIC:DEMAND");
}

std::vector<TrafficClass> Classes(const MultiserviceArgs& args) {
  std::vector<TrafficClass> classes(args.classes.size());
  for (std::size_t i = 0; i < classes.size(); ++i) ParseClass(args.classes[i], classes[i]);
  return classes;
}

// The group must fit the library's 32-bit unit count.
void CheckGroupSize(const MultiserviceArgs& args) {
  if (std::int64_t{args.links} * args.units > std::numeric_limits<std::int32_t>::max()) {
    throw CLI::ValidationError(
        "--links x --units", std::to_string(args.links) + " x " + std::to_string(args.units) +
                                 " = " + std::to_string(std::int64_t{args.links} * args.units) +
                                 " units, more than the 2147483647 a group can hold");
  }
}

std::string GroupTitle(const MultiserviceArgs& args) {
  return "k = " + std::to_string(args.links) + " links of f = " + std::to_string(args.units) +
         " units";
}

void PrintClasses(std::string title, const std::vector<TrafficClass>& classes, const char* text,
                  const OutputOptions& output) {
  const auto n = ParseResultText(text);
  if (n.size() != 2 * classes.size()) {
    throw CLI::ValidationError(
        "link group", "beyond what the model evaluates: at most 16777216 units in all, 1 GiB "
                      "of tables and 2^30 steps (fewer links, units or distinct demands)");
  }
  Report report{std::move(title), {}, text};
  for (std::size_t i = 0; i < classes.size(); ++i) {
    report.rows.push_back({{"class", "class", "", static_cast<double>(i)},
                           {"traffic", "offered", "erlang", classes[i].traffic},
                           {"demand", "demand", "units", classes[i].demand},
                           {"blocking", "blocking", "", n[2 * i]},
                           {"carried", "carried", "units", n[2 * i + 1]}});
  }
  Print(report, output);
}

void AddGroupOptions(CLI::App& command, MultiserviceArgs& args) {
  AddCount(command, "-k,--links", args.links, "Number of links in the group", 1)->required();
  AddCount(command, "-f,--units", args.units, "Allocation units per link", 1)->required();
  command
      .add_option("--class", args.classes,
                  "A traffic class: offered traffic [erlang] and demand per call [units], "
                  "as TRAFFIC:DEMAND; repeat for each class")
      ->check(TrafficClassSpec())
      ->required();
}

}  // namespace

void AddMultiserviceCommands(CLI::App& app) {
  auto args = std::make_shared<MultiserviceArgs>();

  auto* group = app.add_subcommand(
      "link-group", "Classes of calls on k separate links: blocking when no link fits a call");
  AddGroupOptions(*group, *args);
  AddOutputOptions(*group, args->output);
  group->callback([args] {
    CheckGroupSize(*args);
    const auto classes = Classes(*args);
    std::vector<double> a, t;
    for (const TrafficClass& c : classes) {
      a.push_back(c.traffic);
      t.push_back(c.demand);
    }
    PrintClasses("Link group, " + GroupTitle(*args), classes,
                 VM_VMl_V_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(),
                               args->links, args->units),
                 args->output);
  });

  auto* subset = app.add_subcommand(
      "link-subset",
      "Classes of calls offered to g of k separate links: blocking when none of the g fits");
  AddGroupOptions(*subset, *args);
  AddCount(*subset, "-g,--subset", args->subset, "Links each call is offered to, 1 to --links",
           1)
      ->required();
  AddOutputOptions(*subset, args->output);
  subset->callback([args] {
    CheckGroupSize(*args);
    if (args->subset > args->links) {
      throw CLI::ValidationError("--subset", "accepts 1 to --links (" +
                                                 std::to_string(args->links) + "), not " +
                                                 std::to_string(args->subset));
    }
    const auto classes = Classes(*args);
    std::vector<double> a, t;
    for (const TrafficClass& c : classes) {
      a.push_back(c.traffic);
      t.push_back(c.demand);
    }
    PrintClasses("Link subset, " + GroupTitle(*args) + ", each call offered to g = " +
                     std::to_string(args->subset),
                 classes,
                 VM_VMl_VDg_L_an(a.data(), static_cast<std::int32_t>(a.size()), t.data(),
                                 args->links, args->units, args->subset),
                 args->output);
  });
}

void DemoMultiservice(std::ostream& out) {
  const double a[2] = {2.0, 1.0};
  const double t[2] = {1.0, 2.0};
  const double a3[2] = {3.0, 1.0};
  const double a4[4] = {20.0, 8.0, 4.0, 2.0};
  const double t4[4] = {1.0, 2.0, 4.0, 6.0};
  out << "Multi-service link groups (result text as returned: blocking, carried units per class)\n";
  out << "  2 links of 5 units, 2 erl x 1 unit + 1 erl x 2 units:\n";
  out << "     whole group:            \"" << VM_VMl_V_L_an(a, 2, t, 2, 5) << "\"\n";
  out << "     offered to 1 link:      \"" << VM_VMl_VDg_L_an(a, 2, t, 2, 5, 1) << "\"\n";
  out << "  3 links of 4 units, 3 erl x 1 unit + 1 erl x 2 units, offered to 2 links:\n";
  out << "                             \"" << VM_VMl_VDg_L_an(a3, 2, t, 3, 4, 2) << "\"\n";
  out << "  4 links of 30 units, 20/8/4/2 erl x 1/2/4/6 units:\n";
  out << "     whole group:            \"" << VM_VMl_V_L_an(a4, 4, t4, 4, 30) << "\"\n";
  out << "     offered to 2 links:     \"" << VM_VMl_VDg_L_an(a4, 4, t4, 4, 30, 2) << "\"\n";
}

}  // namespace moravel_tool
