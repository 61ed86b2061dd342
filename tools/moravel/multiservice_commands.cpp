// Subcommands of the multi-service analytic models: link-group and
// link-subset, each taking its traffic classes as repeated
// --class TRAFFIC:DEMAND options.
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

struct MultiserviceArgs {
  std::int32_t links = 0;
  std::int32_t units = 0;
  std::int32_t subset = 0;
  std::vector<TrafficClass> classes;
  OutputOptions output;
};

std::string GroupTitle(const MultiserviceArgs& args) {
  return "k = " + std::to_string(args.links) + " links of f = " + std::to_string(args.units) +
         " units";
}

}  // namespace

Report ClassReport(std::string title, std::vector<Figure> inputs,
                   const std::vector<TrafficClass>& classes, const std::vector<double>& blocking,
                   const std::vector<double>& carried) {
  Report report{std::move(title), std::move(inputs), {}};
  report.identifiers = 3;
  for (std::size_t i = 0; i < classes.size(); ++i) {
    report.rows.push_back({Count("class", "class", static_cast<double>(i)),
                           {"traffic", "offered", "erlang", classes[i].traffic},
                           Count("demand", "demand", classes[i].demand, "units"),
                           {"blocking", "blocking", "", blocking[i]},
                           {"carried", "carried", "units", carried[i]}});
  }
  return report;
}

void AddGroupOptions(CLI::App& command, std::int32_t& links, std::int32_t& units,
                     std::vector<TrafficClass>& classes) {
  AddCount(command, "-k,--links", links, "Number of links in the group")
      ->type_name("COUNT")
      ->required();
  AddCount(command, "-f,--units", units, "Allocation units per link")
      ->type_name("COUNT")
      ->required();
  AddClasses(command, classes);
}

void SplitClasses(const std::vector<TrafficClass>& classes, std::vector<double>& traffic,
                  std::vector<double>& demand) {
  traffic.clear();
  demand.clear();
  for (const TrafficClass& c : classes) {
    traffic.push_back(c.traffic);
    demand.push_back(c.demand);
  }
}

void AddMultiserviceCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<MultiserviceArgs>();

  auto* group = app.add_subcommand(
      "link-group", "Classes of calls on k separate links: blocking when no link fits a call");
  AddGroupOptions(*group, args->links, args->units, args->classes);
  AddOutputOptions(*group, args->output);
  Describe(commands, *group, {"links", "units"}, ResultShape::kPerClass);
  OnRun(commands, *group, [args, &answers] {
    std::vector<double> a, t;
    SplitClasses(args->classes, a, t);
    std::vector<double> blocking(a.size()), carried(a.size());
    CheckDescribed(moravel_link_group(a.data(), static_cast<std::int32_t>(a.size()), t.data(),
                                      args->links, args->units, blocking.data(), carried.data()),
                   "moravel_link_group");
    answers.push_back(
        {ClassReport("Link group, " + GroupTitle(*args),
                     {Count("links", "links", args->links), Count("units", "units", args->units)},
                     args->classes, blocking, carried),
         args->output});
  });

  auto* subset = app.add_subcommand(
      "link-subset",
      "Classes of calls offered to g of k separate links: blocking when none of the g fits");
  AddGroupOptions(*subset, args->links, args->units, args->classes);
  AddCount(*subset, "-g,--subset", args->subset, "Links each call is offered to, at most --links")
      ->type_name("COUNT")
      ->required();
  AddOutputOptions(*subset, args->output);
  Describe(commands, *subset, {"links", "units", "subset"}, ResultShape::kPerClass);
  OnRun(commands, *subset, [args, &answers] {
    std::vector<double> a, t;
    SplitClasses(args->classes, a, t);
    std::vector<double> blocking(a.size()), carried(a.size());
    CheckDescribed(
        moravel_link_subset(a.data(), static_cast<std::int32_t>(a.size()), t.data(), args->links,
                            args->units, args->subset, blocking.data(), carried.data()),
        "moravel_link_subset");
    answers.push_back(
        {ClassReport("Link subset, " + GroupTitle(*args) +
                         ", each call offered to g = " + std::to_string(args->subset),
                     {Count("links", "links", args->links), Count("units", "units", args->units),
                      Count("subset", "subset", args->subset)},
                     args->classes, blocking, carried),
         args->output});
  });
}

void DemoMultiservice(std::ostream& out) {
  const double a[2] = {2.0, 1.0};
  const double t[2] = {1.0, 2.0};
  const double a3[2] = {3.0, 1.0};
  const double a4[4] = {20.0, 8.0, 4.0, 2.0};
  const double t4[4] = {1.0, 2.0, 4.0, 6.0};
  double b[4], c[4];
  // One line per class: what it offers, then its blocking and carried units.
  auto classes = [&out, &b, &c](std::int32_t m, const double* traffic, const double* demand) {
    for (std::int32_t i = 0; i < m; ++i) {
      out << "       class " << i << " (" << FormatNumber(traffic[i]) << " erl x "
          << FormatNumber(demand[i]) << (demand[i] == 1.0 ? " unit" : " units")
          << "): " << Figures({{"blocking", b[i]}, {"carried", c[i], "units"}}) << '\n';
    }
  };
  out << "Multi-service link groups\n";
  out << "  2 links of 5 units, 2 erl x 1 unit + 1 erl x 2 units:\n";
  moravel_link_group(a, 2, t, 2, 5, b, c);
  out << "     whole group:\n";
  classes(2, a, t);
  moravel_link_subset(a, 2, t, 2, 5, 1, b, c);
  out << "     offered to 1 link:\n";
  classes(2, a, t);
  out << "  3 links of 4 units, 3 erl x 1 unit + 1 erl x 2 units, offered to 2 links:\n";
  moravel_link_subset(a3, 2, t, 3, 4, 2, b, c);
  classes(2, a3, t);
  out << "  4 links of 30 units, 20/8/4/2 erl x 1/2/4/6 units:\n";
  moravel_link_group(a4, 4, t4, 4, 30, b, c);
  out << "     whole group:\n";
  classes(4, a4, t4);
  moravel_link_subset(a4, 4, t4, 4, 30, 2, b, c);
  out << "     offered to 2 links:\n";
  classes(4, a4, t4);
}

}  // namespace moravel_tool
