// The solvers that search a model's sizes, through the status-returning
// interface.
#include <cmath>

#include "api/checks.h"
#include "moravel/api.h"
#include "solvers/least_direct_servers.h"
#include "solvers/least_priority_servers.h"

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_erlang_b_direct_servers(double traffic, double target,
                                                           int32_t* servers,
                                                           double* loss) noexcept {
  if (servers == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = FirstRefusal(CheckTraffic(traffic), CheckTarget(target))) {
    return refused;
  }
  const moravel::DirectServersAnswer found = moravel::LeastDirectFormServers(traffic, target);
  switch (found.outcome) {
    case moravel::SizeOutcome::kUnreachable: return MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE;
    case moravel::SizeOutcome::kOverflow: return MORAVEL_ERROR_OVERFLOW;
    case moravel::SizeOutcome::kFound: break;
  }
  *servers = found.servers;
  if (loss != nullptr) *loss = found.loss;
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_loss_priority_servers(int32_t classes, const double* traffic,
                                                         double target, int32_t* servers,
                                                         double* loss) noexcept {
  if (classes < 1) return MORAVEL_ERROR_CLASSES;
  if (traffic == nullptr || servers == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  double offered = 0.0;
  for (int32_t j = 0; j < classes; ++j) {
    if (!IsFiniteNonNegative(traffic[j])) return MORAVEL_ERROR_TRAFFIC;
    offered += traffic[j];
  }
  if (!std::isfinite(offered)) return MORAVEL_ERROR_TRAFFIC;
  if (const auto refused = CheckTarget(target)) return refused;
  return Guarded([&] {
    const moravel::PriorityServersAnswer found =
        moravel::LeastPriorityServers(classes, traffic, target);
    if (found.over_budget) return MORAVEL_ERROR_MODEL_LIMIT;
    switch (found.outcome) {
      case moravel::SizeOutcome::kUnreachable: return MORAVEL_ERROR_UNREACHABLE;
      case moravel::SizeOutcome::kOverflow: return MORAVEL_ERROR_OVERFLOW;
      case moravel::SizeOutcome::kFound: break;
    }
    *servers = found.servers;
    if (loss != nullptr) {
      for (std::size_t j = 0; j < found.loss.size(); ++j) loss[j] = found.loss[j];
    }
    return MORAVEL_OK;
  });
}

}  // extern "C"
