// The scalar formulas through the status-returning interface: one check
// (or checked point function) per formula, used once by the single-point
// entry and once per point by the array entry, whose Erlang points run
// through the batched recursion.
#include <cmath>

#include "api/array_points.h"
#include "api/checks.h"
#include "formulas/engset.h"
#include "formulas/erlang_direct.h"
#include "formulas/erlang_loss.h"
#include "formulas/erlang_loss_batch.h"
#include "moravel/api.h"

namespace moravel::api {
namespace {

moravel_status CheckErlangB(std::int32_t V, double A) {
  return FirstRefusal(CheckServers(V), CheckTraffic(A));
}

moravel_status CheckErlangC(std::int32_t V, double A) {
  return FirstRefusal(CheckServers(V), CheckTraffic(A), CheckBelowServers(A, V));
}

moravel_status EngsetPoint(std::int32_t N, std::int32_t V, double a, double& loss) {
  if (const auto refused = FirstRefusal(CheckSources(N), CheckServers(V), CheckSourceTraffic(a))) {
    return refused;
  }
  loss = EngsetTable(N, V, a);
  return MORAVEL_OK;
}

moravel_status DirectFormServers(std::int32_t V) {
  return V >= 0 && V <= kLargestDirectFormServers ? MORAVEL_OK : MORAVEL_ERROR_DIRECT_FORM_SERVERS;
}

moravel_status ErlangBDirectPoint(std::int32_t V, double A, double& loss) {
  if (const auto refused = FirstRefusal(DirectFormServers(V), CheckTraffic(A))) return refused;
  // A^V beyond the doubles makes the quotient inf / inf.
  const double value = E(V, A);
  if (std::isnan(value)) return MORAVEL_ERROR_OVERFLOW;
  loss = value;
  return MORAVEL_OK;
}

moravel_status ErlangBRatioPoint(std::int32_t V, double A, std::int32_t i, double& ratio) {
  const std::int64_t fewer = std::int64_t{V} - i;
  const moravel_status fewer_status =
      fewer >= 0 && fewer <= kLargestDirectFormServers ? MORAVEL_OK : MORAVEL_ERROR_RATIO_SERVERS;
  if (const auto refused =
          FirstRefusal(DirectFormServers(V), fewer_status, CheckPositiveTraffic(A))) {
    return refused;
  }
  // Either value may overflow (inf / inf) or fall below the normal doubles:
  // A^n / n! then keeps few or no digits (E(170, 0.8) is 0), and a quotient
  // of such values is off, or 0, where the true ratio is a plain number.
  if (!std::isnormal(E(V, A)) || !std::isnormal(E(static_cast<std::int32_t>(fewer), A))) {
    return MORAVEL_ERROR_OVERFLOW;
  }
  const double value = Hi(V, A, i);
  if (!std::isfinite(value)) return MORAVEL_ERROR_OVERFLOW;
  ratio = value;
  return MORAVEL_OK;
}

}  // namespace
}  // namespace moravel::api

using namespace moravel::api;

extern "C" {

MORAVEL_API moravel_status moravel_erlang_b(int32_t servers, double traffic,
                                            double* loss) noexcept {
  if (loss == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckErlangB(servers, traffic)) return refused;
  *loss = moravel::PalmTable(servers, traffic);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_erlang_c(int32_t servers, double traffic,
                                            double* wait_probability) noexcept {
  if (wait_probability == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  if (const auto refused = CheckErlangC(servers, traffic)) return refused;
  *wait_probability = moravel::ErlangFormula2(servers, traffic);
  return MORAVEL_OK;
}

MORAVEL_API moravel_status moravel_engset(int32_t sources, int32_t servers,
                                          double traffic_per_source, double* loss) noexcept {
  if (loss == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  return EngsetPoint(sources, servers, traffic_per_source, *loss);
}

MORAVEL_API moravel_status moravel_erlang_b_direct(int32_t servers, double traffic,
                                                   double* loss) noexcept {
  if (loss == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  return ErlangBDirectPoint(servers, traffic, *loss);
}

MORAVEL_API moravel_status moravel_erlang_b_ratio(int32_t servers, double traffic, int32_t fewer,
                                                  double* ratio) noexcept {
  if (ratio == nullptr) return MORAVEL_ERROR_NULL_POINTER;
  return ErlangBRatioPoint(servers, traffic, fewer, *ratio);
}

MORAVEL_API moravel_status moravel_erlang_b_array(size_t n, const int32_t* servers,
                                                  const double* traffic, double* loss,
                                                  size_t* refused_index) noexcept {
  return ArrayCall(
      n, loss,
      [&] {
        return ChunkedPoints(
            n, refused_index, [&](size_t j) { return CheckErlangB(servers[j], traffic[j]); },
            [&](size_t first, size_t count) {
              moravel::PalmTableBatch(count, servers + first, traffic + first, loss + first);
            });
      },
      servers, traffic);
}

MORAVEL_API moravel_status moravel_erlang_c_array(size_t n, const int32_t* servers,
                                                  const double* traffic, double* wait_probability,
                                                  size_t* refused_index) noexcept {
  return ArrayCall(
      n, wait_probability,
      [&] {
        return ChunkedPoints(
            n, refused_index, [&](size_t j) { return CheckErlangC(servers[j], traffic[j]); },
            [&](size_t first, size_t count) {
              double* out = wait_probability + first;
              moravel::PalmTableBatch(count, servers + first, traffic + first, out);
              for (size_t i = 0; i < count; ++i) {
                out[i] = moravel::ErlangCFromLoss(servers[first + i], traffic[first + i], out[i]);
              }
            });
      },
      servers, traffic);
}

MORAVEL_API moravel_status moravel_engset_array(size_t n, const int32_t* sources,
                                                const int32_t* servers,
                                                const double* traffic_per_source, double* loss,
                                                size_t* refused_index) noexcept {
  return ArrayCall(
      n, loss,
      [&] {
        return ForEachPoint(n, refused_index, [&](size_t j) {
          return EngsetPoint(sources[j], servers[j], traffic_per_source[j], loss[j]);
        });
      },
      sources, servers, traffic_per_source);
}

MORAVEL_API moravel_status moravel_erlang_b_direct_array(size_t n, const int32_t* servers,
                                                         const double* traffic, double* loss,
                                                         size_t* refused_index) noexcept {
  return ArrayCall(
      n, loss,
      [&] {
        return ForEachPoint(n, refused_index, [&](size_t j) {
          return ErlangBDirectPoint(servers[j], traffic[j], loss[j]);
        });
      },
      servers, traffic);
}

MORAVEL_API moravel_status moravel_erlang_b_ratio_array(size_t n, const int32_t* servers,
                                                        const double* traffic, const int32_t* fewer,
                                                        double* ratio,
                                                        size_t* refused_index) noexcept {
  return ArrayCall(
      n, ratio,
      [&] {
        return ForEachPoint(n, refused_index, [&](size_t j) {
          return ErlangBRatioPoint(servers[j], traffic[j], fewer[j], ratio[j]);
        });
      },
      servers, traffic, fewer);
}

}  // extern "C"
