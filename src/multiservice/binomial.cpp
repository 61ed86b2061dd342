#include "multiservice/binomial.h"

#include <algorithm>
#include <limits>

namespace moravel {
namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Below this every whole number is a double.
constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
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

std::vector<double> BinomialRow(std::int32_t n, std::int32_t j_max) {
  if (j_max < 0) return {};
  std::vector<double> row(static_cast<std::size_t>(j_max) + 1, 0.0);
  if (n < 0) return row;  // every j >= 0 exceeds n
  // The loop of Binomial(n, min(n, j_max)); its value after step j is
  // Binomial(n, j), infinity included (infinity stays infinity).
  const std::int32_t last = std::min(n, j_max);
  double r = 1.0;
  row[0] = r;
  for (std::int64_t j = 1; j <= last; ++j) {  // 64 bits: last may be 2^31 - 1
    if (r != kInfinity) {
      r *= static_cast<double>(n - j + 1);
      r /= static_cast<double>(j);
    }
    row[static_cast<std::size_t>(j)] = r;
  }
  return row;
}

std::vector<double> BinomialColumn(std::int32_t k, std::int32_t n_first, std::int32_t n_last) {
  if (n_last < n_first) return {};
  std::vector<double> column(static_cast<std::size_t>(std::int64_t{n_last} - n_first + 1), 0.0);
  if (k < 0) return column;
  auto at = [&](std::int64_t n) -> double& {
    return column[static_cast<std::size_t>(n - n_first)];
  };

  // The product loop of Binomial(n, k) computes r_j = r_{j-1} (n - j + 1) / j.
  // While r_{j-1} = C(n, j-1), the product is j C(n, j): when that is at
  // most 2^53 it is exact, and so is the quotient C(n, j).  So if
  // j C(n, j) <= 2^53 for every j <= min(n, k), the loop returns C(n, k)
  // exactly, and the integer triangle gives the same double.  Since
  // j C(n, j) = n C(n - 1, j - 1), the largest of these products is at the
  // j nearest (n + 1) / 2, within 1..min(n, k).  C(n, j) grows with n, so
  // the first n that fails ends the exact range for good; for large k that
  // comes within a few dozen rows.  Rows below n_first are walked too
  // (negative n stay 0, as Binomial gives them), with min(n, k) additions
  // per row.
  std::vector<std::uint64_t> pascal{1};  // C(n, j) for j = 0..min(n, k)
  std::int64_t n = 0;                    // 64 bits: n_last may be 2^31 - 1
  // Rows 0..2k - 1, where the row is still growing or its peak moving.
  for (; n <= n_last && n < 2 * std::int64_t{k}; ++n) {
    const std::int64_t peak = std::min<std::int64_t>((n + 1) / 2, k);
    if (peak >= 1 &&
        pascal[static_cast<std::size_t>(peak)] > kExactLimit / static_cast<std::uint64_t>(peak)) {
      break;
    }
    if (n >= n_first && n >= k) at(n) = static_cast<double>(pascal.back());
    // Row n + 1: every entry at most 2^54, well inside 64 bits.
    if (n < k) pascal.push_back(0);
    for (std::size_t j = pascal.size() - 1; j > 0; --j) pascal[j] += pascal[j - 1];
  }
  // From row 2k - 1 on the peak is j = k itself: the test is on C(n, k).
  if (n >= 2 * std::int64_t{k}) {
    const std::uint64_t limit = k > 0 ? kExactLimit / static_cast<std::uint64_t>(k) : kExactLimit;
    std::uint64_t* const row = pascal.data();
    const auto last = static_cast<std::size_t>(k);
    for (; n <= n_last && row[last] <= limit; ++n) {
      if (n >= n_first) at(n) = static_cast<double>(row[last]);
      for (std::size_t j = last; j > 0; --j) row[j] += row[j - 1];
    }
  }
  for (n = std::max<std::int64_t>(n, n_first); n <= n_last; ++n) {
    at(n) = Binomial(static_cast<std::int32_t>(n), k);
  }
  return column;
}

}  // namespace moravel
