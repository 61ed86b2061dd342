// Loss in a group of k links of f units when a call is offered to a subset
// of g of the links only, and lost when none of those g has its demand free.
#ifndef MORAVEL_MULTISERVICE_LINK_SUBSET_MODEL_H
#define MORAVEL_MULTISERVICE_LINK_SUBSET_MODEL_H

#include <cstdint>
#include <optional>

#include "multiservice/class_results.h"

namespace moravel {

// The occupancy distribution Q is that of the whole group (the link-group
// recursion, unchanged).  A link refuses a class-i call from m_i = f - d_i + 1
// occupied units on; with all placements of n occupied units over the links
// equally likely, the chance that all g links of the subset refuse is
//   beta(n) = sum over w = m g..min(n, f g) of
//             (Arrangements(w, g, f, m) Arrangements(n - w, k - g, f, 0))
//             / Arrangements(n, k, f, 0)
// (0 when n < m g), and E_i = sum over n = m..V of beta(n) Q[n], both sums
// ascending from 0.0.  E_i = 1 exactly when d_i > f, 0 when m_i > V.
// C_i = (t_i a_i) (1 - E_i).  m_i and m_i g are whole-number counts (64-bit:
// for demand 0 on groups within 2^31 units of the 32-bit limit they would
// wrap).  nullopt for a group that IsComputableSubset refuses.
std::optional<ClassResults> LinkSubsetModel(const double* a, std::int32_t M, const double* t,
                                            std::int32_t k, std::int32_t f, std::int32_t g);

}  // namespace moravel

#endif
