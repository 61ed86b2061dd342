// Quantiles of Student's t distribution, for the confidence intervals of
// `compare`.
#ifndef MORAVEL_TOOL_STUDENT_T_H
#define MORAVEL_TOOL_STUDENT_T_H

#include <cstdint>

namespace moravel_tool {

// P(T > x) for Student's t with `dof` >= 1 degrees of freedom and x >= 0:
// half the regularised incomplete beta I_{dof / (dof + x^2)}(dof / 2, 1 / 2).
double StudentTUpperTail(double x, std::int32_t dof);

// The two-sided 95% quantile: the x with P(T > x) = 0.025 (12.7062... for
// one degree of freedom, 1.95996... in the limit), within a relative 1e-14
// up to 100 degrees of freedom, 1e-13 up to 1000 and 1e-10 up to 10^5 (the log-gamma
// differences lose digits as dof grows).
double StudentT95(std::int32_t dof);

}  // namespace moravel_tool

#endif
