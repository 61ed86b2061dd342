// C entry points of the single-service simulations.  The service rate is
// fixed at 1, so time runs in mean holding times and lambda = A.
#include "moravel.h"

#include "channel/result_channel.h"
#include "simulation/loss_simulation.h"
#include "simulation/waiting_simulation.h"

using moravel::ResultWriter;
using moravel::RunTextExport;

extern "C" {

MORAVEL_API const char* M_M_V_L_im(double A, int32_t V, int32_t N, uint32_t seed) {
  return RunTextExport([&](ResultWriter& out) {
    if (const auto result = moravel::SimulateLossSystem(A, 1.0, V, N, seed)) {
      out.WriteSeparated(result->output);
    }
  });
}

MORAVEL_API const char* M_M_V_W_FF_R_im(double A, int32_t V, int32_t N, double t, uint32_t seed) {
  return RunTextExport([&](ResultWriter& out) {
    if (const auto result = moravel::SimulateWaitingSystem(A, 1.0, V, N, t, seed)) {
      out.WriteSeparated(result->output);
    }
  });
}

}  // extern "C"
