#include "multiservice_sim/link_subsets.h"

#include "multiservice/binomial.h"

namespace moravel {

std::optional<std::int32_t> SubsetCount(std::int32_t k, std::int32_t g) {
  if (k < 0 || g < 0 || g > k) return std::nullopt;
  // C(k, g) = C(k, m) with m = min(g, k - g).  The product runs through
  // C(k, j) for j <= m, which grow with j, so every step is exact while the
  // result is below 2^53.  Taken up to g instead, it would pass through
  // C(k, k/2) and lose the count when g is near k: C(55, 55) comes out as
  // 0.9999999999999993, C(1021, 1021) as infinity.
  const double count = Binomial(k, g < k - g ? g : k - g);
  if (!(count < 2147483648.0)) return std::nullopt;
  return static_cast<std::int32_t>(count);
}

SubsetLinks::SubsetLinks(std::int32_t k, std::int32_t g)
    : k_(k), g_(g), columns_(static_cast<std::size_t>(g < k - g ? g : k - g) + 1) {
  // Pascal's rule row by row.  Every entry is at most C(k - 1, j) with
  // j <= min(g, k - g) <= k / 2, so at most C(k, g) < 2^31.
  binomial_.assign(static_cast<std::size_t>(k) * columns_, 0);
  for (std::size_t n = 0; n < static_cast<std::size_t>(k); ++n) {
    std::uint32_t* row = binomial_.data() + n * columns_;
    row[0] = 1;
    for (std::size_t j = 1; j < columns_ && j <= n; ++j) {
      const std::uint32_t* above = row - columns_;
      row[j] = above[j - 1] + (j < n ? above[j] : 0);
    }
  }
}

void SubsetLinks::Unrank(std::int32_t number, std::span<std::int32_t> links) const {
  // Walk the mask from entry 0.  With `rest` entries after entry j and r
  // ones still to place, the C(rest, r) masks with a 0 at entry j come
  // first in the order; the others have a 1 there.
  std::uint32_t rank = static_cast<std::uint32_t>(number);
  std::int32_t r = g_;
  std::size_t placed = 0;
  for (std::int32_t j = 0; r > 0; ++j) {
    if (rank == 0) {
      // The first of the remaining masks: zeros, then r ones at the end.
      for (std::int32_t link = k_ - r; link < k_; ++link) links[placed++] = link;
      return;
    }
    const std::uint32_t zeros = Count(k_ - j - 1, r);
    if (rank < zeros) continue;
    rank -= zeros;
    links[placed++] = j;
    --r;
  }
}

}  // namespace moravel
