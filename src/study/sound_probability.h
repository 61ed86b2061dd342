// When a model's value may be read as a probability.
#ifndef MORAVEL_STUDY_SOUND_PROBABILITY_H
#define MORAVEL_STUDY_SOUND_PROBABILITY_H

#include "multiservice/class_results.h"

namespace moravel {

// The rule the link models' guard and the link searches apply to a
// blocking, for every model value a study reads as a probability: [0, 1],
// up to kBlockingRoundingAllowance above 1 (a blocking summed from an
// occupancy distribution is 1 only to within an ulp per term); false for
// NaN.
inline bool IsSoundProbability(double p) { return IsSoundBlocking(p); }

}  // namespace moravel

#endif
