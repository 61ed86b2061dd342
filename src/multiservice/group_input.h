// The inputs of the link-group models: which of them can be computed, and
// the demand of a class as a whole number of units.
#ifndef MORAVEL_MULTISERVICE_GROUP_INPUT_H
#define MORAVEL_MULTISERVICE_GROUP_INPUT_H

#include <cstdint>

namespace moravel {

// True when the group can be evaluated without reading outside the arrays
// or sizing an array from a negative or overflowing count: M >= 0, both
// arrays present when M > 0, k >= 0, f >= 0, k f within 32 bits, and every
// demand t_i >= 0 (NaN fails this).  Traffic values are not restricted.
bool IsComputableGroup(const double* a, std::int32_t M, const double* t, std::int32_t k,
                       std::int32_t f);

// IsComputableGroup and 0 <= g <= k.
bool IsComputableSubset(const double* a, std::int32_t M, const double* t, std::int32_t k,
                        std::int32_t f, std::int32_t g);

// The demand as a count of units: t truncated toward zero.  Demands of 2^31
// or more (infinity included) give 2^31, which exceeds every link, so no
// double ever reaches an out-of-range integer conversion.  For t >= 0.
std::int64_t DemandCount(double t);

}  // namespace moravel

#endif
