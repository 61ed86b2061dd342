// Counting the ways to spread indistinguishable units over distinguishable
// links with a lower and an upper bound per link.
#ifndef MORAVEL_MULTISERVICE_ARRANGEMENTS_H
#define MORAVEL_MULTISERVICE_ARRANGEMENTS_H

#include <cstdint>
#include <vector>

namespace moravel {

// The number of ways to put x units on k links so that every link holds at
// least lo and at most hi units, by inclusion-exclusion:
//   sum over j = 0..r of C(k, j) (-1)^j C(x - (lo - 1) k - 1 - j w, k - 1),
// w = hi - lo + 1, r = (x - k lo) / w, summed in ascending j from 0.0 with
// the three factors multiplied left to right.  0 when x > k hi or k lo > x,
// 1 when x = 0.
//
// The count arithmetic is 32-bit two's complement, wrapping where a product
// or difference leaves 32 bits (done in 64 bits and wrapped explicitly).  A
// step width w that wraps to 0 counts no arrangement; a step count r that
// would overflow (INT32_MIN / -1) wraps to INT32_MIN and counts none either.
// Exact while every coefficient and partial sum stays below 2^53.
double Arrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo);

// The binomial coefficients that counts over k links use, C(k, j) and
// C(z, k - 1), tabulated once for every count with 0 <= x <= x_max and
// lo >= 0 (where z runs over k - 1..x_max + k - 1 and j over 0..x_max).
struct ArrangementCoefficients {
  std::int32_t k = 0;
  std::int32_t x_max = -1;
  std::vector<double> links;  // Binomial(k, j), j = 0..
  std::int32_t parts_first = 0;
  std::vector<double> parts;  // Binomial(z, k - 1), z = parts_first..
};
ArrangementCoefficients TabulateCoefficients(std::int32_t k, std::int32_t x_max);

// Arrangements(x, coefficients.k, hi, lo), bit for bit, reading the
// coefficients from the tables (and computing any outside them).
double Arrangements(const ArrangementCoefficients& coefficients, std::int32_t x, std::int32_t hi,
                    std::int32_t lo);

// The same for x = x_first..x_last: element i holds x = x_first + i.  Where
// no 32-bit step can wrap (k >= 0, 0 <= lo <= hi, 0 <= x_first, x_last <=
// x_max, k hi and x_last + k within 32 bits) the terms are added by j for
// all x at once, each count still summing its terms in ascending j.
//
// When `exact` is given it tells whether every term and every partial sum
// of every count stayed below 2^53 in magnitude: then each count is the
// exact whole number, and beyond that the alternating sum may have lost
// any number of its digits.
std::vector<double> TabulateArrangements(const ArrangementCoefficients& coefficients,
                                         std::int32_t hi, std::int32_t lo, std::int32_t x_first,
                                         std::int32_t x_last, bool* exact = nullptr);

}  // namespace moravel

#endif
