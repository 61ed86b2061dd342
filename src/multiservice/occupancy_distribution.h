// The distribution of occupied units in a group of k links of f units
// offered several classes of Poisson calls.
#ifndef MORAVEL_MULTISERVICE_OCCUPANCY_DISTRIBUTION_H
#define MORAVEL_MULTISERVICE_OCCUPANCY_DISTRIBUTION_H

#include <cstdint>
#include <vector>

#include "multiservice/acceptance_factor.h"

namespace moravel {

// Q[0..V], V = k f, from the multi-rate recursion
//   n P[n] = sum_i a_i t_i sigma_i(V - m) P[m],  m = trunc(n - t_i),
// over the classes with n - t_i >= 0, P[0] = 1, then Q = P / sum P.  Each
// term is ((((1 / n) a_i) t_i) P[m]) sigma, added to P[n] in class order;
// the sum runs in ascending n from 0.0.  A call is weighed by the acceptance
// factor of the state it arrives in.  The demand plays three parts: t_i
// itself as a factor, trunc(n - t_i) as the earlier state, and the count
// trunc(t_i) in the acceptance factor.
//
// For a group that IsComputableGroup accepts, with `tables` made for it.
std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f,
                                          const AcceptanceTables& tables);

// The same, tabulating its own acceptance factors.
std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f);

}  // namespace moravel

#endif
