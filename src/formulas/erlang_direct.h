// The Erlang loss formula in its direct form, with powers and factorials,
// and the ratio of two of its values.
#ifndef MORAVEL_FORMULAS_ERLANG_DIRECT_H
#define MORAVEL_FORMULAS_ERLANG_DIRECT_H

#include <cstdint>

namespace moravel {

// n! as the product 1 x 2 x ... x n in increasing order; 0 for n < 0, and
// +infinity from 171! on (170! is the largest finite factorial).
double Factorial(std::int32_t n);

// E(V, A) = (A^V / V!) / sum_{k=0..V} A^k / k!, every power from its own
// pow() call (DirectFormPower: the same bits on every platform wherever the
// C library's pow is correctly rounded).  For V < 0 the factorial and the
// sum count as 0.
double E(std::int32_t V, double A);

// E(V, A) / E(V - i, A); 0 when V - i (wrapping in 32 bits) is negative.
double Hi(std::int32_t V, double A, std::int32_t i);

}  // namespace moravel

#endif
