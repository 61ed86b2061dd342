// Counts of the ways to spread units over links, each link holding between
// lo and hi units, built link by link from positive sums only.
#ifndef MORAVEL_MULTISERVICE_COMPOSITION_COUNTS_H
#define MORAVEL_MULTISERVICE_COMPOSITION_COUNTS_H

#include <cstdint>
#include <vector>

#include "multiservice/wide_double.h"

namespace moravel {

// row[x] for x = 0..x_max is a count of placements of x units.  Adding one
// link that holds lo..hi units turns it into
//   row'[x] = row[x - hi] + ... + row[x - lo],
// and `links` such links are added one after another.  Each window sum is
// a difference of two prefix sums, or of two suffix sums, whichever
// subtracts the smaller tail (or a plain sum when the window is narrow), so
// no count loses more than a few digits to cancellation, and the wide
// exponent holds counts like 10001^100.  Costs a few additions per entry
// and link.  For 0 <= lo <= hi.
std::vector<WideDouble> AddLinks(std::vector<WideDouble> row, std::int32_t links, std::int32_t lo,
                                 std::int32_t hi, std::int32_t x_max);

// The placements of x = 0..x_max units on `links` links of 0..hi units each:
// Arrangements(x, links, hi, 0) without its alternating sum.
std::vector<WideDouble> BoundedCompositions(std::int32_t links, std::int32_t hi,
                                            std::int32_t x_max);

// The placements of x = 0..x_max free units on k links of at most f free
// units each (`all`), and for each demand d of `demands` (1 <= d <= f)
// those in which some link has d or more free units (`reaching[j]`) and
// those in which none has (`short_of[j]`).  Both parts are counted
// directly, so each keeps its own relative accuracy however small a share
// of `all` it is: a placement reaches d when its first link holds d..f
// (and the rest anything) or its first link holds less and the rest reach d.
struct DemandCounts {
  std::vector<WideDouble> all;
  std::vector<std::vector<WideDouble>> reaching;
  std::vector<std::vector<WideDouble>> short_of;
};
DemandCounts CountByDemand(std::int32_t k, std::int32_t f, const std::vector<std::int64_t>& demands,
                           std::int32_t x_max);

}  // namespace moravel

#endif
