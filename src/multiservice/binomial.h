// Binomial coefficients in double precision, one at a time or tabulated.
#ifndef MORAVEL_MULTISERVICE_BINOMIAL_H
#define MORAVEL_MULTISERVICE_BINOMIAL_H

#include <cstdint>
#include <vector>

namespace moravel {

// C(n, k) by r = r (n - j + 1) / j for j = 1..k, starting from r = 1.  Every
// intermediate value is the exact coefficient C(n, j), so the result is exact
// below 2^53.  0 for k > n or k < 0; 1 for k = 0 and n >= 0.
double Binomial(std::int32_t n, std::int32_t k);

// Binomial(n, j) for j = 0..j_max, bit for bit: the prefixes of one run of
// the product loop.  Empty for j_max < 0.
std::vector<double> BinomialRow(std::int32_t n, std::int32_t j_max);

// Binomial(n, k) for n = n_first..n_last (element i is n_first + i), bit
// for bit.  Where the product loop is provably exact (every j C(n, j),
// j <= k, at most 2^53) the coefficient comes from an integer Pascal
// triangle, which costs additions only; beyond that the loop itself runs.
// Empty for n_last < n_first.
std::vector<double> BinomialColumn(std::int32_t k, std::int32_t n_first, std::int32_t n_last);

}  // namespace moravel

#endif
