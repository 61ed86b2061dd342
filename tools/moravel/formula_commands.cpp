// Subcommands of the scalar formulas: erlang-b, erlang-c, engset,
// erlang-b-direct, erlang-b-ratio.
#include <iomanip>
#include <memory>

#include "arguments.h"
#include "commands.h"
#include "moravel.h"
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

Report Scalar(std::string title, std::string name, std::string label, double value) {
  return {std::move(title), {{{std::move(name), std::move(label), "", value}}}, ""};
}

std::string Of(double traffic, std::int32_t servers) {
  return "V = " + std::to_string(servers) + " servers, A = " + FormatNumber(traffic) +
         " erlangs";
}

}  // namespace

void AddFormulaCommands(CLI::App& app) {
  auto args = std::make_shared<FormulaArgs>();

  auto* b = app.add_subcommand("erlang-b", "Erlang loss formula B(V, A), by recursion");
  AddCount(*b, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*b, "-A,--traffic", args->traffic, "Offered traffic [erlang]", 0.0)->required();
  AddOutputOptions(*b, args->output);
  b->callback([args] {
    Print(Scalar("Erlang loss formula, " + Of(args->traffic, args->servers), "loss",
                 "loss probability", PalmTable(args->servers, args->traffic)),
          args->output);
  });

  auto* c = app.add_subcommand("erlang-c", "Erlang delay formula C(V, A)");
  AddCount(*c, "-V,--servers", args->servers, "Number of servers", 1)->required();
  AddReal(*c, "-A,--traffic", args->traffic, "Offered traffic [erlang]", 0.0)->required();
  AddOutputOptions(*c, args->output);
  c->callback([args] {
    Print(Scalar("Erlang delay formula, " + Of(args->traffic, args->servers), "wait",
                 "probability of waiting", ErlangFormula2(args->servers, args->traffic)),
          args->output);
  });

  auto* e = app.add_subcommand("engset", "Engset call congestion of N sources on V servers");
  AddCount(*e, "-N,--sources", args->sources, "Number of traffic sources", 0)->required();
  AddCount(*e, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*e, "-a,--traffic-per-source", args->traffic,
          "Offered traffic per source [erlang], below 1", 0.0)
      ->required();
  AddOutputOptions(*e, args->output);
  e->callback([args] {
    Print(Scalar("Engset formula, N = " + std::to_string(args->sources) + " sources, V = " +
                     std::to_string(args->servers) + " servers, a = " +
                     FormatNumber(args->traffic) + " erlangs per source",
                 "loss", "call congestion",
                 EngsetTable(args->sources, args->servers, args->traffic)),
          args->output);
  });

  auto* d = app.add_subcommand("erlang-b-direct",
                               "Erlang loss formula in direct form (powers and factorials)");
  AddCount(*d, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*d, "-A,--traffic", args->traffic, "Offered traffic [erlang]", 0.0)->required();
  AddOutputOptions(*d, args->output);
  d->callback([args] {
    Print(Scalar("Erlang loss formula (direct form), " + Of(args->traffic, args->servers),
                 "loss", "loss probability", E(args->servers, args->traffic)),
          args->output);
  });

  auto* r = app.add_subcommand("erlang-b-ratio", "Ratio E(V, A) / E(V - i, A)");
  AddCount(*r, "-V,--servers", args->servers, "Number of servers", 0)->required();
  AddReal(*r, "-A,--traffic", args->traffic, "Offered traffic [erlang]", 0.0)->required();
  AddCount(*r, "-i,--fewer", args->fewer, "Servers fewer in the divisor", 0)->required();
  AddOutputOptions(*r, args->output);
  r->callback([args] {
    Print(Scalar("Erlang loss ratio E(" + std::to_string(args->servers) + ", A) / E(" +
                     std::to_string(args->servers - args->fewer) +
                     ", A), A = " + FormatNumber(args->traffic) + " erlangs",
                 "ratio", "ratio", Hi(args->servers, args->traffic, args->fewer)),
          args->output);
  });
}

void DemoFormulas(std::ostream& out) {
  out << "Scalar formulas\n";
  out << "  Erlang B, 10 servers, 5 erlangs:          " << FormatNumber(PalmTable(10, 5.0)) << '\n';
  out << "  Erlang B, 30 servers, 20 erlangs:         " << FormatNumber(PalmTable(30, 20.0)) << '\n';
  out << "  Erlang B direct form, 13 servers, 5 erl:  " << FormatNumber(E(13, 5.0))
      << "  (recursion: " << FormatNumber(PalmTable(13, 5.0)) << ")\n";
  out << "  Erlang C, 10 servers, 5 erlangs:          " << FormatNumber(ErlangFormula2(10, 5.0)) << '\n';
  out << "  Engset, 10 sources of 0.2 erl, 5 servers: " << FormatNumber(EngsetTable(10, 5, 0.2)) << '\n';
  out << "  Ratio E(5, 3) / E(3, 3):                  " << FormatNumber(Hi(5, 3.0, 2)) << '\n';
}

}  // namespace moravel_tool
