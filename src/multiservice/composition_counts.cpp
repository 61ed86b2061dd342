#include "multiservice/composition_counts.h"

#include <algorithm>
#include <cstddef>

namespace moravel {
namespace {

// Windows at most this wide are summed term by term.
constexpr std::int64_t kNarrowWindow = 8;

// A row with its prefix and suffix sums, for window sums that subtract the
// smaller of the two tails.
class WindowSums {
 public:
  void Take(const std::vector<WideDouble>& row) {
    row_ = &row;
    const std::size_t size = row.size();
    prefix_.resize(size);
    suffix_.resize(size + 1);
    WideDouble sum;
    for (std::size_t y = 0; y < size; ++y) prefix_[y] = sum = sum + row[y];
    sum = WideDouble{};
    suffix_[size] = sum;
    for (std::size_t y = size; y-- > 0;) suffix_[y] = sum = sum + row[y];
  }

  // row[from] + ... + row[to], clipped to the row; 0 when empty.
  WideDouble Sum(std::int64_t from, std::int64_t to) const {
    const auto last = static_cast<std::int64_t>(row_->size()) - 1;
    from = std::max<std::int64_t>(from, 0);
    to = std::min(to, last);
    if (from > to) return {};
    if (to - from < kNarrowWindow) {
      WideDouble sum;
      for (std::int64_t y = from; y <= to; ++y) sum = sum + (*row_)[static_cast<std::size_t>(y)];
      return sum;
    }
    const WideDouble below = from > 0 ? prefix_[static_cast<std::size_t>(from - 1)] : WideDouble{};
    const WideDouble above = suffix_[static_cast<std::size_t>(to + 1)];
    return SmallerMagnitude(above, below) ? suffix_[static_cast<std::size_t>(from)] - above
                                          : prefix_[static_cast<std::size_t>(to)] - below;
  }

 private:
  const std::vector<WideDouble>* row_ = nullptr;
  std::vector<WideDouble> prefix_;
  std::vector<WideDouble> suffix_;
};

// The row without its trailing zeros (at least one entry).
void TrimZeros(std::vector<WideDouble>& row) {
  while (row.size() > 1 && row.back().m == 0.0) row.pop_back();
}

void PadTo(std::vector<WideDouble>& row, std::int32_t x_max) {
  row.resize(static_cast<std::size_t>(x_max) + 1);
}

}  // namespace

std::vector<WideDouble> AddLinks(std::vector<WideDouble> row, std::int32_t links, std::int32_t lo,
                                 std::int32_t hi, std::int32_t x_max) {
  PadTo(row, x_max);
  TrimZeros(row);
  WindowSums sums;
  std::vector<WideDouble> next;
  for (std::int32_t link = 0; link < links; ++link) {
    sums.Take(row);
    const std::int64_t top =
        std::min<std::int64_t>(static_cast<std::int64_t>(row.size()) - 1 + hi, x_max);
    next.assign(static_cast<std::size_t>(top) + 1, WideDouble{});
    for (std::int64_t x = lo; x <= top; ++x) {
      next[static_cast<std::size_t>(x)] = sums.Sum(x - hi, x - lo);
    }
    row.swap(next);
    TrimZeros(row);
  }
  PadTo(row, x_max);
  return row;
}

std::vector<WideDouble> BoundedCompositions(std::int32_t links, std::int32_t hi,
                                            std::int32_t x_max) {
  return AddLinks({Wide(1.0)}, links, 0, hi, x_max);
}

DemandCounts CountByDemand(std::int32_t k, std::int32_t f, const std::vector<std::int64_t>& demands,
                           std::int32_t x_max) {
  // Zero links: one placement, of no units, and it reaches no demand.
  DemandCounts counts{{Wide(1.0)}, {}, {}};
  counts.reaching.assign(demands.size(), {WideDouble{}});
  counts.short_of.assign(demands.size(), {Wide(1.0)});
  WindowSums all_sums;
  WindowSums sums;
  std::vector<WideDouble> next;
  for (std::int32_t link = 0; link < k; ++link) {
    all_sums.Take(counts.all);
    for (std::size_t j = 0; j < demands.size(); ++j) {
      const std::int64_t d = demands[j];
      // Reaching d: the new link holds d..f, or less and the others reach d.
      std::vector<WideDouble>& reaching = counts.reaching[j];
      sums.Take(reaching);
      const std::int64_t top =
          std::min<std::int64_t>(static_cast<std::int64_t>(counts.all.size()) - 1 + f, x_max);
      next.assign(static_cast<std::size_t>(top) + 1, WideDouble{});
      for (std::int64_t x = 0; x <= top; ++x) {
        next[static_cast<std::size_t>(x)] = all_sums.Sum(x - f, x - d) + sums.Sum(x - d + 1, x);
      }
      reaching.swap(next);
      TrimZeros(reaching);
      // Short of d: every link holds less than d.
      std::vector<WideDouble>& short_of = counts.short_of[j];
      sums.Take(short_of);
      const std::int64_t short_top =
          std::min<std::int64_t>(static_cast<std::int64_t>(short_of.size()) - 1 + d - 1, x_max);
      next.assign(static_cast<std::size_t>(short_top) + 1, WideDouble{});
      for (std::int64_t x = 0; x <= short_top; ++x) {
        next[static_cast<std::size_t>(x)] = sums.Sum(x - d + 1, x);
      }
      short_of.swap(next);
      TrimZeros(short_of);
    }
    const std::int64_t top =
        std::min<std::int64_t>(static_cast<std::int64_t>(counts.all.size()) - 1 + f, x_max);
    next.assign(static_cast<std::size_t>(top) + 1, WideDouble{});
    for (std::int64_t x = 0; x <= top; ++x)
      next[static_cast<std::size_t>(x)] = all_sums.Sum(x - f, x);
    counts.all.swap(next);
    TrimZeros(counts.all);
  }
  PadTo(counts.all, x_max);
  for (auto& row : counts.reaching) PadTo(row, x_max);
  for (auto& row : counts.short_of) PadTo(row, x_max);
  return counts;
}

}  // namespace moravel
