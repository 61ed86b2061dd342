// The least number of links of a multi-rate link group for which every
// class's blocking is at most a target.
#ifndef MORAVEL_SOLVERS_LEAST_LINKS_H
#define MORAVEL_SOLVERS_LEAST_LINKS_H

#include <cstdint>
#include <vector>

#include "solvers/least_size_search.h"

namespace moravel {

// At most this many of the models' estimated steps (LinkGroupCost,
// LinkSubsetCost) over all the evaluations of one search: some 1.5 s on an
// idle core of a 2-core Xeon (about 11 ns a step), a few times that when
// the machine is shared.  A search whose next evaluation would pass it
// stops there.
inline constexpr double kMaxSearchSteps = 134217728.0;  // 2^27

enum class LinksOutcome {
  kFound,
  kUnreachable,  // no k within 32 bits meets the target
  kOverflow,     // the model's figures stopped being sound before the target was met
  kModelLimit,   // the model declined a size, or the search's work ran out, first
};

struct LinksAnswer {
  LinksOutcome outcome;
  std::int32_t links;            // when found: the least k
  std::vector<double> blocking;  // when found: each class's blocking at k
  double steps = 0.0;            // the estimated steps of the evaluations made
};

// For the classes (a, t) of LinkGroupModel on links of f units: the least
// k >= 1, with k f within 32 bits, at which every class's blocking is at
// most target.  Adding a link lowers every class's blocking, so the search
// gallops and bisects over k (LeastMeetingSize, its first step 1/64 of the
// start), evaluating the model at about 2 log2(k - start) sizes instead of
// k; it starts from the fewest links whose
// units could carry (1 - target) of the offered units, since the group's
// carried traffic is its mean occupancy, so the sizes it evaluates lie near
// the answer.  Expects M >= 1 classes whose demands
// are whole numbers from 1 to f and whose traffics are finite and not
// negative, f >= 1 and target in (0, 1).  kOverflow when the model's values
// leave the doubles before the target is met; kModelLimit when the model
// declines a size (group_limits.h) or the evaluations would pass
// kMaxSearchSteps first, refused before that evaluation is begun.
LinksAnswer LeastLinkGroupLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                double target);

// The same for LinkSubsetModel with each call offered to g >= 1 links: the
// least k >= g, starting from the same bound (a subset carries no more
// than the whole group).
LinksAnswer LeastLinkSubsetLinks(const double* a, std::int32_t M, const double* t, std::int32_t f,
                                 std::int32_t g, double target);

}  // namespace moravel

#endif
