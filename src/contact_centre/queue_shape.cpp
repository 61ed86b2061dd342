#include "contact_centre/queue_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace moravel::contact {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

double H1(double y) {
  if (std::fabs(y) < 0.125) {
    // y/2 - y^2/6 + y^3/24 - ...: sum_k (-y)^k / (k + 1)! for k >= 1, negated.
    double term = 1.0;
    double sum = 0.0;
    for (int k = 1; k <= 20; ++k) {
      term *= -y / (k + 1);
      sum += term;
    }
    return -sum;
  }
  return (y + std::expm1(-y)) / y;
}

double H2(double y) {
  if (y == 0.0) return 1.0;
  return -std::expm1(-y) / y;
}

QueueShape::QueueShape(double n, double A, double theta, std::int64_t places)
    : n_(n), A_(A), theta_(theta), places_(places) {
  if (places_ == 0) {
    if (A_ > n_) {
      const double d = (A_ - n_) / n_;
      peak_ = std::log1p(d) / theta_;
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
  return A_ * std::exp(-theta_ * v) * delta * H2(theta_ * delta);
}

double QueueShape::LimitedPsiDifference(double u) const {
  const double x = X(u);
  const PoissonSumLog sum = LogPoissonSum(places_, x);
  const double linear = -n_ * (u - peak_);
  if (sum.lower && peak_sum_.lower) {
    return linear + XDifference(u, peak_) + (sum.tail - peak_sum_.tail);
  }
  if (!sum.lower && !peak_sum_.lower) {
    const double ratio = std::log1p(XDifference(u, peak_) / peak_x_);
    return linear + (static_cast<double>(places_) - 1.0) * ratio + (sum.tail - peak_sum_.tail);
  }
  return linear + LogPoissonSumValue(places_, x, sum) -
         LogPoissonSumValue(places_, peak_x_, peak_sum_);
}

double QueueShape::Delta(double u) const {
  if (places_ != 0) return LimitedPsiDifference(u);
  if (A_ > n_) {
    const double delta = u - peak_;
    const double value = -n_ * delta * H1(theta_ * delta);
    return std::isnan(value) ? -kInfinity : value;
  }
  const double y = theta_ * u;
  return -u * (n_ * H1(y) + (n_ - A_) * H2(y));
}

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
