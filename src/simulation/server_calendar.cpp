#include "simulation/server_calendar.h"

#include <algorithm>

namespace moravel {
namespace {

constexpr std::uint64_t kMinSlots = 16;
constexpr std::uint64_t kMaxSlots = std::uint64_t{1} << 20;
constexpr double kHorizonHoldingTimes = 4.0;  // exp(-4): 1.8% reach past the ring

}  // namespace

ServerCalendar::ServerCalendar(std::int32_t servers, double arrival_rate, double service_rate)
    : servers_(servers) {
  // About as many servers are busy as the offered traffic, at most V; two
  // slots per busy server.  (NaN or negative loads fall to the minimum.)
  const double offered = arrival_rate / service_rate;
  const double busy = offered < servers ? offered : static_cast<double>(servers);
  slot_count_ = kMinSlots;
  while (static_cast<double>(slot_count_) < 2.0 * busy && slot_count_ < kMaxSlots) {
    slot_count_ *= 2;
  }
  slot_mask_ = slot_count_ - 1;
  inverse_width_ = static_cast<double>(slot_count_) * service_rate / kHorizonHoldingTimes;
  if (!(inverse_width_ < 0x1p40)) inverse_width_ = 0x1p40;
  counts_.assign(slot_count_, 0);
  instants_.assign(slot_count_ * kSlotCapacity, 0.0);
}

double ServerCalendar::TakeEarliest() {
  // stored_ == servers_ >= 1 here.  The ring's earliest instant is in its
  // first nonempty slot; the slots skipped on the way are empty, so `now`
  // may move up to it.
  const bool ring_empty = static_cast<std::uint64_t>(stored_) == beyond_.size();
  if (!ring_empty) {
    while (counts_[now_ & slot_mask_] == 0) ++now_;
    const std::uint64_t s = now_ & slot_mask_;
    double* const slot = &instants_[s * kSlotCapacity];
    const std::uint32_t count = counts_[s];
    std::uint32_t earliest = 0;
    for (std::uint32_t k = 1; k < count; ++k) {
      if (slot[k] < slot[earliest]) earliest = k;
    }
    if (beyond_.empty() || !(beyond_.Top() < slot[earliest])) {
      const double instant = slot[earliest];
      slot[earliest] = slot[count - 1];
      counts_[s] = static_cast<std::uint8_t>(count - 1);
      --stored_;
      return instant;
    }
  }
  const double instant = beyond_.Top();
  beyond_.Pop();
  --stored_;
  return instant;
}

}  // namespace moravel
