#include "solvers/least_direct_servers.h"

#include <cmath>

#include "formulas/erlang_direct.h"

namespace moravel {

DirectServersAnswer LeastDirectFormServers(double A, double target) {
  constexpr std::int32_t kLargest = 170;  // 171! leaves the doubles
  for (std::int32_t V = 1; V <= kLargest; ++V) {
    const double loss = E(V, A);
    if (std::isnan(loss)) return {SizeOutcome::kOverflow, 0, 0.0};  // inf / inf
    if (loss <= target) return {SizeOutcome::kFound, V, loss};
  }
  return {SizeOutcome::kUnreachable, 0, 0.0};
}

}  // namespace moravel
