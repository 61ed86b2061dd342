// Quantiles of Student's t distribution, for confidence intervals over
// replications.
#ifndef MORAVEL_STUDY_STUDENT_T_H
#define MORAVEL_STUDY_STUDENT_T_H

#include <cstdint>

namespace moravel {

// P(|T| > x) for Student's t with dof >= 1 degrees of freedom and x >= 0:
// the regularised incomplete beta I_{dof / (dof + x^2)}(dof / 2, 1 / 2).
double StudentTTwoSidedTail(double x, std::int32_t dof);

// The two-sided quantile: the x with P(|T| <= x) = level, for level in
// (0, 1).  Found by doubling and bisection on the tail down to neighbouring
// doubles: 12.7062 for one degree of freedom at 95%, 2.00958 for 49, tending
// to the normal 1.95996; within a relative 1e-13 up to 1000 degrees of
// freedom and 1e-10 up to 10^5 (the log-gamma differences lose digits as
// dof grows).
double StudentTQuantile(std::int32_t dof, double level);

}  // namespace moravel

#endif
