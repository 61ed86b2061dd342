#include "formulas/erlang_direct.h"

#include <cmath>
#include <limits>

#include "formulas/correctly_rounded_power.h"

namespace moravel {
namespace {

// 170! is finite and 171! is not.
constexpr std::int32_t kLargestFiniteFactorial = 170;

}  // namespace

double Factorial(std::int32_t n) {
  if (n < 0) return 0.0;
  // Beyond 170 the product has overflowed, and +inf times a positive count
  // stays +inf: no need to run the remaining multiplications.
  if (n > kLargestFiniteFactorial) return std::numeric_limits<double>::infinity();
  double product = 1.0;
  for (std::int32_t j = 2; j <= n; ++j) product *= static_cast<double>(j);
  return product;
}

double E(std::int32_t V, double A) {
  const double p = DirectFormPower(A, V);
  if (V < 0) return (p / 0.0) / 0.0;
  const double numerator = p / Factorial(V);

  // Terms k = 0 .. min(V, 170), with the factorial as a running product.
  const std::int32_t last_finite = V < kLargestFiniteFactorial ? V : kLargestFiniteFactorial;
  double sum = 0.0;
  double factorial = 1.0;
  for (std::int32_t k = 0; k <= last_finite; ++k) {
    if (k > 1) factorial *= static_cast<double>(k);
    sum += DirectFormPower(A, k) / factorial;
  }

  // Terms k = 171 .. V divide by an infinite k!.  A finite power gives a
  // zero, which leaves the sum as it is; an infinite power gives NaN, which
  // sticks.  |A|^k grows with k, so some power in the range has overflowed
  // exactly when the last one, p = A^V, has; for |A| <= 1 none can.  Adding
  // the last term alone therefore reproduces the whole tail bit for bit, and
  // keeps E fast (and its loop counter in range) up to V = 2^31 - 1.
  if (V > kLargestFiniteFactorial && !std::isfinite(p)) {
    sum += p / Factorial(V);
  }
  return numerator / sum;
}

double Hi(std::int32_t V, double A, std::int32_t i) {
  const auto fewer =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(V) - static_cast<std::uint32_t>(i));
  if (fewer < 0) return 0.0;
  return E(V, A) / E(fewer, A);
}

}  // namespace moravel
