#include "single_service/priority_model.h"

#include <cstdint>

#include "formulas/erlang_loss.h"

namespace moravel {
namespace {

// A difference of two losses that keeps at least 32 of its 53 bits (below
// it by at most 2^20 ulps of the larger, L's few roundings included) is
// taken as it stands.
constexpr double kCancellationLimit = 0x1p-20;

}  // namespace

// Let g(A) = A B(V, A), the traffic a loss system offered A erlangs loses.
// The lowest class of traffic a = A2 - A1 below classes of A1 erlangs loses
// (g(A2) - g(A1)) / a of its calls.  With h_i(A) = 1 / g_i(A) = (1 + i
// h_{i-1}(A)) / A, h_0 = 1 / A, the difference
//   h_i(A1) - h_i(A2) = d + i (h_{i-1}(A1) d + (h_{i-1}(A1) - h_{i-1}(A2)) / A2),
// d = 1/A1 - 1/A2 = a / (A1 A2), is a sum of positive terms.  Scaled as
// w_i = A2 (h_i(A1) - h_i(A2)) / (a h_i(A1)), it runs along the Erlang B
// recursion at A1 (b_i, t_i = A1 b_{i-1}, b_i = t_i / (i + t_i)) as
//   w_0 = 1,  w_i = b_i + i / (i + t_i) + i b_i / b_{i-1} w_{i-1} / A2,
// with b_i / b_{i-1} = A1 / (i + t_i), and the loss probability is
// w_V B(V, A2).  No step subtracts, so the loss keeps its digits however
// small a is next to A1; every factor i A1 / ((i + t_i) A2) is below 1, so
// w_i stays below 2 (i + 1).
double LossBelowHigherClasses(std::int32_t V, double A1, double A2) {
  // As PalmTable: V + 1 in two's complement, so that the largest V wraps
  // and counts as no servers, and no loss without servers.
  if (static_cast<std::int32_t>(static_cast<std::uint32_t>(V) + 1u) < 2) return 0.0;
  double b = 1.0;
  double w = 1.0;
  for (std::int32_t i = 1; i <= V; ++i) {
    const double t = A1 * b;
    const double step = static_cast<double>(i) + t;
    b = t / step;
    w = b + static_cast<double>(i) / step + (static_cast<double>(i) * (A1 / step)) * w / A2;
  }
  return w * PalmTable(V, A2);
}

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
    const double offered_above = offered;
    offered += a[j];
    lost_by_higher += a[j - 1] * r.E[j - 1];
    if (a[j] == 0.0) {
      // No calls offered, none lost: 0/0 would only report rounding noise.
      r.E[j] = 0.0;
      r.Y[j] = 0.0;
      continue;
    }
    const double lost_by_all = PalmTable(V, offered) * offered;
    const double lost = lost_by_all - lost_by_higher;
    if (lost > kCancellationLimit * lost_by_all) {
      r.E[j] = lost / a[j];
      r.Y[j] = a[j] - lost;
    } else {
      // The difference kept fewer than 32 of its bits (none when a[j] is
      // below an ulp of the classes above): take it from the recursion of
      // the difference instead.
      r.E[j] = LossBelowHigherClasses(V, offered_above, offered);
      r.Y[j] = a[j] - r.E[j] * a[j];
    }
  }

  r.R.resize(2 * n);
  for (std::size_t x = 0; x < n; ++x) {
    r.R[2 * x] = r.E[x];
    r.R[2 * x + 1] = r.Y[x];
  }
  return r;
}

}  // namespace moravel
