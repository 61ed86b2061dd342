#include "contact_centre/elementary_functions.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace moravel::contact {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ln 2 = kLn2High + kLn2Low, kLn2High with its low 32 bits zero, so that
// k kLn2High is exact for |k| < 2^20.
constexpr double kLn2High = 6.93147180369123816490e-01;  // 0x3fe62e42fee00000
constexpr double kLn2Low = 1.90821492927058770002e-10;   // 0x3dea39ef35793c76
constexpr double kInverseLn2 = 1.44269504088896338700e+00;
constexpr double kHalfLn2 = 0.5 * 0.6931471805599453;
constexpr double kLargestExpArgument = 7.09782712893383973096e+02;
constexpr double kSmallestExpArgument = -7.45133219101941108420e+02;
constexpr double kSqrtHalf = 0.70710678118654752440;

// The minimax coefficients of R(r) - 2 in r^2 on |r| <= ln 2 / 2
// (error below 2^-59).
constexpr double kExp1 = 1.66666666666666019037e-01;
constexpr double kExp2 = -2.77777777770155933842e-03;
constexpr double kExp3 = 6.61375632143793436117e-05;
constexpr double kExp4 = -1.65339022054652515390e-06;
constexpr double kExp5 = 4.13813679705723846039e-08;

// The same for the rational form of expm1 on |x| <= ln 2 / 2.
constexpr double kExpm1Q1 = -3.33333333333331316428e-02;
constexpr double kExpm1Q2 = 1.58730158725481460165e-03;
constexpr double kExpm1Q3 = -7.93650757867487942473e-05;
constexpr double kExpm1Q4 = 4.00821782732936239552e-06;
constexpr double kExpm1Q5 = -2.01099218183624371326e-07;

// log((1 + s) / (1 - s)) = 2s + s (L1 s^2 + L2 s^4 + ...), minimax on
// |s| <= 0.1716 (error below 2^-58.45).
constexpr double kLog1 = 6.666666666666735130e-01;
constexpr double kLog2 = 3.999999999940941908e-01;
constexpr double kLog3 = 2.857142874366239149e-01;
constexpr double kLog4 = 2.222219843214978396e-01;
constexpr double kLog5 = 1.818357216161805012e-01;
constexpr double kLog6 = 1.531383769920937332e-01;
constexpr double kLog7 = 1.479819860511658591e-01;

// The double of the given bits and back, by copying (the page's C++
// library has no bit_cast).
double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}
std::uint64_t ToBits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// 2^k for a normal power, -1022 <= k <= 1023, from its bits.
double PowerOfTwo(int k) { return FromBits(static_cast<std::uint64_t>(k + 1023) << 52); }

// y 2^k for y near 1 and -1074 - 1 <= k <= 1024: one rounding at most,
// on the last product, when the result is subnormal.
double Scale(double y, int k) {
  if (k > 1023) return y * 2.0 * PowerOfTwo(1023);
  if (k >= -1021) return y * PowerOfTwo(k);
  return y * PowerOfTwo(k + 1000) * PowerOfTwo(-1000);
}

// The whole k nearest x / ln 2 (rounding half away from zero).
int NearestMultipleOfLn2(double x) {
  return static_cast<int>(kInverseLn2 * x + (x < 0.0 ? -0.5 : 0.5));
}

// x = 2^k m with m in [sqrt(2)/2, sqrt(2)), for a finite x > 0; subnormal
// x scaled up first.
struct Normalised {
  int k;
  double m;
};
Normalised Normalise(double x) {
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
double LogCorrection(double f, double* half_square) {
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (kLog2 + w * (kLog4 + w * kLog6));
  const double t2 = z * (kLog1 + w * (kLog3 + w * (kLog5 + w * kLog7)));
  const double hfsq = 0.5 * f * f;
  *half_square = hfsq;
  return s * (hfsq + (t1 + t2));
}

}  // namespace

double Exp(double x) {
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

double Expm1(double x) {
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

double Log(double x) {
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

double Log1p(double x) {
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

DoubleDouble LogExtended(double x) {
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

DoubleDouble ExactSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

DoubleDouble ExactProduct(double a, double b) {
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

}  // namespace moravel::contact
