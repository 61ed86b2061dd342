// The least number of servers for a target loss, in the direct form of the
// Erlang loss formula.
#ifndef MORAVEL_SOLVERS_LEAST_DIRECT_SERVERS_H
#define MORAVEL_SOLVERS_LEAST_DIRECT_SERVERS_H

#include <cstdint>

#include "solvers/least_size_search.h"

namespace moravel {

struct DirectServersAnswer {
  SizeOutcome outcome;
  std::int32_t servers;  // the least V that meets the target, when found
  double loss;           // E(V, A) at that V, bit for bit
};

// Least V in 1 .. 170 with E(V, A) <= target, for A finite and not
// negative and target in (0, 1).  The direct form is evaluated at V = 1, 2,
// ... in turn (at most 170 evaluations of at most 171 terms), so the answer
// is exact on its computed values whatever their monotony.  kOverflow when
// A^V leaves the doubles before the target is met; kUnreachable when no V
// up to 170 meets it.
DirectServersAnswer LeastDirectFormServers(double A, double target);

}  // namespace moravel

#endif
