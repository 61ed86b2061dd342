// The V servers of a single-service replay, as far as its decisions can
// tell them apart.
//
// A replay offers calls in arrival order.  Each call looks only at the
// earliest free instant F among the servers: it starts at once when its
// arrival instant a is strictly later than F, and otherwise it is lost
// (loss system) or starts at F (waiting system).  The server it takes gets
// the call's departure as its new free instant.
//
// What the calendar keeps
//
//  * Only instants that may still be at or after the current arrival: the
//    departures of busy servers.  A server free strictly before the current
//    arrival is free strictly before every later arrival too, because the
//    arrival instants never decrease (the replays pass an arrival rate of +0
//    or more, and cut a NaN arrival off before it gets here).  From then on
//    only the fact that it is free matters, so its instant is dropped and
//    the server joins the free ones, which are counted, not stored: a call
//    finds a server free exactly when fewer than V instants are stored.
//    Servers never used are free at 0.0, earlier than any positive arrival.
//    Every stored instant is at least 0 (an arrival, or F >= 0, plus a
//    holding time in [-0, +inf]), so an arrival at +-0 finds no server free.
//
//  * The stored instants in a ring of time slots.  Slot j holds instants x
//    with Index(x) = j, where Index(x) = floor(x / width) is nondecreasing in
//    x: the product by 1 / width, the truncation and the clamp at 2^62 all
//    keep order.  So Index(x) < Index(y) proves x < y, whatever rounding did
//    to the products, and only instants that share a slot with the arrival
//    are ever compared with it.  The ring covers the slots [now, now + size);
//    slot `now` also takes any instant of an earlier slot.  Instants past
//    the ring, or that find their slot full, go to a min-heap beside it.
//
// At an arrival a, the whole slots before Index(a) are dropped by count and
// the heap is popped while its top is earlier than a.  If fewer than V
// instants remain stored, a server is free; only otherwise are the instants
// in the slot of a compared with it one by one.  (Until then they may hold
// instants earlier than a: they are dropped with their slot later.)  The
// earliest stored instant is the smallest of the first nonempty slot or the
// heap's top.  Both are exact: the calendar decides every call as the plain
// replay with its V free instants and a linear minimum search does.
//
// The width is chosen so that a slot holds one or two departures near the
// front and the ring spans four mean holding times; about 2% of holding
// times reach past it.  Memory: 4 * 8 + 1 bytes per slot, two to four slots
// per server expected busy (min(A, V); 16 to 2^20 slots), plus the heap.
// Costs per call: a few slots passed and one slot compared, in constant
// time; the heap, O(log V), only for the few instants it holds.
#ifndef MORAVEL_SIMULATION_SERVER_CALENDAR_H
#define MORAVEL_SIMULATION_SERVER_CALENDAR_H

#include <algorithm>
#include <cstdint>
#include <vector>

#include "simulation/free_instant_heap.h"

namespace moravel {

class ServerCalendar {
 public:
  // servers >= 1; service_rate positive and finite.  The arrival rate only
  // sizes the ring (any value is safe).
  ServerCalendar(std::int32_t servers, double arrival_rate, double service_rate);

  // Arrival instants passed to either method must never decrease and never
  // be NaN.

  // Loss system: a call that finds a server free (a free instant strictly
  // earlier than its arrival) holds it until holding + arrival; true then.
  bool StartIfFree(double arrival, double holding) {
    if (!(arrival > 0.0)) return false;
    if (!HasFreeServer(arrival)) return false;
    Place(holding + arrival);
    return true;
  }

  // Waiting system: the call takes the server that frees first, at once if
  // that is strictly earlier than its arrival (true), else when it frees.
  bool StartAtOnceOrWait(double arrival, double holding) {
    if (arrival > 0.0) {
      if (HasFreeServer(arrival)) {
        Place(holding + arrival);
        return true;
      }
    } else if (stored_ < servers_) {
      // Nothing has expired yet, so the servers not stored are unused ones,
      // free at 0.0, not earlier than the arrival.
      Place(0.0 + holding);
      return false;
    }
    Place(TakeEarliest() + holding);
    return false;
  }

  // Callers who may give up while they wait (the contact-centre replay)
  // split StartAtOnceOrWait's step in three, so that a caller can see the
  // instant a server would take it before it decides to stay:
  //
  //   FreeBefore(a)       whether a server is free strictly before a;
  //   TakeEarliestFree()  when none is: removes and returns the earliest
  //                       free instant, at or after a (0.0 for a server
  //                       never used, possible only when a is a zero);
  //   Occupy(x)           gives the server taken, or a free one, the free
  //                       instant x: the caller's departure, or the
  //                       instant taken, handed back when the caller gives
  //                       up.
  bool FreeBefore(double arrival) { return arrival > 0.0 && HasFreeServer(arrival); }
  double TakeEarliestFree() { return stored_ < servers_ ? 0.0 : TakeEarliest(); }
  void Occupy(double instant) { Place(instant); }
  // FreeBefore(a) and, when it is false, TakeEarliestFree() in one pass
  // over the arrival's slot: true when a server is free strictly before a
  // (nothing taken), else false with the earliest free instant taken into
  // *earliest.  The same decisions, instants and calendar as the two calls.
  bool FreeBeforeElseTakeEarliest(double arrival, double* earliest);

