// Prints the second interface's priority-class losses and direct-form
// ratios at full precision for cases read from standard input, one a line:
//   priority V M a_0 ... a_(M-1)   ->  E_0 Y_0 E_1 Y_1 ... (%.17g), or "refused S"
//   ratio V A i                    ->  ratio (%.17g), or "refused S"
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "moravel/api.h"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    if (kind == "priority") {
      std::int32_t V = 0, M = 0;
      in >> V >> M;
      std::vector<double> a(static_cast<std::size_t>(M)), E(a.size()), Y(a.size());
      for (double& x : a) in >> x;
      const moravel_status status = moravel_loss_priority(M, V, a.data(), E.data(), Y.data());
      if (status != MORAVEL_OK) {
        std::printf("refused %d\n", status);
        continue;
      }
      for (std::size_t j = 0; j < a.size(); ++j) std::printf("%.17g %.17g ", E[j], Y[j]);
      std::puts("");
    } else {
      std::int32_t V = 0, i = 0;
      double A = 0.0;
      in >> V >> A >> i;
      double ratio = 0.0;
      const moravel_status status = moravel_erlang_b_ratio(V, A, i, &ratio);
      if (status != MORAVEL_OK) {
        std::printf("refused %d\n", status);
      } else {
        std::printf("%.17g\n", ratio);
      }
    }
  }
  return 0;
}
