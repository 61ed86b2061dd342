// Binomial coefficients in double precision.
#ifndef MORAVEL_MULTISERVICE_BINOMIAL_H
#define MORAVEL_MULTISERVICE_BINOMIAL_H

#include <cstdint>

namespace moravel {

// C(n, k) by r = r (n - j + 1) / j for j = 1..k, starting from r = 1.  Every
// intermediate value is the exact coefficient C(n, j), so the result is exact
// below 2^53.  0 for k > n or k < 0; 1 for k = 0 and n >= 0.
double Binomial(std::int32_t n, std::int32_t k);

}  // namespace moravel

#endif
