#include "multiservice_sim/link_subsets.h"

#include "multiservice/binomial.h"

namespace moravel {

std::optional<std::int32_t> SubsetCount(std::int32_t k, std::int32_t g) {
  if (k < 0 || g < 0 || g > k) return std::nullopt;
  // Exact below 2^53, so the comparison with 2^31 is exact too.
  const double count = Binomial(k, g);
  if (!(count < 2147483648.0)) return std::nullopt;
  return static_cast<std::int32_t>(count);
}

SubsetLinks::SubsetLinks(std::int32_t k, std::int32_t g, std::int32_t count)
    : k_(k), g_(g), zero_first_(0) {
  // C(k - 1, g) = C(k, g) (k - g) / k, exactly in 64 bits.
  if (k > 0) {
    zero_first_ = static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(k - g) /
                  static_cast<std::uint64_t>(k);
  }
}

void SubsetLinks::Unrank(std::int32_t number, std::span<std::int32_t> links) const {
  // Walk the mask from entry 0.  With n entries left (entry j included)
  // and r ones still to place, C(n - 1, r) masks put a 0 at entry j and
  // come first in the order; the rest put a 1 there.  The count for the
  // next entry follows from the current one by an exact integer ratio:
  //   after a 0: C(n - 2, r)     = C(n - 1, r) (n - 1 - r) / (n - 1),
  //   after a 1: C(n - 2, r - 1) = C(n - 1, r) r / (n - 1).
  // Every count is at most C(k, g) < 2^31, so the products fit in 64 bits.
  auto rank = static_cast<std::uint64_t>(number);
  std::uint64_t zeros = zero_first_;  // C(n - 1, r)
  std::uint64_t r = static_cast<std::uint64_t>(g_);
  std::size_t placed = 0;
  for (std::int32_t j = 0; r > 0; ++j) {
    const auto rest = static_cast<std::uint64_t>(k_ - j) - 1;  // n - 1
    if (rank < zeros) {
      zeros = zeros * (rest - r) / rest;  // rank < zeros implies rest >= r >= 1
    } else {
      rank -= zeros;
      links[placed++] = j;
      --r;
      if (r > 0) zeros = zeros * (r + 1) / rest;  // r ones left in n - 1 entries: rest >= r >= 1
    }
  }
}

}  // namespace moravel
