// The multi-rate link-group models through the status-returning interface.
#include <cmath>

#include "api/group_checks.h"
#include "api/multiservice_results.h"
#include "moravel/api.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_link_group(const double* traffic, int32_t classes,
                                              const double* demand, int32_t links,
                                              int32_t link_units, double* blocking,
                                              double* carried) noexcept {
  if (const auto refused =
          CheckGroup(traffic, classes, demand, links, link_units, blocking, carried)) {
    return refused;
  }
  return Guarded([&] {
    return CopyClassResults(moravel::LinkGroupModel(traffic, classes, demand, links, link_units),
                            blocking, carried);
  });
}

MORAVEL_API moravel_status moravel_link_subset(const double* traffic, int32_t classes,
                                               const double* demand, int32_t links,
                                               int32_t link_units, int32_t subset_links,
                                               double* blocking, double* carried) noexcept {
  if (const auto refused =
          CheckGroup(traffic, classes, demand, links, link_units, blocking, carried)) {
    return refused;
  }
  if (subset_links < 1 || subset_links > links) return MORAVEL_ERROR_SUBSET;
  return Guarded([&] {
    return CopyClassResults(
        moravel::LinkSubsetModel(traffic, classes, demand, links, link_units, subset_links),
        blocking, carried);
  });
}

}  // extern "C"
