// Hands a contact centre's figures and a staffing search's outcome to the
// caller, for every C face that reports them.
#ifndef MORAVEL_API_CONTACT_CENTRE_RESULTS_H
#define MORAVEL_API_CONTACT_CENTRE_RESULTS_H

#include "contact_centre/abandonment_model.h"
#include "contact_centre/contact_staffing.h"
#include "moravel/api.h"

namespace moravel::api {

inline void Store(const contact::ContactCentreFigures& f, moravel_contact_centre_result& r) {
  r = {f.wait_probability,
       f.blocked_probability,
       f.abandon_probability,
       f.abandon_within_answer_time,
       f.service_level,
       f.service_level_excluding_short_abandons,
       f.mean_answer_wait,
       f.mean_wait,
       f.queue_length,
       f.occupancy,
       f.carried};
}

// The status a staffing search's outcome reports; MORAVEL_OK when it found.
inline moravel_status StatusOf(contact::StaffingOutcome outcome) {
  switch (outcome) {
    case contact::StaffingOutcome::kFound: return MORAVEL_OK;
    case contact::StaffingOutcome::kUnreachable: return MORAVEL_ERROR_UNREACHABLE;
    case contact::StaffingOutcome::kEveryTrafficMeets: return MORAVEL_ERROR_EVERY_TRAFFIC_MEETS;
    case contact::StaffingOutcome::kModelLimit: return MORAVEL_ERROR_MODEL_LIMIT;
    case contact::StaffingOutcome::kOverflow: return MORAVEL_ERROR_OVERFLOW;
  }
  return MORAVEL_ERROR_INTERNAL;
}

}  // namespace moravel::api

#endif  // MORAVEL_API_CONTACT_CENTRE_RESULTS_H
