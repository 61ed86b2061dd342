// A^k for whole k, correctly rounded: the value of the exact power rounded
// once to the nearest double (ties to even), overflow to infinity and
// gradual underflow included.
#ifndef MORAVEL_FORMULAS_CORRECTLY_ROUNDED_POWER_H
#define MORAVEL_FORMULAS_CORRECTLY_ROUNDED_POWER_H

#include <cstdint>

namespace moravel {

// Correctly rounded A^k for 0 <= k <= 1024; other k, and A infinite, NaN or
// zero, are answered by std::pow (whose special cases are exact).
double CorrectlyRoundedPower(double A, std::int32_t k);

// The power the direct form of the Erlang loss formula uses: std::pow where
// the C library's pow rounds A^k correctly on these arguments (glibc's pow
// errs by at most 0.52 ulp), the library's own correctly rounded power where
// it does not (the MinGW-w64 runtime's pow errs by up to some hundred ulp on
// Windows).  Both give the same bits wherever glibc's pow is correctly
// rounded.
double DirectFormPower(double A, std::int32_t k);

}  // namespace moravel

#endif
