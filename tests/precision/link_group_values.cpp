// Prints the link-group and link-subset models' results at full precision
// for groups read from standard input, one per line:
//   group  k f M a_0 t_0 ... a_(M-1) t_(M-1)
//   subset k f g M a_0 t_0 ...
// Output: one line per group, E_0 C_0 E_1 C_1 ... as %.17g, or "refused".
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string model;
    std::int32_t k = 0, f = 0, g = 0, M = 0;
    in >> model >> k >> f;
    if (model == "subset") in >> g;
    in >> M;
    std::vector<double> a(static_cast<std::size_t>(M)), t(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) in >> a[i] >> t[i];
    const std::optional<moravel::ClassResults> results =
        model == "subset" ? moravel::LinkSubsetModel(a.data(), M, t.data(), k, f, g)
                          : moravel::LinkGroupModel(a.data(), M, t.data(), k, f);
    if (!results) {
      std::puts("refused");
      continue;
    }
    for (std::size_t i = 0; i < results->E.size(); ++i) {
      std::printf("%.17g %.17g ", results->E[i], results->C[i]);
    }
    std::puts("");
  }
  return 0;
}
