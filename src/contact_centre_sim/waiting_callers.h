// The callers waiting in the queue at an arrival instant, counted for the
// line limit: a centre with L lines gives a busy tone to an attempt that
// finds L callers in it, n with agents and the rest waiting.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_WAITING_CALLERS_H
#define MORAVEL_CONTACT_CENTRE_SIM_WAITING_CALLERS_H

#include <cstdint>
#include <deque>

#include "simulation/free_instant_heap.h"

namespace moravel {

// The replay decides each attempt when it arrives, so the queue is never
// held as such: a caller who waits leaves it at an instant known then, its
// start (when an agent takes it) or its abandonment.  Callers are first
// come, first served and an abandoning caller takes no agent, so the starts
// come in the order of the attempts and never decrease: they are kept in
// that order, and expire from the front.  Abandonment instants come in any
// order and are kept in a min-heap.  A caller leaving at exactly an arrival
// instant is still there, as a server freeing at that instant is still busy.
//
// Whenever someone waits every agent is busy, so the callers in the centre
// at an arrival that finds no agent free are n + Count(arrival).
class WaitingCallers {
 public:
  void AddStart(double start) { starts_.push_back(start); }
  void AddAbandonment(double instant) { abandonments_.Push(instant); }

  // Forgets the callers gone strictly before `arrival` (instants never
  // decrease from call to call) and counts the others.
  std::int64_t Count(double arrival) {
    while (!starts_.empty() && starts_.front() < arrival) starts_.pop_front();
    while (!abandonments_.empty() && abandonments_.Top() < arrival) abandonments_.Pop();
    return static_cast<std::int64_t>(starts_.size() + abandonments_.size());
  }

 private:
  std::deque<double> starts_;
  FreeInstantHeap abandonments_;
};

}  // namespace moravel

#endif
