// The per-class results of the multi-service models.
#ifndef MORAVEL_MULTISERVICE_CLASS_RESULTS_H
#define MORAVEL_MULTISERVICE_CLASS_RESULTS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace moravel {

// Filled by one evaluation and released after the export has written it.
struct ClassResults {
  const double* a = nullptr;       // offered traffic per class [erlang], borrowed
  const double* t = nullptr;       // demand per call per class [units], borrowed
  std::int32_t k = 0;              // links in the group
  std::int32_t f = 0;              // units per link
  std::optional<std::int32_t> g;   // links a call is offered to, for the link-subset model
  std::vector<double> E;           // blocking probability per class
  std::vector<double> C;           // carried traffic per class [units]
};

// Gives class i the blocking of its demand, blocking_of_demand[demand_of_class[i]],
// and the carried traffic (t_i a_i)(1 - E_i) in units: the last step of both
// models, whose blocking depends on a class only through its demand count.
// A class that is always refused carries exactly 0, even where t_i a_i is
// infinite.
inline void SetBlockingAndCarried(ClassResults& results,
                                  const std::vector<double>& blocking_of_demand,
                                  const std::vector<std::size_t>& demand_of_class) {
  for (std::size_t i = 0; i < results.E.size(); ++i) {
    results.E[i] = blocking_of_demand[demand_of_class[i]];
    results.C[i] = results.E[i] == 1.0 ? 0.0 : (results.t[i] * results.a[i]) * (1.0 - results.E[i]);
  }
}

// E0, C0, E1, C1, ... in class order, as the exports write them.
inline std::vector<double> InterleavedResults(const ClassResults& results) {
  std::vector<double> numbers;
  numbers.reserve(2 * results.E.size());
  for (std::size_t i = 0; i < results.E.size(); ++i) {
    numbers.push_back(results.E[i]);
    numbers.push_back(results.C[i]);
  }
  return numbers;
}

}  // namespace moravel

#endif
