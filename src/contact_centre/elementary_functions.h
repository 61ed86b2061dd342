// exp, expm1, log and log1p of the contact-centre models, the same bits on
// every platform.
//
// The C libraries' routines differ in the last bit from one platform to
// another (glibc, emscripten's, MinGW-w64's), so a model computed through
// them gives different bits natively and on the page.  These are written in
// plain double arithmetic (+, -, *, / and comparisons, each rounded once to
// the nearest by IEEE 754; no fused multiply-add, as the library is built
// with -ffp-contract=off; powers of two from their bits), so they give the
// same bits wherever a double is an IEEE double.
//
// The methods are the classic ones for these functions:
//  - Exp: x = k ln 2 + r with |r| <= ln 2 / 2 (ln 2 in two parts, the first
//    exact times k), e^r = 1 + 2r / (R(r) - r) with R a minimax rational
//    form, R(r) = r (e^r + 1) / (e^r - 1) = 2 + r^2/6 - ..., scaled by 2^k;
//  - Expm1: the same reduction, its rounding error c carried, and a
//    rational form of (x / 2) coth(x / 2) whose error enters only
//    second-order, so that e^x - 1 keeps its digits at small x;
//  - Log: x = 2^k (1 + f) with 1 + f in [sqrt(2)/2, sqrt(2)),
//    log(1 + f) = f - f^2/2 + s (f^2/2 + R(s^2)), s = f / (2 + f), R a
//    minimax polynomial of log((1 + s) / (1 - s)) = 2s + 2s^3/3 + ...;
//  - Log1p: the same on 1 + x, with the rounding error of 1 + x carried
//    as a first-order correction (x itself where 1 + x needs no scaling).
// Each is within about one unit in the last place of the exact value over
// its whole domain: tests/contact_centre_elementary_test.cpp checks them
// against 50-digit references and prints the worst error in ulps.
#ifndef MORAVEL_CONTACT_CENTRE_ELEMENTARY_FUNCTIONS_H
#define MORAVEL_CONTACT_CENTRE_ELEMENTARY_FUNCTIONS_H

namespace moravel::contact {

// e^x: +inf above 709.78..., +0 below -745.13..., NaN for NaN.
double Exp(double x);
// e^x - 1: -1 below -38.9, +inf above 709.78..., x itself for |x| < 2^-54.
double Expm1(double x);
// log x: -inf at +-0, NaN below 0 and for NaN, +inf at +inf.
double Log(double x);
// log(1 + x): -inf at -1, NaN below -1 and for NaN, x for |x| < 2^-54.
double Log1p(double x);

// log x for a normal x > 0 as high + low, the pair within about 2^-60 of
// log x relative: for a product of log x with a large factor that must
// keep the last bit (log Gamma at large whole numbers).
struct DoubleDouble {
  double high;
  double low;
};
DoubleDouble LogExtended(double x);

// a b exactly, as high + low (Dekker's product: no fused multiply-add).
DoubleDouble ExactProduct(double a, double b);
// a + b exactly, as high + low (Knuth's sum).
DoubleDouble ExactSum(double a, double b);

}  // namespace moravel::contact

#endif
