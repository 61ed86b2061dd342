// When a model's value may be read as a probability.
#ifndef MORAVEL_STUDY_SOUND_PROBABILITY_H
#define MORAVEL_STUDY_SOUND_PROBABILITY_H

namespace moravel {

// A blocking summed from an occupancy distribution is 1 only to within an
// ulp per term, so a value a little above 1 is still a probability; more
// than this above 1 (or below 0, or NaN) is a value that left the doubles
// or a count that lost its digits.
inline constexpr double kProbabilityTolerance = 1e-9;

// 0 <= p <= 1 + kProbabilityTolerance; false for NaN.
inline bool IsSoundProbability(double p) { return p >= 0.0 && p <= 1.0 + kProbabilityTolerance; }

}  // namespace moravel

#endif
