#include "multiservice/binomial.h"

#include <limits>

namespace moravel {
namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}  // namespace

double Binomial(std::int32_t n, std::int32_t k) {
  if (k > n || k < 0) return 0.0;
  double r = 1.0;
  for (std::int32_t j = 1; j <= k; ++j) {
    // n - j + 1 in 64 bits: n near -2^31 cannot reach here (k <= n), but
    // keep the count arithmetic free of overflow all the same.
    r *= static_cast<double>(static_cast<std::int64_t>(n) - j + 1);
    r /= static_cast<double>(j);
    // Once infinite, every further step keeps it infinite: stop early, so
    // that huge arguments cost a few thousand steps, not 2^31.
    if (r == kInfinity) break;
  }
  return r;
}

}  // namespace moravel
