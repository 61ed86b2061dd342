#include "reference/link_subset_simulation_reference.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <set>
#include <utility>

#include "multiservice/binomial.h"
#include "random/mt19937.h"
#include "random/uniform.h"

namespace moravel::reference {
namespace {

using RandomDevice = std::function<std::uint32_t()>;

std::vector<double> ExponentialSample(std::int32_t n, double rate, const RandomDevice& device) {
  Mt19937 engine(device());
  std::vector<double> values(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const double u = CanonicalUniform(engine);
    values[static_cast<std::size_t>(i)] = -std::log(1.0 - u) / rate;
  }
  return values;
}

std::vector<double> CumulativeTable(std::vector<double> w) {
  if (w.empty()) w.push_back(1.0);
  double s = 0.0;
  for (std::size_t j = 0; j < w.size(); ++j) s = s + w[j];
  if (s != 1.0) {
    for (std::size_t j = 0; j < w.size(); ++j) w[j] = w[j] / s;
  }
  std::vector<double> q(w.size());
  q[0] = w[0];
  for (std::size_t j = 1; j < w.size(); ++j) q[j] = q[j - 1] + w[j];
  return q;
}

std::int32_t WeightedDraw(const std::vector<double>& q, Mt19937& engine) {
  const double u = CanonicalUniform(engine);
  // Binary lower-bound search over q_0 .. q_(m-2).
  std::size_t lo = 0;
  std::size_t hi = q.size() - 1;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (q[mid] < u) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return static_cast<std::int32_t>(lo);
}

std::uint32_t UniformInteger(Mt19937& engine, std::uint32_t n) {
  std::uint32_t x = engine();
  std::uint64_t m = static_cast<std::uint64_t>(x) * n;
  if (static_cast<std::uint32_t>(m) < n) {
    const std::uint32_t threshold = static_cast<std::uint32_t>((4294967296ULL - n) % n);
    while (static_cast<std::uint32_t>(m) < threshold) {
      x = engine();
      m = static_cast<std::uint64_t>(x) * n;
    }
  }
  return static_cast<std::uint32_t>(m >> 32);
}

bool SameBytes(const char* policy, const char* keyword) {
  return std::strlen(policy) == std::strlen(keyword) &&
         std::memcmp(policy, keyword, std::strlen(keyword)) == 0;
}

std::optional<std::pair<std::int32_t, std::int32_t>> ChooseLink(double T,
                                                                const std::vector<double>& row,
                                                                std::int32_t g, std::int32_t f,
                                                                const char* policy, std::int32_t d,
                                                                const RandomDevice& device) {
  std::vector<std::pair<std::int32_t, std::int32_t>> candidates;
  for (std::int32_t p = 0; p < g; ++p) {
    std::int32_t free = 0;
    for (std::int32_t q = p * f; q < p * f + f; ++q) {
      if (T >= row[static_cast<std::size_t>(q)]) free = free + 1;
    }
    if (free >= d) candidates.push_back({free, p});
  }
  if (candidates.empty()) return std::nullopt;
  if (SameBytes(policy, "МаксСвоб")) {
    std::size_t best = 0;
    for (std::size_t c = 1; c < candidates.size(); ++c) {
      if (candidates[c].first > candidates[best].first) best = c;
    }
    return candidates[best];
  }
  if (SameBytes(policy, "МинСвоб")) {
    std::size_t best = 0;
    for (std::size_t c = 1; c < candidates.size(); ++c) {
      if (candidates[c].first < candidates[best].first) best = c;
    }
    return candidates[best];
  }
  if (SameBytes(policy, "ПервСвоб")) {
    Mt19937 engine(device());
    const std::uint32_t r = UniformInteger(engine, static_cast<std::uint32_t>(candidates.size()));
    return candidates[r];
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::vector<std::int32_t>> DistinctPermutations(std::vector<std::int32_t> list) {
  std::sort(list.begin(), list.end());
  std::set<std::vector<std::int32_t>> arrangements;
  while (true) {
    arrangements.insert(list);
    if (list.size() < 2) break;
    std::size_t i = list.size() - 1;
    bool found = false;
    while (i > 0) {
      --i;
      if (list[i] < list[i + 1]) {
        found = true;
        break;
      }
    }
    if (!found) break;
    std::size_t j = list.size() - 1;
    while (!(list[j] > list[i])) --j;
    std::swap(list[i], list[j]);
    std::reverse(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, list.end());
  }
  return {arrangements.begin(), arrangements.end()};
}

std::vector<std::vector<std::int32_t>> BuildSubsetUnits(std::int32_t k, std::int32_t g,
                                                        std::int32_t f) {
  std::vector<std::int32_t> mask(static_cast<std::size_t>(k - g), 0);
  mask.insert(mask.end(), static_cast<std::size_t>(g), 1);
  std::vector<std::vector<std::int32_t>> units;
  for (const auto& m : DistinctPermutations(mask)) {
    std::vector<std::int32_t> list;
    for (std::int32_t j = 0; j < k; ++j) {
      if (m[static_cast<std::size_t>(j)] == 1) {
        for (std::int32_t u = j * f; u < j * f + f; ++u) list.push_back(u);
      }
    }
    units.push_back(list);
  }
  return units;
}

LinkSubsetCounts SimulateLinkSubsetSystem(const double* a, std::int32_t M, const double* t,
                                          std::int32_t k, std::int32_t f, std::int32_t g,
                                          std::int32_t N, const char* policy,
                                          const RandomDevice& random_device) {
  const auto m = static_cast<std::size_t>(M);
  const auto n_calls = static_cast<std::size_t>(N);
  // Preparation.
  const std::vector<double> traffic(a, a + m);
  const std::vector<double> demand_value(t, t + m);
  const auto K = static_cast<std::int32_t>(Binomial(k, g));
  double lambda = 0.0;
  for (std::size_t i = 0; i < m; ++i) lambda = lambda + traffic[i];
  const std::vector<double> X = ExponentialSample(N, lambda, random_device);
  const std::vector<double> h = ExponentialSample(N, 1.0, random_device);
  Mt19937 engine(random_device());
  const std::vector<double> class_table = CumulativeTable(traffic);
  std::vector<std::int32_t> c(n_calls);
  for (std::size_t n = 0; n < n_calls; ++n) c[n] = WeightedDraw(class_table, engine);
  const std::vector<double> subset_table =
      CumulativeTable(std::vector<double>(static_cast<std::size_t>(K), 1.0));
  std::vector<std::int32_t> s(n_calls);
  for (std::size_t n = 0; n < n_calls; ++n) s[n] = WeightedDraw(subset_table, engine);
  std::vector<double> T(n_calls);
  T[0] = 0.0;
  for (std::size_t n = 1; n < n_calls; ++n) T[n] = X[n] + T[n - 1];
  LinkSubsetCounts result;
  result.offered.assign(m, 0);
  result.lost.assign(m, 0);
  for (std::size_t n = 0; n < n_calls; ++n) result.offered[static_cast<std::size_t>(c[n])] += 1;
  const auto units = BuildSubsetUnits(k, g, f);
  std::vector<std::vector<double>> table(static_cast<std::size_t>(K),
                                         std::vector<double>(static_cast<std::size_t>(g) * f, 0.0));
  std::vector<double> D(n_calls, 0.0);

  // Call loop.
  for (std::size_t n = 0; n < n_calls; ++n) {
    const auto i = static_cast<std::size_t>(c[n]);
    const auto d = static_cast<std::int32_t>(demand_value[i]);
    const auto sn = static_cast<std::size_t>(s[n]);
    const auto choice = ChooseLink(T[n], table[sn], g, f, policy, d, random_device);
    if (!choice) {
      result.lost[i] += 1;
      continue;
    }
    D[n] = T[n] + h[n];
    if (d == 0) continue;  // admitted, holds nothing
    const std::int32_t p = choice->second;
    std::int32_t seized = 0;
    for (std::int32_t q = p * f; q < p * f + f; ++q) {
      auto& entry = table[sn][static_cast<std::size_t>(q)];
      if (T[n] >= entry) {
        entry = D[n];
        const std::int32_t u = units[sn][static_cast<std::size_t>(q)];
        for (std::size_t other = 0; other < static_cast<std::size_t>(K); ++other) {
          if (other == sn) continue;
          for (std::size_t e = 0; e < units[other].size(); ++e) {
            if (units[other][e] == u) table[other][e] = D[n];
          }
        }
        seized = seized + 1;
      }
      if (seized == d) break;
    }
  }

  // Estimates.
  result.E.assign(m, 0.0);
  result.C.assign(m, 0.0);
  const bool known = SameBytes(policy, "МаксСвоб") || SameBytes(policy, "МинСвоб") ||
                     SameBytes(policy, "ПервСвоб");
  for (std::size_t i = 0; i < m; ++i) {
    const bool never_taken = !known || g == 0 || static_cast<std::int32_t>(demand_value[i]) > f;
    if (never_taken) {
      result.E[i] = 1.0;
    } else if (result.offered[i] != 0) {
      result.E[i] = static_cast<double>(result.lost[i]) / static_cast<double>(result.offered[i]);
    }
    result.C[i] = result.E[i] == 1.0 ? 0.0 : (traffic[i] * demand_value[i]) * (1.0 - result.E[i]);
  }
  return result;
}

}  // namespace moravel::reference
