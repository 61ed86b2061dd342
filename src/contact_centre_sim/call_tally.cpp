#include "contact_centre_sim/call_tally.h"

namespace moravel {
namespace {

// count / total for counts below 2^53, both converted exactly.
double Share(std::int64_t count, std::int64_t total) {
  return total == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(total);
}

}  // namespace

CallFigures CallTally::Figures() const {
  CallFigures f;
  const double offered = static_cast<double>(offered_);
  f.wait_probability = Share(waited_, offered_);
  f.abandon_probability = Share(abandoned_, offered_);
  f.blocked_probability = Share(blocked_, offered_);
  f.service_level_offered = Share(answered_within_, offered_);
  f.service_level_not_abandoned = Share(answered_within_, offered_ - abandoned_before_);
  const std::int64_t answered = offered_ - abandoned_ - blocked_;
  f.mean_wait_answered = answered == 0 ? 0.0 : answered_wait_ / static_cast<double>(answered);
  f.mean_wait = offered_ == 0 ? 0.0 : queue_time_ / offered;
  return f;
}

}  // namespace moravel
