// Contact-centre staffing: the least number of agents of the M/M/n+M queue
// (callers who hang up after an exponential patience; without a patience,
// the delay system) that meets every target of a set.
#ifndef MORAVEL_SOLVERS_LEAST_AGENTS_IMPATIENT_H
#define MORAVEL_SOLVERS_LEAST_AGENTS_IMPATIENT_H

#include <cstdint>

#include "contact_centre/abandonment_model.h"

namespace moravel {

// Each target is met when it is 0 (no target) or the figure lies on its
// side of it; waits in the unit of the handling time.
struct StaffingTargets {
  double service_level = 0.0;              // answered within t: at least
  bool excluding_short_abandons = false;   // the service level over calls not abandoned within t
  double mean_answer_wait = 0.0;           // ASA: at most
  double abandonment = 0.0;                // share of calls that hang up: at most
  double wait_probability = 0.0;           // at most
  double occupancy = 0.0;                  // carried traffic over agents: at most
};

bool MeetsTargets(const contact::ContactCentreFigures& f, const StaffingTargets& targets);

enum class StaffingOutcome { kFound, kUnreachable, kOverflow };

struct ImpatientStaffing {
  StaffingOutcome outcome = StaffingOutcome::kUnreachable;
  std::int32_t agents = 0;
  contact::ContactCentreFigures figures{};  // ContactCentreModel at `agents`, bit for bit
};

// The least n >= 1 up to 2^31 - 2 (n > A when p = +inf: no steady state
// below) whose figures from ContactCentreModel(A, h, p, n, no line limit, t)
// meet every target.  A finite, >= 0; h finite, > 0; p > 0 (+inf allowed);
// t finite, >= 0.  Every figure improves as agents are added, so the
// search gallops from `start` (up or down) to bracket the answer and
// bisects: about 2 log2 |answer - start| model evaluations (2 when the start
// is within one of the answer), with the answer of
// the plain search from the least n upward wherever the computed figures
// are monotone in n.  A highest occupancy that no n below 2^31 - 1 can
// meet (the carried traffic over it passes that count) is kUnreachable at
// once.  kOverflow when the model cannot compute the figures.
// `start` is where the search begins, clamped to the counts it may take;
// 0 for ceil(A).  It changes the work, never the answer.
ImpatientStaffing LeastAgentsImpatient(double A, double h, double p, double t,
                                       const StaffingTargets& targets, std::int32_t start = 0);

}  // namespace moravel

#endif
