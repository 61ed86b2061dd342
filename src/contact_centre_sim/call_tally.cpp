#include "contact_centre_sim/call_tally.h"

namespace moravel {
namespace {

// count / total for counts below 2^53, both converted exactly.
double Share(std::int64_t count, std::int64_t total) {
  return total == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(total);
}

}  // namespace

CallFigures CallTally::Figures(double A, std::int32_t n, std::int64_t callers) const {
  CallFigures f;
  const double offered = static_cast<double>(offered_);
  const std::int64_t answered = offered_ - abandoned_ - blocked_;
  f.wait_probability = Share(waited_, offered_);
  f.blocked_probability = Share(blocked_, offered_);
  f.abandon_probability = Share(abandoned_, offered_);
  f.abandon_within_answer_time = Share(abandoned_within_, offered_);
  f.service_level = Share(answered_within_, offered_);
  f.service_level_excluding_short_abandons = Share(answered_within_, offered_ - abandoned_within_);
  f.mean_answer_wait = answered == 0 ? 0.0 : answered_wait_ / static_cast<double>(answered);
  f.mean_wait = offered_ == 0 ? 0.0 : queue_time_ / offered;
  // Little's law per caller: callers / A is the time they take to arrive.
  const double per_caller = static_cast<double>(callers);
  f.queue_length = A * (queue_time_ / per_caller);
  f.carried = A * (static_cast<double>(answered) / per_caller);
  f.occupancy = f.carried / static_cast<double>(n);
  return f;
}

}  // namespace moravel
