#include "single_service/priority_model.h"

#include "formulas/erlang_loss.h"

namespace moravel {

std::optional<PriorityResults> PriorityModel(std::int32_t N, std::int32_t V, const double* a) {
  if (N < 0 || (N > 0 && a == nullptr)) return std::nullopt;
  PriorityResults r;
  r.a = a;
  r.V = V;
  r.N = N;
  if (N == 0) return r;
  const auto n = static_cast<std::size_t>(N);
  r.E.resize(n);
  r.Y.resize(n);

  r.E[0] = PalmTable(V, a[0]);
  const double b = PalmTable(V, a[0]);
  r.Y[0] = a[0] - b * a[0];

  // Both the offered sum of classes 0..j and the loss of classes 0..j-1 are
  // sums in ascending class order from 0.0; carrying them from one class to
  // the next performs exactly the same additions as summing anew each time.
  double offered = 0.0 + a[0];
  double lost_by_higher = 0.0;
  for (std::size_t j = 1; j < n; ++j) {
    offered += a[j];
    lost_by_higher += a[j - 1] * r.E[j - 1];
    if (a[j] == 0.0) {
      // No calls offered, none lost: 0/0 would only report rounding noise.
      r.E[j] = 0.0;
      r.Y[j] = 0.0;
      continue;
    }
    const double lost = PalmTable(V, offered) * offered - lost_by_higher;
    r.E[j] = lost / a[j];
    r.Y[j] = a[j] - lost;
  }

  r.R.resize(2 * n);
  for (std::size_t x = 0; x < n; ++x) {
    r.R[2 * x] = r.E[x];
    r.R[2 * x + 1] = r.Y[x];
  }
  return r;
}

}  // namespace moravel
