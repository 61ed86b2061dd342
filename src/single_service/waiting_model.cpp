#include "single_service/waiting_model.h"

#include <cmath>

#include "formulas/erlang_loss.h"

namespace moravel {

WaitingCharacteristics WaitingModel(double t, double h, std::int32_t V, double A) {
  return WaitingFromLoss(t, h, V, A, PalmTable(V, A));
}

WaitingCharacteristics WaitingFromLoss(double t, double h, std::int32_t V, double A, double B) {
  const double servers = static_cast<double>(V);
  const double q = ((1.0 - B) * A) / servers;
  const double D = servers - A;
  const double C = B / (1.0 - q);  // the Erlang delay value, as ErlangFormula2
  const double e = std::exp(-((D * t) / h));
  return {C, e * C, (C * h) / D, h / D, (C * A) / D};
}

}  // namespace moravel