 private:
  static constexpr std::uint32_t kSlotCapacity = 4;

  std::uint64_t Index(double instant) const {
    const double slots = instant * inverse_width_;
    return slots < 0x1p62 ? static_cast<std::uint64_t>(static_cast<std::int64_t>(slots))
                          : std::uint64_t{1} << 62;
  }

  // Stores a busy server's free instant.
  void Place(double instant);
  // Whether some server is free before `arrival` (> 0).  Drops the stored
  // instants that are found earlier than the arrival: the whole slots before
  // its own and the heap's.  The instants in the arrival's own slot are
  // compared only when that decides: fewer than V stored means a server is
  // free anyway, and the slot's early instants are dropped with the slot.
  // When the answer is no, every stored instant is at or after the arrival.
  bool HasFreeServer(double arrival);
  // Removes and returns the earliest stored instant; all V are stored.
  double TakeEarliest();
  // Drops the whole slots before the arrival's and the heap's instants
  // earlier than it.
  void DropBefore(double arrival);

  std::int64_t servers_;
  std::int64_t stored_ = 0;  // instants in the ring and the heap
  std::uint64_t slot_count_;
  std::uint64_t slot_mask_;
  std::uint64_t now_ = 0;
  double inverse_width_;
  std::vector<std::uint8_t> counts_;
  std::vector<double> instants_;  // slot s holds instants_[s * kSlotCapacity ...]
  FreeInstantHeap beyond_;
};

inline void ServerCalendar::Place(double instant) {
  ++stored_;
  const std::uint64_t slot = std::max(Index(instant), now_);
  if (slot - now_ < slot_count_) {
    const std::uint64_t s = slot & slot_mask_;
    const std::uint32_t count = counts_[s];
    if (count < kSlotCapacity) {
      instants_[s * kSlotCapacity + count] = instant;
      counts_[s] = static_cast<std::uint8_t>(count + 1);
      return;
    }
  }
  beyond_.Push(instant);
}

inline bool ServerCalendar::FreeBeforeElseTakeEarliest(double arrival, double* earliest) {
  if (!(arrival > 0.0)) {
    *earliest = TakeEarliestFree();
    return false;
  }
  DropBefore(arrival);
  if (stored_ < servers_) return true;
  const std::uint64_t s = now_ & slot_mask_;
  double* const slot = &instants_[s * kSlotCapacity];
  const std::uint32_t count = counts_[s];
  if (count == 0) {
    // Nothing stored is earlier than the arrival: the whole slots before
    // its own are gone, the heap's earlier instants popped.
    *earliest = TakeEarliest();
    return false;
  }
  std::uint32_t first = 0;
  for (std::uint32_t k = 1; k < count; ++k) {
    if (slot[k] < slot[first]) first = k;
  }
  // The slot's instants are the ring's earliest; one of them before the
  // arrival frees a server, and HasFreeServer drops what has expired.
  if (slot[first] < arrival) return HasFreeServer(arrival);
  if (!beyond_.empty() && beyond_.Top() < slot[first]) {
    *earliest = beyond_.Top();
    beyond_.Pop();
  } else {
    *earliest = slot[first];
    slot[first] = slot[count - 1];
    counts_[s] = static_cast<std::uint8_t>(count - 1);
  }
  --stored_;
  return false;
}

inline void ServerCalendar::DropBefore(double arrival) {
  const std::uint64_t arrival_slot = Index(arrival);
  if (arrival_slot > now_) {
    // Whole slots before the arrival's: every instant in them is earlier.
    const std::uint64_t passed = std::min(arrival_slot - now_, slot_count_);
    for (std::uint64_t k = 0; k < passed; ++k) {
      const std::uint64_t s = (now_ + k) & slot_mask_;
      stored_ -= counts_[s];
      counts_[s] = 0;
    }
    now_ = arrival_slot;
  }
  while (!beyond_.empty() && beyond_.Top() < arrival) {
    beyond_.Pop();
    --stored_;
  }
}

inline bool ServerCalendar::HasFreeServer(double arrival) {
  DropBefore(arrival);
  if (stored_ < servers_) return true;
  const std::uint64_t s = now_ & slot_mask_;
  double* const slot = &instants_[s * kSlotCapacity];
  const std::uint32_t count = counts_[s];
  std::uint32_t kept = 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    const double instant = slot[k];
    slot[kept] = instant;
    kept += instant < arrival ? 0 : 1;
  }
  stored_ -= count - kept;
  counts_[s] = static_cast<std::uint8_t>(kept);
  return stored_ < servers_;
}

}  // namespace moravel

#endif
