#include "study/estimate.h"

#include <algorithm>
#include <cmath>

namespace moravel {
namespace {

// Neumaier's compensated sum.
class Sum {
 public:
  void Add(double x) {
    const double t = sum_ + x;
    compensation_ += std::fabs(sum_) >= std::fabs(x) ? (sum_ - t) + x : (x - t) + sum_;
    sum_ = t;
  }
  double Value() const { return sum_ + compensation_; }

 private:
  double sum_ = 0.0;
  double compensation_ = 0.0;
};

}  // namespace

Estimate EstimateOf(std::size_t n, const double* values, double t, bool probability) {
  const double count = static_cast<double>(n);
  Sum sum;
  for (std::size_t i = 0; i < n; ++i) sum.Add(values[i]);
  const double mean = sum.Value() / count;
  Sum squares;
  for (std::size_t i = 0; i < n; ++i) {
    const double d = values[i] - mean;
    squares.Add(d * d);
  }
  const double error = std::sqrt(squares.Value() / (count - 1.0) / count);
  Estimate e{mean, error, mean - t * error, mean + t * error};
  if (probability) {
    e.low = std::clamp(e.low, 0.0, 1.0);
    e.high = std::clamp(e.high, 0.0, 1.0);
  }
  return e;
}

}  // namespace moravel
