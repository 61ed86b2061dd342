// The direct form of the Erlang loss formula written out literally: a fresh
// factorial product for every term and a loop over all V + 1 terms.  Slow,
// and only usable while V + 1 fits in 32 bits, but obviously the formula.
#ifndef MORAVEL_TESTS_REFERENCE_ERLANG_DIRECT_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_ERLANG_DIRECT_REFERENCE_H

#include <cstdint>

namespace moravel::reference {

double Factorial(std::int32_t n);
double E(std::int32_t V, double A);

}  // namespace moravel::reference

#endif
