// Loss in a group of k separate links of f units: a call of class i needs
// t_i units on one link and is lost when no link has them free.
#ifndef MORAVEL_MULTISERVICE_LINK_GROUP_MODEL_H
#define MORAVEL_MULTISERVICE_LINK_GROUP_MODEL_H

#include <cstdint>
#include <optional>

#include "multiservice/class_results.h"

namespace moravel {

// E_i = sum over n = 0..V of (1 - sigma_i(V - n)) Q[n], in ascending n from
// 0.0, with the refusing share 1 - sigma as AcceptanceTables holds it, and
// C_i = (t_i a_i) (1 - E_i), the carried traffic in units (counted from the
// accepting share where 1 - E_i is below 2^-20: SetBlockingAndCarried).  A
// class whose demand exceeds a link gets E = 1 and C = 0 exactly.
// nullopt for a group that IsComputableGroup refuses.
std::optional<ClassResults> LinkGroupModel(const double* a, std::int32_t M, const double* t,
                                           std::int32_t k, std::int32_t f);

}  // namespace moravel

#endif
