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

SubsetLinks::SubsetLinks(std::int32_t k, std::int32_t g) : k_(k), g_(g), columns_(0) {
  const std::int32_t m = g < k - g ? g : k - g;
  if (m <= 1) return;  // C(n, 0) = 1 and C(n, 1) = n need no table
  columns_ = static_cast<std::size_t>(m) + 1;
  // Pascal's rule row by row.  Every entry is at most C(k - 1, j) with
  // j <= m <= k / 2, so at most C(k, g) < 2^31.
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
  // Walk the mask from entry 0.  With r ones still to place, the masks with
  // a 0 at entry j come first in the order, C(k - j - 1, r) of them: the
  // next link is the first j with rank >= C(k - j - 1, r), and the rank
  // drops by that count.  C(k - j - 1, r) falls as j grows and is 0 from
  // j = k - r on, so a galloping search finds that j.
  std::uint32_t rank = static_cast<std::uint32_t>(number);
  std::int32_t r = g_;
  std::size_t placed = 0;
  std::int64_t j = 0;
  const auto below = [&](std::int64_t at) {  // mask entry `at` is 0
    return rank < Count(static_cast<std::int32_t>(k_ - at - 1), r);
  };
  while (r > 0) {
    if (rank == 0) {
      // The first of the remaining masks: zeros, then r ones at the end.
      for (std::int32_t link = k_ - r; link < k_; ++link) links[placed++] = link;
      return;
    }
    if (below(j)) {
      // below(lo) holds and below(hi) does not; hi = k - r always ends it.
      const std::int64_t last = std::int64_t{k_} - r;
      std::int64_t lo = j;
      std::int64_t hi = j;
      for (std::int64_t step = 1;; step *= 2) {
        hi = lo + step;
        if (hi >= last) {
          hi = last;
          break;
        }
        if (!below(hi)) break;
        lo = hi;
      }
      while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (below(mid)) {
          lo = mid;
        } else {
          hi = mid;
        }
      }
      j = hi;
    }
    rank -= Count(static_cast<std::int32_t>(k_ - j - 1), r);
    links[placed++] = static_cast<std::int32_t>(j);
    --r;
    ++j;
  }
}

}  // namespace moravel
