#include "contact_centre/queue_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "contact_centre/elementary_functions.h"

namespace moravel::contact {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

double H1(double y) {
  if (std::fabs(y) < 0.125) {
    // sum_{k>=1} (-1)^(k+1) y^k / (k+1)!, to y^13 (the next term is below
    // 1e-17 of y/2 for |y| < 1/8), by Horner.
    constexpr double c[] = {1.0 / 2,          -1.0 / 6,        1.0 / 24,        -1.0 / 120,
                            1.0 / 720,        -1.0 / 5040,     1.0 / 40320,     -1.0 / 362880,
                            1.0 / 3628800,    -1.0 / 39916800, 1.0 / 479001600, -1.0 / 6227020800,
                            1.0 / 87178291200};
    double sum = c[12];
    for (int k = 11; k >= 0; --k) sum = sum * y + c[k];
    return sum * y;
  }
  return (y + Expm1(-y)) / y;
}

double H2(double y) {
  if (y == 0.0) return 1.0;
  return -Expm1(-y) / y;
}

QueueShape::QueueShape(double n, double A, double theta, std::int64_t places)
    : n_(n), A_(A), theta_(theta), places_(places) {
  if (places_ == 0) {
    if (A_ > n_) {
      const double d = (A_ - n_) / n_;
      peak_ = Log1p(d) / theta_;
      // Psi(u*) = (n / theta) (d - log1p(d)).
      log_peak_ = (n_ / theta_) * LogOnePlusDefect(d);
      scale_ = 1.0 / std::sqrt(n_ * theta_);
    } else {
      // Positive: theta = 0 comes with A < n.
      scale_ = 1.0 / ((n_ - A_) + std::sqrt(n_ * theta_));
    }
    return;
  }
  // The limited shape: its slope at 0 is A - n for two places or more (the
  // sum grows like 1 + X), -n for one place.
  peak_x_ = 0.0;
  peak_sum_ = LogPoissonSum(places_, 0.0);
  auto psi = [&](double u) {
    const double x = X(u);
    return -n_ * u + LogPoissonSumValue(places_, x, LogPoissonSum(places_, x));
  };
  scale_ = 1.0 / (n_ + A_);
  if (A_ > n_ && places_ >= 2) {
    // Double until Psi falls, then golden sections on the concave Psi.
    double lo = 0.0;
    double hi = scale_;
    double p_hi = psi(hi);
    for (;;) {
      const double next = 2.0 * hi;
      const double p_next = psi(next);
      if (!(p_next > p_hi)) {
        hi = next;
        break;
      }
      lo = hi / 2.0;
      hi = next;
      p_hi = p_next;
    }
    constexpr double kGolden = 0.3819660112501051;
    double a = lo, b = hi;
    double c = a + kGolden * (b - a), d = b - kGolden * (b - a);
    double pc = psi(c), pd = psi(d);
    for (int i = 0; i < 200 && b - a > 1e-13 * b; ++i) {
      if (pc >= pd) {
        b = d;
        d = c;
        pd = pc;
        c = a + kGolden * (b - a);
        pc = psi(c);
      } else {
        a = c;
        c = d;
        pc = pd;
        d = b - kGolden * (b - a);
        pd = psi(d);
      }
    }
    peak_ = pc >= pd ? c : d;
    scale_ = std::max(scale_, (b - a));
    scale_ = std::max(scale_, peak_ / 64.0);
    peak_x_ = X(peak_);
    peak_sum_ = LogPoissonSum(places_, peak_x_);
    log_peak_ = -n_ * peak_ + LogPoissonSumValue(places_, peak_x_, peak_sum_);
  }
}

double QueueShape::X(double u) const { return A_ * u * H2(theta_ * u); }

double QueueShape::XDifference(double u, double v) const {
  // A (e^{-theta v} - e^{-theta u}) / theta = A e^{-theta v} (u - v) h2(theta (u - v)).
  const double delta = u - v;
  return A_ * Exp(-theta_ * v) * delta * H2(theta_ * delta);
}

QueueShape::Point QueueShape::Limited(double u) const {
  const double x = X(u);
  const PoissonSumLog sum = LogPoissonSum(places_, x);
  const double m = static_cast<double>(places_);
  const double last_ratio =
      sum.lower ? Exp(LogGammaPrefix(m, x) - sum.tail) : x / (m * Exp(sum.tail));
  const double delta = u - peak_;
  // Near the peak -n delta and the sum's growth nearly cancel; both are
  // written as delta (c - n) - c delta h1(theta delta) plus a concave
  // remainder, c the sum's slope at the peak, so that only the small c - n
  // meets a difference.
  const double slope_part = A_ * Exp(-theta_ * peak_);  // X'(u*)
  const double bend = delta * H1(theta_ * delta);
  if (sum.lower && peak_sum_.lower) {
    return {delta * (slope_part - n_) - slope_part * bend + (sum.tail - peak_sum_.tail), last_ratio,
            0.0};
  }
  if (!sum.lower && !peak_sum_.lower) {
    const double c = (m - 1.0) * slope_part / peak_x_;
    const double eps = XDifference(u, peak_) / peak_x_;
    return {delta * (c - n_) - c * bend - (m - 1.0) * LogOnePlusDefect(eps) +
                (sum.tail - peak_sum_.tail),
            last_ratio, 0.0};
  }
  return {-n_ * delta + LogPoissonSumValue(places_, x, sum) -
              LogPoissonSumValue(places_, peak_x_, peak_sum_),
          last_ratio, 0.0};
}

QueueShape::Point QueueShape::Evaluate(double u) const {
  const double y = theta_ * u;
  const double gone = -Expm1(-y);
  if (places_ != 0) {
    const Point p = Limited(u);
    return {std::isnan(p.delta) ? -kInfinity : p.delta, p.last_ratio, gone};
  }
  if (A_ > n_) {
    const double delta = u - peak_;
    const double value = -n_ * delta * H1(theta_ * delta);
    return {std::isnan(value) ? -kInfinity : value, 0.0, gone};
  }
  // h1(y) and h2(y) from the one expm1.
  const double h1 = std::fabs(y) < 0.125 ? H1(y) : (y - gone) / y;
  const double h2 = y == 0.0 ? 1.0 : gone / y;
  return {-u * (n_ * h1 + (n_ - A_) * h2), 0.0, gone};
}

double QueueShape::Delta(double u) const { return Evaluate(u).delta; }

double QueueShape::UpperEnd(double floor) const {
  double step = scale_;
  double u = peak_ + step;
  for (int i = 0; i < 2100 && Delta(u) > floor; ++i) {
    step *= 2.0;
    u = peak_ + step;
  }
  return u;
}

double QueueShape::LowerEnd(double floor) const {
  if (peak_ == 0.0 || Delta(0.0) > floor) return 0.0;
  double step = scale_;
  while (step < peak_ && Delta(peak_ - step) > floor) step *= 2.0;
  return step < peak_ ? peak_ - step : 0.0;
}

}  // namespace moravel::contact
