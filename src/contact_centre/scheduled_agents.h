// Agents to schedule when a share of their paid time is lost to breaks,
// training and absence (shrinkage): needed / (1 - shrinkage), rounded up.
#ifndef MORAVEL_CONTACT_CENTRE_SCHEDULED_AGENTS_H
#define MORAVEL_CONTACT_CENTRE_SCHEDULED_AGENTS_H

#include <cstdint>
#include <optional>

namespace moravel::contact {

// The least whole number S with S (1 - s) >= needed, for needed >= 0 and s
// in [0, 1), where s is read as the decimal it was written as: the shortest
// decimal that reads back as the same double (0.3 is 3/10, not the binary
// fraction 0.299999999999999988898).  A planner's 21 agents at 30%
// shrinkage are 30 scheduled, although 21 / (1 - 0.3) comes out
// 30.000000000000004 in doubles.  The comparison is made in exact integer
// arithmetic on the decimal's digits.  nullopt when S
// would pass 2^31 - 1.
std::optional<std::int32_t> ScheduledAgents(std::int32_t needed, double shrinkage);

}  // namespace moravel::contact

#endif
