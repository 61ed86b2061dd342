#include "multiservice/occupancy_distribution.h"

#include <algorithm>
#include <cmath>

#include "multiservice/wide_double.h"

namespace moravel {
namespace {

// A double as the recursion's number type.
template <class Number>
Number Lift(double value);
template <>
double Lift<double>(double value) {
  return value;
}
template <>
WideDouble Lift<WideDouble>(double value) {
  return Wide(value);
}

// P[0..V], unnormalised, in the number type: in doubles it grows like e^A
// with the offered traffic A and leaves their range from about 710 erlangs
// on; in wide doubles every product and sum rounds as it would in doubles
// with an unbounded exponent, so nothing overflows and the bits are those
// of the double recursion wherever that one stays finite.
template <class Number>
std::vector<Number> Unnormalised(const double* a, const double* t, std::size_t classes,
                                 std::int32_t V, const std::vector<const double*>& sigma) {
  std::vector<Number> P(static_cast<std::size_t>(V) + 1, Lift<Number>(0.0));
  P[0] = Lift<Number>(1.0);
  for (std::int64_t n = 1; n <= V; ++n) {
    const auto state = static_cast<double>(n);
    const double share = 1.0 / state;
    Number p = Lift<Number>(0.0);  // P[n], which the terms read as P[m] when t_i < 1
    for (std::size_t i = 0; i < classes; ++i) {
      // A class-i call leaves state m = trunc(n - t_i); none when n - t_i < 0
      // (0 <= n - t_i <= n makes the truncation an ordinary conversion).
      const double back = state - t[i];
      if (back < 0.0) continue;
      const auto m = static_cast<std::int64_t>(back);
      const Number earlier = m == n ? p : P[static_cast<std::size_t>(m)];
      p = p + (((Lift<Number>(share * a[i]) * Lift<Number>(t[i])) * earlier) *
               Lift<Number>(sigma[i][V - m]));
    }
    P[static_cast<std::size_t>(n)] = p;
  }
  return P;
}

// Q = P / S with S = P[0] + ... + P[V] in ascending order from 0, taken in
// the number type before Q comes back to doubles.
template <class Number>
std::vector<double> Normalised(const std::vector<Number>& P) {
  Number S = Lift<Number>(0.0);
  for (const Number& p : P) S = S + p;
  std::vector<double> Q(P.size());
  for (std::size_t n = 0; n < P.size(); ++n) Q[n] = ToDouble(P[n] / S);
  return Q;
}

}  // namespace

std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f,
                                          const AcceptanceTables& tables) {
  const std::int32_t V = k * f;
  const auto classes = static_cast<std::size_t>(M);
  std::vector<const double*> sigma(classes);
  for (std::size_t i = 0; i < classes; ++i) sigma[i] = tables.ForClass(i).data();
  std::vector<double> P = Unnormalised<double>(a, t, classes, V, sigma);
  double S = 0.0;
  for (const double p : P) S += p;
  // Once the sum overflows, every Q would come out 0 or NaN.  With finite
  // traffic that is the range of doubles giving out, not the model: redo
  // the recursion with a wide exponent.  Wherever S stays finite the
  // plain recursion's bits stand.
  if (!std::isfinite(S) &&
      std::all_of(a, a + classes, [](double traffic) { return std::isfinite(traffic); })) {
    return Normalised(Unnormalised<WideDouble>(a, t, classes, V, sigma));
  }
  for (double& p : P) p /= S;
  return P;
}

std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f) {
  return OccupancyDistribution(a, t, M, k, f, TabulateAcceptance(t, M, k, f));
}

}  // namespace moravel
