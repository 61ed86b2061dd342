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

// Defined here, inline: the models call them at every quadrature node,
// and a call apiece would cost as much as the arithmetic.
#include <cstdint>
#include <cstring>
#include <limits>

namespace moravel::contact {

// A value as the unevaluated sum high + low of two doubles.
struct DoubleDouble {
  double high;
  double low;
};

namespace elementary_detail {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ln 2 = kLn2High + kLn2Low, kLn2High with its low 32 bits zero, so that
// k kLn2High is exact for |k| < 2^20.
inline constexpr double kLn2High = 6.93147180369123816490e-01;  // 0x3fe62e42fee00000
inline constexpr double kLn2Low = 1.90821492927058770002e-10;   // 0x3dea39ef35793c76
inline constexpr double kInverseLn2 = 1.44269504088896338700e+00;
inline constexpr double kHalfLn2 = 0.5 * 0.6931471805599453;
inline constexpr double kLargestExpArgument = 7.09782712893383973096e+02;
inline constexpr double kSmallestExpArgument = -7.45133219101941108420e+02;
inline constexpr double kSqrtHalf = 0.70710678118654752440;

// The minimax coefficients of R(r) - 2 in r^2 on |r| <= ln 2 / 2
// (error below 2^-59).
inline constexpr double kExp1 = 1.66666666666666019037e-01;
inline constexpr double kExp2 = -2.77777777770155933842e-03;
inline constexpr double kExp3 = 6.61375632143793436117e-05;
inline constexpr double kExp4 = -1.65339022054652515390e-06;
inline constexpr double kExp5 = 4.13813679705723846039e-08;

// The same for the rational form of expm1 on |x| <= ln 2 / 2.
inline constexpr double kExpm1Q1 = -3.33333333333331316428e-02;
inline constexpr double kExpm1Q2 = 1.58730158725481460165e-03;
inline constexpr double kExpm1Q3 = -7.93650757867487942473e-05;
inline constexpr double kExpm1Q4 = 4.00821782732936239552e-06;
inline constexpr double kExpm1Q5 = -2.01099218183624371326e-07;

// log((1 + s) / (1 - s)) = 2s + s (L1 s^2 + L2 s^4 + ...), minimax on
// |s| <= 0.1716 (error below 2^-58.45).
inline constexpr double kLog1 = 6.666666666666735130e-01;
inline constexpr double kLog2 = 3.999999999940941908e-01;
inline constexpr double kLog3 = 2.857142874366239149e-01;
inline constexpr double kLog4 = 2.222219843214978396e-01;
inline constexpr double kLog5 = 1.818357216161805012e-01;
inline constexpr double kLog6 = 1.531383769920937332e-01;
inline constexpr double kLog7 = 1.479819860511658591e-01;

// The double of the given bits and back, by copying (the page's C++
// library has no bit_cast).
inline double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}
inline std::uint64_t ToBits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// 2^k for a normal power, -1022 <= k <= 1023, from its bits.
inline double PowerOfTwo(int k) { return FromBits(static_cast<std::uint64_t>(k + 1023) << 52); }

// y 2^k for y near 1 and -1074 - 1 <= k <= 1024: one rounding at most,
// on the last product, when the result is subnormal.
inline double Scale(double y, int k) {
  if (k > 1023) return y * 2.0 * PowerOfTwo(1023);
  if (k >= -1021) return y * PowerOfTwo(k);
  return y * PowerOfTwo(k + 1000) * PowerOfTwo(-1000);
}

// The whole k nearest x / ln 2 (rounding half away from zero).
inline int NearestMultipleOfLn2(double x) {
  return static_cast<int>(kInverseLn2 * x + (x < 0.0 ? -0.5 : 0.5));
}

// x = 2^k m with m in [sqrt(2)/2, sqrt(2)), for a finite x > 0; subnormal
// x scaled up first.
struct Normalised {
  int k;
  double m;
};
inline Normalised Normalise(double x) {
  int k = 0;
  if (x < 0x1p-1022) {
    x *= 0x1p54;
    k = -54;
  }
  const std::uint64_t bits = ToBits(x);
  k += static_cast<int>(bits >> 52) - 1023;
  // The mantissa as a number in [1, 2).
  double m = FromBits((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
  if (m >= 2.0 * kSqrtHalf) {
    m *= 0.5;
    ++k;
  }
  return {k, m};
}

// f^2/2 - s (f^2/2 + R), with s = f / (2 + f): log(1 + f) = f - this.
inline double LogCorrection(double f, double* half_square) {
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (kLog2 + w * (kLog4 + w * kLog6));
  const double t2 = z * (kLog1 + w * (kLog3 + w * (kLog5 + w * kLog7)));
  const double hfsq = 0.5 * f * f;
  *half_square = hfsq;
  return s * (hfsq + (t1 + t2));
}

}  // namespace elementary_detail

// a + b exactly, as high + low (Knuth's sum).
inline DoubleDouble ExactSum(double a, double b) {
  using namespace elementary_detail;
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a b exactly, as high + low (Dekker's product: no fused multiply-add).
inline DoubleDouble ExactProduct(double a, double b) {
  using namespace elementary_detail;
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ca = kSplitter * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = kSplitter * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// e^x: +inf above 709.78..., +0 below -745.13..., NaN for NaN.
inline double Exp(double x) {
  using namespace elementary_detail;
  if (x != x) return x;
  if (x > kLargestExpArgument) return kInfinity;
  if (x < kSmallestExpArgument) return 0.0;
  const double ax = x < 0.0 ? -x : x;
  if (ax < 0x1p-28) return 1.0 + x;
  int k = 0;
  double hi = x;
  double lo = 0.0;
  if (ax > kHalfLn2) {
    k = ax < 3.0 * kHalfLn2 ? (x > 0.0 ? 1 : -1) : NearestMultipleOfLn2(x);
    hi = x - k * kLn2High;
    lo = k * kLn2Low;
  }
  const double r = hi - lo;
  const double t = r * r;
  const double c = r - t * (kExp1 + t * (kExp2 + t * (kExp3 + t * (kExp4 + t * kExp5))));
  if (k == 0) return 1.0 - ((r * c) / (c - 2.0) - r);
  const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
  return Scale(y, k);
}

// e^x - 1: -1 below -38.9, +inf above 709.78..., x itself for |x| < 2^-54.
inline double Expm1(double x) {
  using namespace elementary_detail;
  if (x != x) return x;
  const double ax = x < 0.0 ? -x : x;
  if (ax >= 56.0 * 0.6931471805599453) {
    if (x > kLargestExpArgument) return kInfinity;
    if (x < 0.0) return -1.0;
  }
  int k = 0;
  double c = 0.0;
  if (ax > kHalfLn2) {
    double hi, lo;
    if (ax < 3.0 * kHalfLn2) {
      k = x > 0.0 ? 1 : -1;
      hi = x > 0.0 ? x - kLn2High : x + kLn2High;
      lo = x > 0.0 ? kLn2Low : -kLn2Low;
    } else {
      k = NearestMultipleOfLn2(x);
      hi = x - k * kLn2High;
      lo = k * kLn2Low;
    }
    x = hi - lo;
    c = (hi - x) - lo;
  } else if (ax < 0x1p-54) {
    return x;
  }
  const double hfx = 0.5 * x;
  const double hxs = x * hfx;
  const double r1 =
      1.0 +
      hxs * (kExpm1Q1 + hxs * (kExpm1Q2 + hxs * (kExpm1Q3 + hxs * (kExpm1Q4 + hxs * kExpm1Q5))));
  const double t = 3.0 - r1 * hfx;
  double e = hxs * ((r1 - t) / (6.0 - x * t));
  if (k == 0) return x - (x * e - hxs);
  e = x * (e - c) - c;
  e -= hxs;
  if (k == -1) return 0.5 * (x - e) - 0.5;
  if (k == 1) return x < -0.25 ? -2.0 * (e - (x + 0.5)) : 1.0 + 2.0 * (x - e);
  if (k <= -2 || k > 56) return Scale(1.0 - (e - x), k) - 1.0;
  if (k < 20) return (1.0 - PowerOfTwo(-k) - (e - x)) * PowerOfTwo(k);
  return ((x - (e + PowerOfTwo(-k))) + 1.0) * PowerOfTwo(k);
}

// log x: -inf at +-0, NaN below 0 and for NaN, +inf at +inf.
inline double Log(double x) {
  using namespace elementary_detail;
  if (x != x) return x;
  if (x < 0.0) return kNaN;
  if (x == 0.0) return -kInfinity;
  if (x == kInfinity) return x;
  const Normalised n = Normalise(x);
  const double f = n.m - 1.0;  // exact
  if (f == 0.0) return n.k * kLn2High + n.k * kLn2Low;
  double hfsq;
  const double correction = LogCorrection(f, &hfsq);
  if (n.k == 0) return f - (hfsq - correction);
  return n.k * kLn2High - ((hfsq - (correction + n.k * kLn2Low)) - f);
}

// log(1 + x): -inf at -1, NaN below -1 and for NaN, x for |x| < 2^-54.
inline double Log1p(double x) {
  using namespace elementary_detail;
  if (x != x) return x;
  if (x < -1.0) return kNaN;
  if (x == -1.0) return -kInfinity;
  if (x == kInfinity) return x;
  const double ax = x < 0.0 ? -x : x;
  if (ax < 0x1p-54) return x;
  int k = 0;
  double f = x;
  double c = 0.0;
  // Where 1 + x lies in [sqrt(2)/2, sqrt(2)), log(1 + f) with f = x exactly.
  if (!(x >= kSqrtHalf - 1.0 && x < 2.0 * kSqrtHalf - 1.0)) {
    const double u = 1.0 + x;
    const Normalised n = Normalise(u);
    k = n.k;
    f = n.m - 1.0;  // exact: u scaled by a power of two, less 1
    // log(1 + x) = log u + log(1 + (1 + x - u) / u), to first order in
    // the error of u, 1 + x - u, which is exact as written: u - x for
    // u >= 2 (x >= u / 2), u - 1 below (1/2 <= u <= 2, or u - 1 = x);
    // none beyond 2^53, where u = x.
    if (u < 0x1p53) c = (u >= 2.0 ? 1.0 - (u - x) : x - (u - 1.0)) / u;
  }
  double hfsq;
  const double correction = LogCorrection(f, &hfsq);
  if (k == 0 && c == 0.0) return f - (hfsq - correction);
  return k * kLn2High - ((hfsq - (correction + (k * kLn2Low + c))) - f);
}

// log x for a normal x > 0 as high + low, the pair within about 2^-60 of
// log x relative: for a product of log x with a large factor that must
// keep the last bit (log Gamma at large whole numbers).
inline DoubleDouble LogExtended(double x) {
  using namespace elementary_detail;
  const Normalised n = Normalise(x);
  const double f = n.m - 1.0;
  double hfsq;
  const double correction = f == 0.0 ? 0.0 : LogCorrection(f, &hfsq);
  if (f == 0.0) hfsq = 0.0;
  // k ln2_high and f are exact; the rest is small beside them, its
  // rounding a few units of 2^-60 of log x.
  const DoubleDouble head = ExactSum(n.k * kLn2High, f);
  const double rest = head.low + ((correction + n.k * kLn2Low) - hfsq);
  return ExactSum(head.high, rest);
}

}  // namespace moravel::contact

#endif
