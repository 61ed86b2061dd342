#include "reference/multiservice_reference.h"

#include <cmath>
#include <string>

#include "support/bits.h"

namespace moravel::reference {

std::uint64_t EnumeratedPlacements(int x, int k, int lo, int hi) {
  if (k == 0) return x == 0 ? 1 : 0;
  std::uint64_t count = 0;
  for (int part = lo; part <= hi && part <= x; ++part) {
    count += EnumeratedPlacements(x - part, k - 1, lo, hi);
  }
  return count;
}

double Binomial(std::int32_t n, std::int32_t k) {
  if (k > n || k < 0) return 0.0;
  double r = 1.0;
  for (std::int32_t j = 1; j <= k; j++) {
    r = r * static_cast<double>(n - j + 1);
    r = r / static_cast<double>(j);
  }
  return r;
}

double Arrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo) {
  if (x > k * hi || k * lo > x) return 0.0;
  if (x == 0) return 1.0;
  const std::int32_t w = hi - lo + 1;
  const std::int32_t r = (x - k * lo) / w;
  if (r < 0) return 0.0;
  double sum = 0.0;
  for (std::int32_t j = 0; j <= r; j++) {
    sum = sum + Binomial(k, j) * std::pow(-1.0, j) * Binomial(x - (lo - 1) * k - 1 - j * w, k - 1);
  }
  return sum;
}

double AcceptanceFactor(std::int32_t x, std::int32_t d, std::int32_t k, std::int32_t f) {
  if (d > f) return 0.0;
  const double N = Arrangements(x, k, f, 0);
  const double B = Arrangements(x, k, d - 1, 0);
  const auto fitting = static_cast<std::int32_t>(N - B);
  const auto all = static_cast<std::int32_t>(N);
  if (all == 0) return 0.0;
  return static_cast<double>(fitting) / static_cast<double>(all);
}

double RefusingShare(std::int32_t x, std::int32_t d, std::int32_t k, std::int32_t f) {
  if (d > f) return 1.0;
  const double N = Arrangements(x, k, f, 0);
  const double B = Arrangements(x, k, d - 1, 0);
  const auto refusing = static_cast<std::int32_t>(B);
  const auto all = static_cast<std::int32_t>(N);
  if (all == 0) return 1.0;
  const double direct = static_cast<double>(refusing) / static_cast<double>(all);
  if (direct < 1.0 / 1048576.0) return direct;
  return 1.0 - AcceptanceFactor(x, d, k, f);
}

namespace {

// (t a)(1 - E), or (t a) times the accepting share where 1 - E < 2^-20 (0
// carries exactly 0), at most the k f units of the group.
double Carried(double t, double a, double E, double accepting, std::int32_t k, std::int32_t f) {
  double C;
  if (!(1.0 - E < 1.0 / 1048576.0)) {
    C = (t * a) * (1.0 - E);
  } else if (accepting == 0.0) {
    C = 0.0;
  } else {
    C = (t * a) * accepting;
  }
  const double capacity = static_cast<double>(k) * f;
  return C > capacity ? capacity : C;
}

}  // namespace

std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f) {
  const std::int32_t V = k * f;
  std::vector<double> P(static_cast<std::size_t>(V + 1), 0.0);
  P[0] = 1.0;
  for (std::int32_t n = 1; n <= V; n++) {
    for (std::int32_t i = 0; i < M; i++) {
      if (n - t[i] < 0) continue;
      const auto m = static_cast<std::int32_t>(n - t[i]);
      const std::int32_t x = V - m;
      const auto d = static_cast<std::int32_t>(t[i]);
      P[n] = P[n] + ((((1.0 / n) * a[i]) * t[i]) * P[m]) * AcceptanceFactor(x, d, k, f);
    }
  }
  double S = 0.0;
  for (std::int32_t n = 0; n <= V; n++) S = S + P[n];
  std::vector<double> Q(static_cast<std::size_t>(V + 1));
  for (std::int32_t n = 0; n <= V; n++) Q[n] = P[n] / S;
  return Q;
}

ClassResults LinkGroupModel(const double* a, std::int32_t M, const double* t, std::int32_t k,
                            std::int32_t f) {
  ClassResults results{std::vector<double>(M), std::vector<double>(M)};
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f);
  const std::int32_t V = k * f;
  for (std::int32_t i = 0; i < M; i++) {
    const auto d = static_cast<std::int32_t>(t[i]);
    double E = 0.0;
    if (d > f) {
      E = 1.0;
    } else {
      for (std::int32_t n = 0; n <= V; n++) E = E + RefusingShare(V - n, d, k, f) * Q[n];
    }
    double accepting = 0.0;
    if (d <= f) {
      for (std::int32_t n = 0; n <= V; n++) {
        accepting = accepting + AcceptanceFactor(V - n, d, k, f) * Q[n];
      }
    }
    results.E[i] = E;
    results.C[i] = Carried(t[i], a[i], E, accepting, k, f);
  }
  return results;
}

ClassResults LinkSubsetModel(const double* a, std::int32_t M, const double* t, std::int32_t k,
                             std::int32_t f, std::int32_t g) {
  ClassResults results{std::vector<double>(M), std::vector<double>(M)};
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f);
  const std::int32_t V = k * f;
  for (std::int32_t i = 0; i < M; i++) {
    const auto d = static_cast<std::int32_t>(t[i]);
    double E;
    double accepting = 0.0;
    if (d > f) {
      E = 1.0;
    } else {
      const std::int32_t m = f - d + 1;
      std::vector<double> betas(static_cast<std::size_t>(V + 1), 0.0);
      if (m > V) {
        E = 0.0;
      } else {
        E = 0.0;
        for (std::int32_t n = m; n <= V; n++) {
          double beta;
          if (n < m * g) {
            beta = 0.0;
          } else {
            const std::int32_t h = n < f * g ? n : f * g;
            if (m * g > h) {
              beta = 0.0;
            } else {
              const double divisor = Arrangements(n, k, f, 0);
              beta = 0.0;
              for (std::int32_t w = m * g; w <= h; w++) {
                beta =
                    beta + (Arrangements(w, g, f, m) * Arrangements(n - w, k - g, f, 0)) / divisor;
              }
            }
          }
          E = E + beta * Q[n];
          betas[static_cast<std::size_t>(n)] = beta;
        }
      }
      for (std::int32_t n = 0; n <= V; n++) {
        accepting = accepting + (1.0 - betas[static_cast<std::size_t>(n)]) * Q[n];
      }
    }
    results.E[i] = E;
    results.C[i] = Carried(t[i], a[i], E, accepting, k, f);
  }
  return results;
}

namespace {

// The result text of the per-class exports: each number as the channel
// writes it (the stream's default format, with the library's spelling of
// the non-finite values on every platform), each followed by a blank.
std::string Text(const ClassResults& results) {
  std::string out;
  for (std::size_t i = 0; i < results.E.size(); i++) {
    out += moravel::testing::Text(results.E[i]) + " " + moravel::testing::Text(results.C[i]) + " ";
  }
  return out;
}

}  // namespace

std::string LinkGroupText(const double* a, std::int32_t M, const double* t, std::int32_t k,
                          std::int32_t f) {
  return Text(LinkGroupModel(a, M, t, k, f));
}

std::string LinkSubsetText(const double* a, std::int32_t M, const double* t, std::int32_t k,
                           std::int32_t f, std::int32_t g) {
  return Text(LinkSubsetModel(a, M, t, k, f, g));
}

}  // namespace moravel::reference
