// The single-service analytic models through the status-returning
// interface: checks shared by the single-point and array entries, which
// write the records the legacy exports write as text; the array entries of
// the Erlang models run their points through the batched recursion.
#include <cmath>
#include <vector>

#include "api/array_points.h"
#include "api/checks.h"
#include "formulas/erlang_loss.h"
#include "formulas/erlang_loss_batch.h"
#include "moravel/api.h"
#include "single_service/loss_models.h"
#include "single_service/priority_model.h"
#include "single_service/waiting_model.h"

namespace moravel::api {
namespace {

void Store(const LossPair& pair, moravel_loss_result& result) {
  result.loss = pair.loss;
  result.carried = pair.carried;
}

void Store(const WaitingCharacteristics& w, moravel_wait_result& result) {
  result.wait_probability = w.wait_probability;
  result.wait_exceeds = w.wait_exceeds_threshold;
  result.mean_wait = w.mean_wait;
  result.mean_wait_of_waiting = w.mean_wait_of_waiting;
  result.queue_length = w.mean_queue_length;
}

moravel_status CheckLoss(std::int32_t V, double A) {
  return FirstRefusal(CheckServers(V), CheckTraffic(A));
}

moravel_status FiniteSourcesPoint(std::int32_t N, std::int32_t V, double a,
                                  moravel_loss_result& result) {
  if (const auto refused = FirstRefusal(CheckSources(N), CheckServers(V), CheckSourceTraffic(a))) {
    return refused;
  }
  LossPair pair = FiniteSourceLossModel(N, V, a);
  // The carried traffic, Nb(1 - B) / ((1 - B)b + 1), is below V; with B
  // near 1 its rounding could take it past.
  if (pair.carried > static_cast<double>(V)) pair.carried = static_cast<double>(V);
  Store(pair, result);
  return MORAVEL_OK;
}

moravel_status CheckAssembled(double x, double y, double z, std::int32_t V, std::int32_t n) {
  const moravel_status times =
      IsFinitePositive(x) && IsFinitePositive(y) ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_TIMES;
  const moravel_status z_status = IsFiniteNonNegative(z) ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_Z;
  const moravel_status multiplier = n >= 0 ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLY_MULTIPLIER;
  if (const auto refused = FirstRefusal(times, z_status, CheckServers(V), multiplier)) {
    return refused;
  }
  // z / y overflows for a tiny y; 1/x and 1/y may be infinite, which only
  // drives the load to 0.
  return std::isfinite(AssembledLoad(x, y, z, n)) ? MORAVEL_OK : MORAVEL_ERROR_ASSEMBLED_LOAD;
}

moravel_status CheckWait(double t, double h, std::int32_t V, double A) {
  if (const auto refused = FirstRefusal(CheckThreshold(t), CheckHoldingTime(h), CheckServers(V),
                                        CheckTraffic(A), CheckBelowServers(A, V))) {
    return refused;
  }
  // The waits are at most h / (V - A) (C <= 1); the queue length, A / (V -
  // A), stays below 2^84.  A holding time near the largest double can take
  // the waits beyond it.
  return CheckWaitsInRange(h, V, A);
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_loss(int32_t servers, double traffic,
                                        moravel_loss_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckLoss(servers, traffic)) return refused;
  Store(moravel::PoissonLossWithinServers(servers, traffic, moravel::PalmTable(servers, traffic)),
        *result);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_loss_finite_sources(int32_t sources, int32_t servers,
                                                       double traffic_per_source,
                                                       moravel_loss_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  return FiniteSourcesPoint(sources, servers, traffic_per_source, *result);
}

MORAVEL_API moravel_status moravel_loss_assembled(double x, double y, double z, int32_t servers,
                                                  int32_t n, moravel_loss_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckAssembled(x, y, z, servers, n)) return refused;
  const double load = moravel::AssembledLoad(x, y, z, n);
  Store(moravel::PoissonLossWithinServers(servers, load, moravel::PalmTable(servers, load)),
        *result);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_loss_priority(int32_t classes, int32_t servers,
                                                 const double* traffic, double* loss,
                                                 double* carried) noexcept {
  if (classes < 1) return MORAVEL_ERROR_CLASSES;
  if (traffic == nullptr || loss == nullptr || carried == nullptr) {
    return MORAVEL_ERROR_NULL_POINTER;
  }
  if (const auto refused = CheckServers(servers)) return refused;
  // The aggregates of the first j classes are offered to the servers; their
  // sums must stay finite as well as each traffic.
  double offered = 0.0;
  for (int32_t j = 0; j < classes; ++j) {
    if (!IsFiniteNonNegative(traffic[j])) return MORAVEL_ERROR_TRAFFIC;
    offered += traffic[j];
  }
  if (!std::isfinite(offered)) return MORAVEL_ERROR_TRAFFIC;
  return Guarded([&] {
    const auto results = moravel::PriorityModel(classes, servers, traffic);
    if (!results) return MORAVEL_ERROR_INTERNAL;  // not reached: the inputs were checked
    // A class's loss comes from a difference of the aggregates' losses over
    // its own traffic: with traffics far apart in size it can leave the
    // doubles, and then nothing is handed out.
    for (std::size_t j = 0; j < results->E.size(); ++j) {
      if (!std::isfinite(results->E[j]) || !std::isfinite(results->Y[j])) {
        return MORAVEL_ERROR_OVERFLOW;
      }
    }
    for (std::size_t j = 0; j < results->E.size(); ++j) {
      loss[j] = results->E[j];
      carried[j] = results->Y[j];
    }
    return MORAVEL_OK;
  });
}

MORAVEL_API moravel_status moravel_wait(double threshold, double holding_time, int32_t servers,
                                        double traffic, moravel_wait_result* result) noexcept {
  if (result == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckWait(threshold, holding_time, servers, traffic)) return refused;
  Store(moravel::WaitingModel(threshold, holding_time, servers, traffic), *result);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_loss_array(size_t n, const int32_t* servers,
                                              const double* traffic, moravel_loss_result* results,
                                              size_t* refused_index) noexcept {
  return ArrayCall(
      n, results,
      [&] {
        return ChunkedPoints(
            n, refused_index, [&](size_t j) { return CheckLoss(servers[j], traffic[j]); },
            [&](size_t first, size_t count) {
              double loss[kChunk];
              moravel::PalmTableBatch(count, servers + first, traffic + first, loss);
              for (size_t i = 0; i < count; ++i) {
                Store(moravel::PoissonLossWithinServers(servers[first + i], traffic[first + i],
                                                        loss[i]),
                      results[first + i]);
              }
            });
      },
      servers, traffic);
}

MORAVEL_API moravel_status moravel_loss_finite_sources_array(size_t n, const int32_t* sources,
                                                             const int32_t* servers,
                                                             const double* traffic_per_source,
                                                             moravel_loss_result* results,
                                                             size_t* refused_index) noexcept {
  return ArrayCall(
      n, results,
      [&] {
        return ForEachPoint(n, refused_index, [&](size_t j) {
          return FiniteSourcesPoint(sources[j], servers[j], traffic_per_source[j], results[j]);
        });
      },
      sources, servers, traffic_per_source);
}

MORAVEL_API moravel_status moravel_loss_assembled_array(size_t n, const double* x, const double* y,
                                                        const double* z, const int32_t* servers,
                                                        const int32_t* multiplier,
                                                        moravel_loss_result* results,
                                                        size_t* refused_index) noexcept {
  return ArrayCall(
      n, results,
      [&] {
        return ChunkedPoints(
            n, refused_index,
            [&](size_t j) { return CheckAssembled(x[j], y[j], z[j], servers[j], multiplier[j]); },
            [&](size_t first, size_t count) {
              double load[kChunk], loss[kChunk];
              for (size_t i = 0; i < count; ++i) {
                const size_t j = first + i;
                load[i] = moravel::AssembledLoad(x[j], y[j], z[j], multiplier[j]);
              }
              moravel::PalmTableBatch(count, servers + first, load, loss);
              for (size_t i = 0; i < count; ++i) {
                Store(moravel::PoissonLossWithinServers(servers[first + i], load[i], loss[i]),
                      results[first + i]);
              }
            });
      },
      x, y, z, servers, multiplier);
}

MORAVEL_API moravel_status moravel_wait_array(size_t n, const double* threshold,
                                              const double* holding_time, const int32_t* servers,
                                              const double* traffic, moravel_wait_result* results,
                                              size_t* refused_index) noexcept {
  return ArrayCall(
      n, results,
      [&] {
        return ChunkedPoints(
            n, refused_index,
            [&](size_t j) {
              return CheckWait(threshold[j], holding_time[j], servers[j], traffic[j]);
            },
            [&](size_t first, size_t count) {
              double loss[kChunk];
              moravel::PalmTableBatch(count, servers + first, traffic + first, loss);
              for (size_t i = 0; i < count; ++i) {
                const size_t j = first + i;
                Store(moravel::WaitingFromLoss(threshold[j], holding_time[j], servers[j],
                                               traffic[j], loss[i]),
                      results[j]);
              }
            });
      },
      threshold, holding_time, servers, traffic);
}

}  // extern "C"
