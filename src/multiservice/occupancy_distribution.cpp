#include "multiservice/occupancy_distribution.h"

namespace moravel {

std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f,
                                          const AcceptanceTables& tables) {
  const std::int32_t V = k * f;
  const auto classes = static_cast<std::size_t>(M);
  std::vector<const double*> sigma(classes);
  for (std::size_t i = 0; i < classes; ++i) sigma[i] = tables.ForClass(i).data();
  std::vector<double> P(static_cast<std::size_t>(V) + 1, 0.0);
  P[0] = 1.0;
  for (std::int32_t n = 1; n <= V; ++n) {
    const double share = 1.0 / n;
    double p = 0.0;  // P[n], which the terms read as P[m] when t_i = 0
    for (std::size_t i = 0; i < classes; ++i) {
      const double back = n - t[i];
      if (back < 0.0) continue;
      // 0 <= back <= n: the truncation is an ordinary conversion.
      const auto m = static_cast<std::int32_t>(back);
      const double earlier = m == n ? p : P[static_cast<std::size_t>(m)];
      p += (((share * a[i]) * t[i]) * earlier) * sigma[i][V - m];
    }
    P[static_cast<std::size_t>(n)] = p;
  }
  double S = 0.0;
  for (const double p : P) S += p;
  for (double& p : P) p /= S;
  return P;
}

std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f) {
  return OccupancyDistribution(a, t, M, k, f, TabulateAcceptance(t, M, k, f));
}

}  // namespace moravel
