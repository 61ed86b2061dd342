// The acceptance factor of a link group: the share of the ways to lie of
// the free units in which a call of a given demand still finds a link.
#ifndef MORAVEL_MULTISERVICE_ACCEPTANCE_FACTOR_H
#define MORAVEL_MULTISERVICE_ACCEPTANCE_FACTOR_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace moravel {

// sigma = (N - B) / N for x free units on k links of f units and a call of d
// units, where N = Arrangements(x, k, f, 0) counts every way the free units
// can lie and B = Arrangements(x, k, d - 1, 0) those in which no link has d
// free units.  Both are truncated toward zero first, and sigma is 0 when the
// truncated N is 0, or when d > f (no link is wide enough).
//
// The counts stay doubles throughout (std::trunc, not a 32-bit integer):
// every whole count below 2^53 is unchanged by it, so groups whose counts
// fit 32 bits get exactly the integer-converted value, and larger groups
// (10 links of 30 units reach 1.1e13 arrangements) keep a meaningful factor.
// Beyond 2^53 the counts themselves are rounded.
double AcceptanceFactor(std::int32_t x, std::int64_t d, std::int32_t k, std::int32_t f);

// std::trunc without the library call: a double of magnitude 2^52 or more
// (or infinite, or NaN) is already whole; below that the conversion to a
// 64-bit integer truncates exactly.  -0.5 gives -0.0, as std::trunc does.
inline double Truncated(double value) {
  constexpr double kWhole = 4503599627370496.0;  // 2^52
  if (!(std::fabs(value) < kWhole)) return value;
  return std::copysign(static_cast<double>(static_cast<std::int64_t>(value)), value);
}

// The last step of AcceptanceFactor, from the two counts.
inline double AcceptanceShare(double all, double without) {
  // + 0.0 turns a truncated -0.0 into 0.0, as an integer conversion would.
  const double fitting = Truncated(all - without) + 0.0;
  const double total = Truncated(all) + 0.0;
  if (total == 0.0) return 0.0;
  return fitting / total;
}

// The refusing share 1 - sigma from the same two counts, counted directly
// as B / N where 1 - sigma would have lost digits: (N - B) / N rounds to
// within half an ulp of 1, so 1.0 - sigma carries an absolute error of
// about 1.1e-16, a relative error of 1.1e-16 N / B.  Below a share of
// 2^-20 (where that error passes 1e-10) the share is B / N, with its own
// relative accuracy; above it 1.0 - sigma keeps its bits.  1 where N is 0
// (no arrangement, so sigma is 0).
inline double RefusingShare(double all, double without) {
  constexpr double kCancelling = 1.0 / 1048576.0;  // 2^-20
  const double total = Truncated(all) + 0.0;
  if (total == 0.0) return 1.0;
  const double direct = (Truncated(without) + 0.0) / total;
  return direct < kCancelling ? direct : 1.0 - AcceptanceShare(all, without);
}

// The two ways the shares are counted, told apart by their type.
//
// While every arrangement count stays an exact whole number below 2^53 the
// shares come from the inclusion-exclusion counts: the factors are the ones
// AcceptanceFactor gives, bit for bit, and the refusing shares are
// RefusingShare's.  The placement counts Arrangements(x, k, f, 0), x =
// 0..V, are kept for the link-subset blocking.
struct ExactCounts {
  std::vector<double> placements;
};
// Beyond that the alternating sums lose their digits, and both shares are
// taken instead from counts built of positive sums in wide doubles: sigma =
// (N - B) / N and 1 - sigma = B / N, each with its own relative accuracy
// however small it is.  No count is kept: a model that needs counts builds
// its own in the same arithmetic.
struct WideCounts {};

// Every acceptance factor one evaluation needs: the factor depends only on
// the free units and the demand, so it is tabulated once per distinct demand
// count of the classes, for x = 0..V, together with its complement, the
// share of arrangements that refuse the call.  Every field holds in both
// ways of counting.
struct AcceptanceTables {
  std::variant<ExactCounts, WideCounts> counts;  // how the shares were counted
  std::vector<std::int64_t> demands;             // the distinct demand counts, ascending
  std::vector<std::vector<double>> factors;      // [j][x]: sigma(x, demands[j])
  std::vector<std::vector<double>> refusals;     // [j][x]: 1 - sigma(x, demands[j])
  std::vector<std::int64_t> last_refusing;       // the largest x where 1 - sigma != 0, or -1
  std::vector<std::size_t> table_of_class;       // class i uses table table_of_class[i]

  const std::vector<double>& ForClass(std::size_t i) const { return factors[table_of_class[i]]; }
  // The exact placement counts, or null when the shares came from wide counts.
  const ExactCounts* Exact() const { return std::get_if<ExactCounts>(&counts); }
};

// For a group that IsComputableGroup accepts.
AcceptanceTables TabulateAcceptance(const double* t, std::int32_t M, std::int32_t k,
                                    std::int32_t f);
// The same with the classes' distinct demands, DistinctDemands(t, M), at hand.
AcceptanceTables TabulateAcceptance(const double* t, std::int32_t M, std::int32_t k, std::int32_t f,
                                    std::vector<std::int64_t> demands);

}  // namespace moravel

#endif
