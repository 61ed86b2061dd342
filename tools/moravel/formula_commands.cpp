// Subcommands of the scalar formulas: erlang-b, erlang-c, engset,
// erlang-b-direct, erlang-b-ratio.
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

struct FormulaArgs {
  std::int32_t servers = 0;
  std::int32_t sources = 0;
  std::int32_t fewer = 0;
  double traffic = 0.0;
  OutputOptions output;
};

Report Scalar(std::string title, std::vector<Figure> inputs, std::string name, std::string label,
              double value) {
  return {std::move(title), std::move(inputs), {{{std::move(name), std::move(label), "", value}}}};
}

std::string Of(double traffic, std::int32_t servers) {
  return "V = " + std::to_string(servers) + " servers, A = " + FormatNumber(traffic) + " erlangs";
}

std::vector<Figure> ServersAndTraffic(const FormulaArgs& args) {
  return {Count("servers", "servers", args.servers),
          {"traffic", "traffic", "erlang", args.traffic}};
}

}  // namespace

void AddFormulaCommands(CLI::App& app, ModelCommands& commands) {
  std::vector<Answer>& answers = commands.answers;
  auto args = std::make_shared<FormulaArgs>();

  auto* b = app.add_subcommand("erlang-b", "Erlang loss formula B(V, A), by recursion");
  AddServers(*b, args->servers)->required();
  AddTraffic(*b, args->traffic)->required();
  AddOutputOptions(*b, args->output);
  Describe(commands, *b, {"servers", "traffic"}, ResultShape::kScalar);
  OnRun(commands, *b, [args, &answers] {
    double loss = 0.0;
    CheckDescribed(moravel_erlang_b(args->servers, args->traffic, &loss), "moravel_erlang_b");
    answers.push_back({Scalar("Erlang loss formula, " + Of(args->traffic, args->servers),
                              ServersAndTraffic(*args), "loss", "loss probability", loss),
                       args->output});
  });

  auto* c = app.add_subcommand("erlang-c", "Erlang delay formula C(V, A), A below V");
  AddServers(*c, args->servers)->required();
  AddTraffic(*c, args->traffic)->required();
  AddOutputOptions(*c, args->output);
  Describe(commands, *c, {"servers", "traffic"}, ResultShape::kScalar);
  OnRun(commands, *c, [args, &answers] {
    double wait = 0.0;
    CheckDescribed(moravel_erlang_c(args->servers, args->traffic, &wait), "moravel_erlang_c");
    answers.push_back(
        {Scalar("Erlang delay formula, " + Of(args->traffic, args->servers),
                ServersAndTraffic(*args), "wait_probability", "probability of waiting", wait),
         args->output});
  });

  auto* e = app.add_subcommand("engset", "Engset call congestion of N sources on V servers");
  AddSources(*e, args->sources)->required();
  AddServers(*e, args->servers)->required();
  AddTrafficPerSource(*e, args->traffic)->required();
  AddOutputOptions(*e, args->output);
  Describe(commands, *e, {"sources", "servers", "traffic-per-source"}, ResultShape::kScalar);
  OnRun(commands, *e, [args, &answers] {
    double loss = 0.0;
    CheckDescribed(moravel_engset(args->sources, args->servers, args->traffic, &loss),
                   "moravel_engset");
    answers.push_back(
        {Scalar("Engset formula, N = " + std::to_string(args->sources) +
                    " sources, V = " + std::to_string(args->servers) +
                    " servers, a = " + FormatNumber(args->traffic) + " erlangs per source",
                {Count("sources", "sources", args->sources),
                 Count("servers", "servers", args->servers),
                 {"traffic_per_source", "traffic per source", "erlang", args->traffic}},
                "loss", "call congestion", loss),
         args->output});
  });

  auto* d = app.add_subcommand("erlang-b-direct",
                               "Erlang loss formula in direct form (powers and factorials)");
  AddServers(*d, args->servers)->required();
  AddTraffic(*d, args->traffic)->required();
  AddOutputOptions(*d, args->output);
  Describe(commands, *d, {"servers", "traffic"}, ResultShape::kScalar);
  OnRun(commands, *d, [args, &answers] {
    double loss = 0.0;
    CheckDescribed(moravel_erlang_b_direct(args->servers, args->traffic, &loss),
                   "moravel_erlang_b_direct");
    answers.push_back(
        {Scalar("Erlang loss formula (direct form), " + Of(args->traffic, args->servers),
                ServersAndTraffic(*args), "loss", "loss probability", loss),
         args->output});
  });

  auto* r = app.add_subcommand("erlang-b-ratio", "Ratio E(V, A) / E(V - i, A), in direct form");
  AddServers(*r, args->servers)->required();
  AddTraffic(*r, args->traffic)->required();
  AddCount(*r, "-i,--fewer", args->fewer, "Servers fewer in the divisor")->required();
  AddOutputOptions(*r, args->output);
  Describe(commands, *r, {"servers", "traffic", "fewer"}, ResultShape::kScalar);
  OnRun(commands, *r, [args, &answers] {
    double ratio = 0.0;
    CheckDescribed(moravel_erlang_b_ratio(args->servers, args->traffic, args->fewer, &ratio),
                   "moravel_erlang_b_ratio");
    answers.push_back({Scalar("Erlang loss ratio E(" + std::to_string(args->servers) + ", A) / E(" +
                                  std::to_string(args->servers - args->fewer) +
                                  ", A), A = " + FormatNumber(args->traffic) + " erlangs",
                              {Count("servers", "servers", args->servers),
                               {"traffic", "traffic", "erlang", args->traffic},
                               Count("fewer", "fewer", args->fewer)},
                              "ratio", "ratio", ratio),
                       args->output});
  });
}

void DemoFormulas(std::ostream& out) {
  auto b = [](std::int32_t v, double a) {
    double x = 0;
    moravel_erlang_b(v, a, &x);
    return FormatNumber(x);
  };
  double c = 0, engset = 0, direct = 0, ratio = 0;
  moravel_erlang_c(10, 5.0, &c);
  moravel_engset(10, 5, 0.2, &engset);
  moravel_erlang_b_direct(13, 5.0, &direct);
  moravel_erlang_b_ratio(5, 3.0, 2, &ratio);
  out << "Scalar formulas\n";
  out << "  Erlang B, 10 servers, 5 erlangs:          " << b(10, 5.0) << '\n';
  out << "  Erlang B, 30 servers, 20 erlangs:         " << b(30, 20.0) << '\n';
  out << "  Erlang B direct form, 13 servers, 5 erl:  " << FormatNumber(direct)
      << "  (recursion: " << b(13, 5.0) << ")\n";
  out << "  Erlang C, 10 servers, 5 erlangs:          " << FormatNumber(c) << '\n';
  out << "  Engset, 10 sources of 0.2 erl, 5 servers: " << FormatNumber(engset) << '\n';
  out << "  Ratio E(5, 3) / E(3, 3):                  " << FormatNumber(ratio) << '\n';
}

}  // namespace moravel_tool
