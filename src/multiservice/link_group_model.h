// Loss in a group of k separate links of f units: a call of class i needs
// t_i units on one link and is lost when no link has them free.
#ifndef MORAVEL_MULTISERVICE_LINK_GROUP_MODEL_H
#define MORAVEL_MULTISERVICE_LINK_GROUP_MODEL_H

#include <cstdint>
#include <optional>

#include "multiservice/class_results.h"

namespace moravel {

// E_i = sum over n = 0..V of (1 - sigma_i(V - n)) Q[n], in ascending n from
// 0.0, and C_i = (t_i a_i) (1 - E_i), the carried traffic in units.  A class
// whose demand exceeds a link gets the sum of Q (1 up to rounding).
// nullopt for a group that IsComputableGroup refuses.
std::optional<ClassResults> LinkGroupModel(const double* a, std::int32_t M, const double* t,
                                           std::int32_t k, std::int32_t f);

}  // namespace moravel

#endif
