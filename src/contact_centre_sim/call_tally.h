// The counts and sums behind the figures of a group of attempts, and the
// figures themselves.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_CALL_TALLY_H
#define MORAVEL_CONTACT_CENTRE_SIM_CALL_TALLY_H

#include <cstdint>

namespace moravel {

// How one attempt ended.
enum class AttemptEnd {
  kAnsweredAtOnce,  // an agent was free
  kAnsweredLater,   // waited, and an agent took it within its patience
  kAbandoned,       // waited its patience, then hung up
  kBlocked,         // found every line busy
};

// The figures of a group of attempts, over the attempts offered, named
// as the analytic model names them; the time figures are in mean handling
// times.  The queue length, carried traffic and occupancy are the group's
// share of the centre's, per caller (see ContactCentreEstimate).
struct CallFigures {
  double wait_probability = 0.0;            // found every agent busy and a line free
  double blocked_probability = 0.0;         // found every line busy
  double abandon_probability = 0.0;         // hung up before an answer
  double abandon_within_answer_time = 0.0;  // hung up after waiting at most t
  // Answered after waiting at most t, over all offered attempts.
  double service_level = 0.0;
  // Answered after waiting at most t, over the attempts less those that
  // hung up after waiting at most t (blocked ones stay in); 0 when none is
  // left.
  double service_level_excluding_short_abandons = 0.0;
  double mean_answer_wait = 0.0;  // mean wait of the answered attempts; 0 if none
  // Mean time in the queue over all offered attempts: an abandoned
  // attempt's patience, 0 for a blocked one.
  double mean_wait = 0.0;
  double queue_length = 0.0;
  double occupancy = 0.0;
  double carried = 0.0;
};

class CallTally {
 public:
  // `queued` is the time spent in the queue: the wait of an answered
  // attempt, the patience of an abandoned one, 0 for the others.
  void Record(AttemptEnd end, double queued, double answer_time) {
    ++offered_;
    switch (end) {
      case AttemptEnd::kAnsweredAtOnce: ++answered_within_; break;
      case AttemptEnd::kAnsweredLater:
        ++waited_;
        ++answered_later_;
        answered_within_ += queued <= answer_time ? 1 : 0;
        answered_wait_ += queued;
        queue_time_ += queued;
        break;
      case AttemptEnd::kAbandoned:
        ++waited_;
        ++abandoned_;
        abandoned_within_ += queued <= answer_time ? 1 : 0;
        queue_time_ += queued;
        break;
      case AttemptEnd::kBlocked: ++blocked_; break;
    }
  }

  std::int64_t offered() const { return offered_; }
  std::int64_t answered() const { return offered_ - abandoned_ - blocked_; }
  std::int64_t abandoned() const { return abandoned_; }
  std::int64_t blocked() const { return blocked_; }
  double queue_time() const { return queue_time_; }

  // The figures, with the queue length, carried traffic and occupancy of
  // `callers` callers arriving at A erlangs on n agents.
  CallFigures Figures(double A, std::int32_t n, std::int64_t callers) const;

 private:
  std::int64_t offered_ = 0;
  std::int64_t waited_ = 0;
  std::int64_t answered_later_ = 0;
  std::int64_t abandoned_ = 0;
  std::int64_t blocked_ = 0;
  std::int64_t answered_within_ = 0;
  std::int64_t abandoned_within_ = 0;
  double answered_wait_ = 0.0;  // summed in the order of the attempts
  double queue_time_ = 0.0;
};

}  // namespace moravel

#endif
