#include "reference/erlang_direct_reference.h"

#include <cmath>

#include "formulas/correctly_rounded_power.h"

namespace moravel::reference {

double Factorial(std::int32_t n) {
  if (n < 0) return 0.0;
  if (n == 0 || n == 1) return 1.0;
  double product = 1.0;
  for (std::int32_t j = 1; j <= n; ++j) product = product * static_cast<double>(j);
  return product;
}

double E(std::int32_t V, double A) {
  // The library's power for the direct form: pow itself where that is
  // correctly rounded on these arguments, the library's own elsewhere.
  const double p = DirectFormPower(A, V);
  if (V < 0) return (p / 0.0) / 0.0;
  const double numerator = p / Factorial(V);
  double S = 0.0;
  for (std::int32_t k = 0; k <= V; ++k) S = S + DirectFormPower(A, k) / Factorial(k);
  return numerator / S;
}

}  // namespace moravel::reference
