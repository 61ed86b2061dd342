// C entry points of the multi-service link-group models.
#include "moravel.h"

#include "channel/result_channel.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"

using moravel::ResultWriter;
using moravel::RunTextExport;

extern "C" {

MORAVEL_API const char* VM_VMl_V_L_an(const double* a, int32_t M, const double* t, int32_t k,
                                      int32_t f) {
  return RunTextExport([&](ResultWriter& out) {
    if (const auto results = moravel::LinkGroupModel(a, M, t, k, f)) {
      out.WriteEachFollowedByBlank(moravel::InterleavedResults(*results));
    }
  });
}

MORAVEL_API const char* VM_VMl_VDg_L_an(const double* a, int32_t M, const double* t, int32_t k,
                                        int32_t f, int32_t g) {
  return RunTextExport([&](ResultWriter& out) {
    if (const auto results = moravel::LinkSubsetModel(a, M, t, k, f, g)) {
      out.WriteEachFollowedByBlank(moravel::InterleavedResults(*results));
    }
  });
}

}  // extern "C"
