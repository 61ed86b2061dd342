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

struct CallFigures {
  double wait_probability = 0.0;     // waited (answered later or abandoned) / offered
  double abandon_probability = 0.0;  // abandoned / offered
  double blocked_probability = 0.0;  // blocked / offered
  // Answered within t over all offered attempts.
  double service_level_offered = 0.0;
  // Answered within t over the attempts not abandoned before t (blocked
  // attempts stay in); 0 when every attempt abandoned before t.
  double service_level_not_abandoned = 0.0;
  // Mean wait of the answered attempts (the speed of answer); 0 when none
  // was answered.
  double mean_wait_answered = 0.0;
  // Mean time in the queue over all offered attempts: answered attempts'
  // waits and abandoned attempts' patience, blocked attempts counting 0.
  double mean_wait = 0.0;
};

class CallTally {
 public:
  // `queued` is the time spent in the queue: the wait of an answered
  // attempt, the patience of an abandoned one, 0 for the others.
  void Record(AttemptEnd end, double queued, double answer_time) {
    ++offered_;
    switch (end) {
      case AttemptEnd::kAnsweredAtOnce:
        ++answered_within_;
        break;
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
        abandoned_before_ += queued < answer_time ? 1 : 0;
        queue_time_ += queued;
        break;
      case AttemptEnd::kBlocked: ++blocked_; break;
    }
  }

  std::int64_t offered() const { return offered_; }
  std::int64_t answered() const { return offered_ - abandoned_ - blocked_; }
  double queue_time() const { return queue_time_; }

  CallFigures Figures() const;

 private:
  std::int64_t offered_ = 0;
  std::int64_t waited_ = 0;
  std::int64_t answered_later_ = 0;
  std::int64_t abandoned_ = 0;
  std::int64_t blocked_ = 0;
  std::int64_t answered_within_ = 0;
  std::int64_t abandoned_before_ = 0;
  double answered_wait_ = 0.0;  // summed in the order of the attempts
  double queue_time_ = 0.0;
};

}  // namespace moravel

#endif
