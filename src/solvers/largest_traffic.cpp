#include "solvers/largest_traffic.h"

#include <cmath>
#include <limits>

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"
#include "single_service/waiting_model.h"
#include "solvers/bracketed_search.h"

namespace moravel {

double LargestErlangTraffic(std::int32_t V, double target) {
  const auto loss = [V](double A) { return PalmTable(V, A); };
  // Double an upper end from V until its loss exceeds the target; the
  // largest double has a loss of 1.
  double lo = 0.0;
  double flo = 0.0;
  double hi = static_cast<double>(V);
  double fhi = loss(hi);
  while (!(fhi > target)) {
    lo = hi;
    flo = fhi;
    hi = hi < std::numeric_limits<double>::max() / 2 ? 2 * hi : std::numeric_limits<double>::max();
    fhi = loss(hi);
  }
  return LargestAtOrBelow(loss, target, lo, flo, hi, fhi);
}

std::optional<double> LargestEngsetTraffic(std::int32_t N, std::int32_t V, double target) {
  const auto loss = [N, V](double a) { return EngsetTable(N, V, a); };
  const double hi = std::nextafter(1.0, 0.0);
  const double fhi = loss(hi);
  if (!(fhi > target)) return std::nullopt;
  return LargestAtOrBelow(loss, target, 0.0, loss(0.0), hi, fhi);
}

std::optional<double> LargestDelayTraffic(std::int32_t V, double h, double t, double target) {
  // -SL rises with A: the search's nondecreasing function, against -target.
  const auto falling_service = [V, h, t](double A) {
    return -(1.0 - WaitingModel(t, h, V, A).wait_exceeds_threshold);
  };
  const double hi = std::nextafter(static_cast<double>(V), 0.0);
  const double fhi = falling_service(hi);
  if (!(fhi > -target)) return std::nullopt;
  return LargestAtOrBelow(falling_service, -target, 0.0, falling_service(0.0), hi, fhi);
}

}  // namespace moravel
