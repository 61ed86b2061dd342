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
  const double* a = nullptr;      // offered traffic per class [erlang], borrowed
  const double* t = nullptr;      // demand per call per class [units], borrowed
  std::int32_t k = 0;             // links in the group
  std::int32_t f = 0;             // units per link
  std::optional<std::int32_t> g;  // links a call is offered to, for the link-subset model
  std::vector<double> E;          // blocking probability per class
  std::vector<double> C;          // carried traffic per class [units]
};

// A blocking is a probability up to the rounding of its sum: at most this
// far above 1 (each of the V + 1 terms rounds by an ulp or so).  Beyond it,
// or below 0, or NaN, a value left the doubles or a count lost its digits.
inline constexpr double kBlockingRoundingAllowance = 1e-9;
inline bool IsSoundBlocking(double E) { return E >= 0.0 && E <= 1.0 + kBlockingRoundingAllowance; }

// Below this, 1 - E has lost its digits to cancellation: E rounds to within
// half an ulp of its value, so 1.0 - E carries an absolute error of about
// 1.1e-16, a relative error above 1e-10 once 1 - E < 2^-20.
inline constexpr double kCancellingComplement = 1.0 / 1048576.0;  // 2^-20

// Gives class i the blocking of its demand, blocking_of_demand[demand_of_class[i]],
// and the carried traffic in units: the last step of both models, whose
// blocking depends on a class only through its demand count.
//
// The carried traffic is (t_i a_i)(1 - E_i) where 1 - E_i >= 2^-20.  Nearer
// to 1 the complement has lost its digits -- at extreme traffic E rounds to
// 1 while a full group still carries about its capacity -- and the carried
// traffic is (t_i a_i) times the accepting share counted directly,
// accepting(j) for the class's demand j, which is asked for only there.  A
// class whose accepting share is 0 (one wider than a link) carries exactly
// 0, even where t_i a_i is infinite.  The carried traffic of the classes is
// the group's mean occupancy, so no class carries more than the k f units
// of the group: a value above them (rounding) is brought down to them.
template <class Accepting>
void SetBlockingAndCarried(ClassResults& results, const std::vector<double>& blocking_of_demand,
                           const std::vector<std::size_t>& demand_of_class, Accepting&& accepting) {
  const double capacity = static_cast<double>(results.k) * results.f;
  for (std::size_t i = 0; i < results.E.size(); ++i) {
    const std::size_t j = demand_of_class[i];
    const double E = blocking_of_demand[j];
    const double offered = results.t[i] * results.a[i];
    double C = 0.0;
    if (!(1.0 - E < kCancellingComplement)) {
      C = offered * (1.0 - E);
    } else if (const double share = accepting(j); share != 0.0) {
      C = offered * share;
    }
    results.E[i] = E;
    results.C[i] = C > capacity ? capacity : C;
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
