// Prints "DOF QUANTILE" for the degrees of freedom given as arguments: the
// library's two-sided 95% t quantiles, for student_t_reference.py.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "moravel/api.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const auto dof = static_cast<std::int32_t>(std::strtol(argv[i], nullptr, 10));
    double t = 0.0;
    if (moravel_student_t_quantile(dof, 0.95, &t) != MORAVEL_OK) return 1;
    std::printf("%d %.17g\n", dof, t);
  }
  return 0;
}
