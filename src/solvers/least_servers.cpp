#include "solvers/least_servers.h"

#include "formulas/engset.h"
#include "formulas/erlang_loss.h"

namespace moravel {
namespace {

constexpr std::int32_t kLargestServers = 2147483646;

}  // namespace

std::optional<ServersAnswer> LeastErlangServers(double A, double target) {
  // The carried traffic A (1 - B) never exceeds V, so B(V) >= 1 - V/A: when
  // even the largest V leaves a bound clearly above the target (by a margin
  // far wider than the recursion's rounding), no V meets it.
  if (static_cast<double>(kLargestServers) < A * (1.0 - target) * (1.0 - 1e-3)) {
    return std::nullopt;
  }
  double B = 1.0;
  for (std::int32_t V = 1;; ++V) {
    B = ErlangLossStep(B, A, V);
    if (B <= target) return ServersAnswer{V, B};
    if (V == kLargestServers) return std::nullopt;
  }
}

std::optional<ServersAnswer> LeastEngsetServers(std::int32_t N, double a, double target) {
  const double b = IdleSourceTraffic(a);
  double B = 1.0;
  for (std::int32_t V = 1;; ++V) {
    B = EngsetStep(B, N, b, V);
    if (B <= target) return ServersAnswer{V, B};
    if (V == kLargestServers) return std::nullopt;
  }
}

}  // namespace moravel
