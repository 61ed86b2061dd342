#include "formulas/erlang_loss_batch.h"

#include <algorithm>

#include "formulas/erlang_loss.h"

namespace moravel {
namespace {

constexpr std::size_t kLanes = 4;

// The count of steps PalmTable takes: V for V >= 1, none when V + 1 wraps
// below 2 (V <= 0 and V = 2^31 - 1, which give 0).
std::int32_t Steps(std::int32_t V) {
  const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(V) + 1u);
  return next < 2 ? 0 : V;
}

}  // namespace

void PalmTableBatch(std::size_t n, const std::int32_t* V, const double* A, double* B) {
  std::size_t j = 0;
  for (; j + kLanes <= n; j += kLanes) {
    std::int32_t steps[kLanes];
    for (std::size_t lane = 0; lane < kLanes; ++lane) steps[lane] = Steps(V[j + lane]);
    const std::int32_t together = *std::min_element(steps, steps + kLanes);
    const double a0 = A[j], a1 = A[j + 1], a2 = A[j + 2], a3 = A[j + 3];
    double b0 = 1.0, b1 = 1.0, b2 = 1.0, b3 = 1.0;
    for (std::int32_t i = 1; i <= together; ++i) {
      b0 = ErlangLossStep(b0, a0, i);
      b1 = ErlangLossStep(b1, a1, i);
      b2 = ErlangLossStep(b2, a2, i);
      b3 = ErlangLossStep(b3, a3, i);
    }
    const double value[kLanes] = {b0, b1, b2, b3};
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      double b = value[lane];
      for (std::int32_t i = together + 1; i <= steps[lane]; ++i)
        b = ErlangLossStep(b, A[j + lane], i);
      B[j + lane] = steps[lane] == 0 ? 0.0 : b;
    }
  }
  for (; j < n; ++j) B[j] = PalmTable(V[j], A[j]);
}

}  // namespace moravel
