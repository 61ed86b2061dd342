#include "multiservice/link_group_model.h"

#include "multiservice/acceptance_factor.h"
#include "multiservice/group_input.h"
#include "multiservice/occupancy_distribution.h"

namespace moravel {

std::optional<ClassResults> LinkGroupModel(const double* a, std::int32_t M, const double* t,
                                           std::int32_t k, std::int32_t f) {
  if (!IsComputableGroup(a, M, t, k, f)) return std::nullopt;
  ClassResults results{a, t, k, f, std::nullopt, {}, {}};
  const auto classes = static_cast<std::size_t>(M);
  results.E.resize(classes);
  results.C.resize(classes);
  if (classes == 0) return results;

  const AcceptanceTables tables = TabulateAcceptance(t, M, k, f);
  const std::vector<double> Q = OccupancyDistribution(a, t, M, k, f, tables);
  const std::size_t V = Q.size() - 1;

  // The blocking depends on the class only through its demand count.  The
  // sums of all demands advance together, n outside: each still adds its
  // terms in ascending n from 0.0, without waiting for the others.
  std::vector<double> blocking(tables.demands.size(), 0.0);
  for (std::size_t n = 0; n <= V; ++n) {
    for (std::size_t j = 0; j < blocking.size(); ++j) {
      blocking[j] += (1.0 - tables.factors[j][V - n]) * Q[n];
    }
  }
  for (std::size_t i = 0; i < classes; ++i) {
    results.E[i] = blocking[tables.table_of_class[i]];
    results.C[i] = (t[i] * a[i]) * (1.0 - results.E[i]);
  }
  return results;
}

}  // namespace moravel
