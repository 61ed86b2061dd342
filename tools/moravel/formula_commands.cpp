// The worked examples of the scalar formulas for `moravel demo`.  The
// formulas' subcommands (erlang-b, erlang-c, engset, erlang-b-direct,
// erlang-b-ratio) are described commands: see described_command.h.
#include <ostream>

#include "commands.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {

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
