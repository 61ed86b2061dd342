// The subsets of g links out of a group of k, numbered without listing them.
//
// A subset is described by its membership mask (entry j is 1 when link j
// belongs to it), and the subsets are numbered 0, 1, 2, ... in ascending
// lexicographic order of their masks.  With k = 4 and g = 2 the masks
// 0011, 0101, 0110, 1001, 1010, 1100 give the subsets {2,3}, {1,3}, {1,2},
// {0,3}, {0,2}, {0,1}.
#ifndef MORAVEL_MULTISERVICE_SIM_LINK_SUBSETS_H
#define MORAVEL_MULTISERVICE_SIM_LINK_SUBSETS_H

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace moravel {

// C(k, g) as a 32-bit count, exact: nullopt when k < 0, g < 0, g > k or the
// count reaches 2^31.
std::optional<std::int32_t> SubsetCount(std::int32_t k, std::int32_t g);

// Unranks subset numbers of one group into their links.
class SubsetLinks {
 public:
  // count = SubsetCount(k, g).  Keeps C(n, j) for n < k and
  // j <= min(g, k - g): at most k (min(g, k - g) + 1) counts, which is 2k
  // when one of g, k - g is 1 and a few hundred thousand at most otherwise
  // (a count below 2^31 allows k up to 65537 only when both exceed 1).
  SubsetLinks(std::int32_t k, std::int32_t g);

  // Writes the g links of subset `number` (0 <= number < C(k, g)) in
  // ascending order into links[0 .. g).  At most k steps, each a look-up.
  void Unrank(std::int32_t number, std::span<std::int32_t> links) const;

 private:
  // C(n, r) for 0 <= n < k and any r >= 0, through C(n, r) = C(n, n - r).
  std::uint32_t Count(std::int32_t n, std::int32_t r) const {
    if (r > n) return 0;
    const std::int32_t j = r < n - r ? r : n - r;
    return binomial_[static_cast<std::size_t>(n) * columns_ + static_cast<std::size_t>(j)];
  }

  std::int32_t k_;
  std::int32_t g_;
  std::size_t columns_;               // min(g, k - g) + 1
  std::vector<std::uint32_t> binomial_;  // C(n, j), row n, column j
};

}  // namespace moravel

#endif
