// The text of each status code of the status-returning interface.
#include "moravel/api.h"

extern "C" {

MORAVEL_API const char* moravel_status_message(int32_t status) noexcept {
  switch (status) {
    case MORAVEL_OK: return "success";
    case MORAVEL_ERROR_NULL_POINTER: return "an argument or result pointer is NULL";
    case MORAVEL_ERROR_OUT_OF_MEMORY: return "memory ran out";
    case MORAVEL_ERROR_INTERNAL: return "an unexpected failure inside the library";
    case MORAVEL_ERROR_SERVERS: return "servers must be at least 1";
    case MORAVEL_ERROR_SERVERS_TOO_MANY: return "servers must be below 2147483647";
    case MORAVEL_ERROR_TRAFFIC: return "traffic must be finite and not negative";
    case MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE: return "traffic must be above 0";
    case MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS:
      return "traffic must be below the number of servers";
    case MORAVEL_ERROR_SOURCES: return "sources must be at least 1";
    case MORAVEL_ERROR_SOURCE_TRAFFIC: return "traffic per source must be at least 0 and below 1";
    case MORAVEL_ERROR_DIRECT_FORM_SERVERS:
      return "servers must be between 0 and 170 in the direct form";
    case MORAVEL_ERROR_RATIO_SERVERS:
      return "servers less the fewer servers must be between 0 and 170";
    case MORAVEL_ERROR_OVERFLOW: return "the result leaves the range of a double";
    case MORAVEL_ERROR_ASSEMBLY_TIMES: return "x and y must be finite and above 0";
    case MORAVEL_ERROR_ASSEMBLY_Z: return "z must be finite and not negative";
    case MORAVEL_ERROR_ASSEMBLY_MULTIPLIER: return "n must not be negative";
    case MORAVEL_ERROR_ASSEMBLED_LOAD: return "the assembled load must be finite";
    case MORAVEL_ERROR_HOLDING_TIME: return "mean holding time must be finite and above 0";
    case MORAVEL_ERROR_THRESHOLD: return "waiting-time threshold must be finite and not negative";
    case MORAVEL_ERROR_CALLS: return "calls must be at least 1";
    case MORAVEL_ERROR_CLASSES: return "classes must be at least 1";
    case MORAVEL_ERROR_DEMAND: return "demands must be whole numbers of at least 1 unit";
    case MORAVEL_ERROR_LINKS: return "links must be at least 1";
    case MORAVEL_ERROR_LINK_UNITS: return "units per link must be at least 1";
    case MORAVEL_ERROR_GROUP_SIZE: return "links times units per link must be below 2^31";
    case MORAVEL_ERROR_SUBSET:
      return "subset links must be at least 1 and at most the number of links";
    case MORAVEL_ERROR_SUBSET_COUNT: return "the number of subsets C(k, g) must be below 2^31";
    case MORAVEL_ERROR_TOTAL_TRAFFIC: return "the traffics must sum to a finite value above 0";
    case MORAVEL_ERROR_POLICY:
      return "policy must be MORAVEL_MOST_FREE, MORAVEL_FEWEST_FREE or MORAVEL_RANDOM_FREE";
    case MORAVEL_ERROR_TARGET: return "target must be above 0 and below 1";
    case MORAVEL_ERROR_TARGET_WAIT: return "target mean wait must be finite and above 0";
    case MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES:
      return "servers must be fewer than the sources, or no call is ever lost";
    case MORAVEL_ERROR_DEMAND_EXCEEDS_LINK:
      return "a class needs more units than a link has: no number of links serves it";
    case MORAVEL_ERROR_UNREACHABLE: return "no size below 2^31 - 1 meets the target";
    case MORAVEL_ERROR_MODEL_LIMIT:
      return "the input is beyond the sizes the model computes in bounded time";
    case MORAVEL_ERROR_EVERY_TRAFFIC_MEETS:
      return "every traffic the model takes meets the target: there is no largest one";
    case MORAVEL_ERROR_PATIENCE:
      return "mean patience must be above 0 (+inf: callers who never hang up)";
    case MORAVEL_ERROR_LINES: return "lines must be 0 (no limit) or at least the agents";
    case MORAVEL_ERROR_LINES_TOO_MANY: return "lines may exceed the agents by at most 10000000";
    case MORAVEL_ERROR_RETRY_SHARE: return "retry shares must be between 0 and 1";
    case MORAVEL_ERROR_REDIAL_TIME: return "mean redial time must be finite and above 0";
    case MORAVEL_ERROR_RETRIALS_DIVERGE:
      return "the retries grow without bound: no total traffic balances them";
    case MORAVEL_ERROR_GOAL: return "goal must be one of the MORAVEL_GOAL_ codes (1 to 5)";
    case MORAVEL_ERROR_OCCUPANCY: return "highest occupancy must be above 0 and at most 1";
    case MORAVEL_ERROR_CALLS_OFFERED: return "calls offered must be finite and not negative";
    case MORAVEL_ERROR_INTERVAL_MINUTES: return "interval length must be finite and above 0 minutes";
    case MORAVEL_ERROR_SHRINKAGE: return "shrinkage must be at least 0 and below 1";
    case MORAVEL_ERROR_NO_TARGET:
      return "no goal given: a plan needs a service level, mean answer wait, abandonment or "
             "waiting target";
    case MORAVEL_ERROR_SERVICE_LEVEL_BASIS:
      return "service-level basis must be offered calls or excluding short abandons";
    case MORAVEL_ERROR_SERVICE_LEVEL_TARGET:
      return "service-level target must be above 0 and below 1";
    case MORAVEL_ERROR_ABANDONMENT_TARGET: return "abandonment target must be above 0 and below 1";
    case MORAVEL_ERROR_WAIT_PROBABILITY_TARGET:
      return "probability-of-waiting target must be above 0 and below 1";
    case MORAVEL_ERROR_SCHEDULED_TOO_MANY:
      return "agents to schedule beyond 2147483647: shrinkage too close to 1";
    default: return "unknown status code";
  }
}

}  // extern "C"
