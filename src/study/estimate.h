// A figure's estimate over the replications of a simulation.
#ifndef MORAVEL_STUDY_ESTIMATE_H
#define MORAVEL_STUDY_ESTIMATE_H

#include <cstddef>

namespace moravel {

struct Estimate {
  double mean;
  double standard_error;  // sqrt(s^2 / n), s^2 the sample variance over n - 1
  double low, high;       // mean -/+ t * standard error, clipped for a probability
};

// The estimate of n >= 2 finite values with the two-sided Student's t
// quantile t for n - 1 degrees of freedom.  The sums are compensated
// (Neumaier), so that the mean is the correctly rounded mean for any
// ordinary sample and does not depend on how large the first values are.
// For a probability the interval is clipped to [0, 1]: the normal interval
// of a proportion near 0 or 1 reaches past the bound, and the part beyond
// holds no possible value.
Estimate EstimateOf(std::size_t n, const double* values, double t, bool probability);

}  // namespace moravel

#endif
