#include "reference/solver_reference.h"

#include <algorithm>
#include <cmath>

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"
#include "single_service/waiting_model.h"

namespace moravel::reference {

std::int32_t LinearErlangServers(double A, double target, std::int32_t last) {
  for (std::int32_t V = 1; V <= last; ++V) {
    if (PalmTable(V, A) <= target) return V;
  }
  return 0;
}

std::int32_t LinearEngsetServers(std::int32_t N, double a, double target) {
  for (std::int32_t V = 1;; ++V) {
    if (EngsetTable(N, V, a) <= target) return V;
  }
}

std::int32_t LinearLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                         std::int32_t g, double target, std::int32_t last) {
  for (std::int32_t k = std::max(g, 1); k <= last; ++k) {
    const auto results = g == 0 ? LinkGroupModel(a, M, t, k, f) : LinkSubsetModel(a, M, t, k, f, g);
    if (std::all_of(results->E.begin(), results->E.end(), [&](double E) { return E <= target; })) {
      return k;
    }
  }
  return 0;
}

std::int32_t LinearAgents(double A, double h, double t, int goal, double target) {
  for (auto V = static_cast<std::int32_t>(std::floor(A)) + 1;; ++V) {
    const WaitingCharacteristics w = WaitingModel(t, h, V, A);
    const bool meets = goal == 0   ? 1.0 - w.wait_exceeds_threshold >= target
                       : goal == 1 ? w.mean_wait <= target
                                   : w.wait_probability <= target;
    if (meets) return V;
  }
}

double BisectedLargestAtOrBelow(const std::function<double(double)>& F, double target, double lo,
                                double hi) {
  for (;;) {
    const double middle = lo + (hi - lo) / 2;
    if (!(middle > lo && middle < hi)) return lo;
    (F(middle) <= target ? lo : hi) = middle;
  }
}

}  // namespace moravel::reference
