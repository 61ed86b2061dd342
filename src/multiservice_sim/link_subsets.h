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

namespace moravel {

// C(k, g) as a 32-bit count: nullopt when k < 0, g < 0, g > k or the count
// reaches 2^31.
std::optional<std::int32_t> SubsetCount(std::int32_t k, std::int32_t g);

// Unranks subset numbers of one group into their links.
class SubsetLinks {
 public:
  // count = SubsetCount(k, g).
  SubsetLinks(std::int32_t k, std::int32_t g, std::int32_t count);

  // Writes the g links of subset `number` (0 <= number < count) in
  // ascending order into links[0 .. g).  O(k) steps, no table.
  void Unrank(std::int32_t number, std::span<std::int32_t> links) const;

 private:
  std::int32_t k_;
  std::int32_t g_;
  std::uint64_t zero_first_;  // C(k - 1, g): the masks whose entry 0 is 0
};

}  // namespace moravel

#endif
