#include "multiservice_sim/draws.h"

#include <algorithm>
#include <cmath>

namespace moravel {

WeightedChoice::WeightedChoice(std::span<const double> weights) {
  if (weights.empty()) {
    cumulative_.assign(1, 1.0);
    return;
  }
  std::vector<double> w(weights.begin(), weights.end());
  double sum = 0.0;
  for (double x : w) sum += x;
  if (sum != 1.0) {
    for (double& x : w) x /= sum;
  }
  cumulative_.resize(w.size());
  cumulative_[0] = w[0];
  for (std::size_t j = 1; j < w.size(); ++j) cumulative_[j] = cumulative_[j - 1] + w[j];
}

std::int32_t WeightedChoice::IndexOf(double u) const {
  const auto compared_end = cumulative_.end() - 1;
  return static_cast<std::int32_t>(std::lower_bound(cumulative_.begin(), compared_end, u) -
                                   cumulative_.begin());
}

EqualWeightChoice::EqualWeightChoice(std::int32_t count) : count_(count) {
  if (count <= 1) return;  // a single entry is never compared
  // The weights sum to count exactly (whole numbers below 2^53), which is
  // not 1, so each weight becomes 1/count.
  const double w = 1.0 / static_cast<double>(count);
  const std::int64_t last = static_cast<std::int64_t>(count) - 2;  // last compared entry
  std::int64_t j = 0;
  double q = w;
  while (j <= last) {
    const double next = q + w;
    const double step = next - q;  // exact: next is within a factor 2 of q (w <= q)
    int exponent = 0;
    std::frexp(q, &exponent);
    const double top = std::ldexp(1.0, exponent);  // q lies in [top/2, top)
    const double room = top - q;                   // exact for the same reason
    std::int64_t length = 1;
    // A run needs two steps that stay in q's binade and add the same amount:
    // then the rounding no longer depends on the parity of q, and every
    // later step that stays in the binade adds that amount too.
    if (w < room && next < top && w < top - next && (next + w) - next == step) {
      // Step i (from start + i*step) stays in the binade while
      // w < room - i*step; both sides are exact (multiples of the binade's
      // spacing below 2^exponent), and the test is monotone in i.
      const auto stays = [&](std::int64_t i) { return w < room - static_cast<double>(i) * step; };
      length = static_cast<std::int64_t>(std::ceil((room - w) / step));
      length = std::clamp<std::int64_t>(length, 2, last - j + 2);
      while (length > 2 && !stays(length - 1)) --length;
      while (length <= last - j && stays(length)) ++length;
    }
    length = std::min(length, last - j + 1);
    const double end = length == 1 ? q : q + static_cast<double>(length - 1) * step;
    runs_.push_back(
        {static_cast<std::int32_t>(j), static_cast<std::int32_t>(length), q, step, end});
    q = length == 1 ? next : q + static_cast<double>(length) * step;
    j += length;
  }
}

std::int32_t EqualWeightChoice::IndexOf(double u) const {
  const auto run =
      std::partition_point(runs_.begin(), runs_.end(), [u](const Run& r) { return r.last < u; });
  if (run == runs_.end()) return count_ - 1;
  if (run->length == 1 || run->start >= u) return run->first;
  // The first i with start + i*step >= u, which exists since last >= u.
  std::int64_t i = static_cast<std::int64_t>(std::ceil((u - run->start) / run->step));
  i = std::clamp<std::int64_t>(i, 1, run->length - 1);
  while (i > 1 && run->start + static_cast<double>(i - 1) * run->step >= u) --i;
  while (run->start + static_cast<double>(i) * run->step < u) ++i;
  return run->first + static_cast<std::int32_t>(i);
}

}  // namespace moravel
