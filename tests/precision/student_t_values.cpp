// Prints "DOF QUANTILE" for the degrees of freedom given as arguments: the
// t quantiles of the tool's `compare`, for student_t_reference.py.
#include <cstdio>
#include <cstdlib>

#include "student_t.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const auto dof = static_cast<std::int32_t>(std::strtol(argv[i], nullptr, 10));
    std::printf("%d %.17g\n", dof, moravel_tool::StudentT95(dof));
  }
  return 0;
}
