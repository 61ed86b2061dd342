// C entry points of the single-service analytic models.
#include "moravel.h"

#include "channel/result_channel.h"
#include "single_service/loss_models.h"
#include "single_service/priority_model.h"
#include "single_service/waiting_model.h"

using moravel::ResultWriter;
using moravel::RunTextExport;

extern "C" {

MORAVEL_API const char* M_M_V_L_an(int32_t V, double A) {
  return RunTextExport(
      [&](ResultWriter& out) { out.WriteSeparated(moravel::PoissonLossModel(V, A).Numbers()); });
}

MORAVEL_API const char* Mi_M_V_L_an(int32_t N, int32_t V, double a) {
  return RunTextExport([&](ResultWriter& out) {
    out.WriteSeparated(moravel::FiniteSourceLossModel(N, V, a).Numbers());
  });
}

MORAVEL_API const char* M_G_V_L_an(double x, double y, double z, int32_t V, int32_t n) {
  return RunTextExport([&](ResultWriter& out) {
    out.WriteSeparated(moravel::AssembledLossModel(x, y, z, V, n).Numbers());
  });
}

MORAVEL_API const char* M_M_V_L_PRA_an(int32_t N, int32_t V, const double* a) {
  return RunTextExport([&](ResultWriter& out) {
    if (const auto results = moravel::PriorityModel(N, V, a)) {
      out.WriteEachFollowedByBlank(results->R);
    }
  });
}

MORAVEL_API const char* M_M_V_W_FF_R_an(double t, double h, int32_t V, double A) {
  return RunTextExport(
      [&](ResultWriter& out) { out.WriteSeparated(moravel::WaitingModel(t, h, V, A).Numbers()); });
}

}  // extern "C"
