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
  // count = SubsetCount(k, g).  With m = min(g, k - g) the walk needs C(n, j)
  // for n < k and j <= m.  For m <= 1 those are 1 and n, computed; for
  // m >= 2 a count below 2^31 allows k up to 65536 only, and the table of
  // k (m + 1) counts takes at most 768 kB (k = 65536, m = 2).
  SubsetLinks(std::int32_t k, std::int32_t g);

  // Writes the g links of subset `number` (0 <= number < C(k, g)) in
  // ascending order into links[0 .. g).  Each link is found by a galloping
  // search from the one before: O(g log(k / g)) look-ups, O(g) when g is
  // near k.
  void Unrank(std::int32_t number, std::span<std::int32_t> links) const;

 private:
  // C(n, r) for 0 <= n < k and r >= 0 with min(r, n - r) <= m.
  std::uint32_t Count(std::int32_t n, std::int32_t r) const {
    if (r > n) return 0;
    const std::int32_t j = r < n - r ? r : n - r;
    if (j == 0) return 1;
    if (j == 1) return static_cast<std::uint32_t>(n);
    return binomial_[static_cast<std::size_t>(n) * columns_ + static_cast<std::size_t>(j)];
  }

  std::int32_t k_;
  std::int32_t g_;
  std::size_t columns_;                  // m + 1, or 0 when m <= 1
  std::vector<std::uint32_t> binomial_;  // C(n, j), row n, column j; empty when m <= 1
};

}  // namespace moravel

#endif
