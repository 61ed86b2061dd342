#include "multiservice_sim/link_occupancy.h"

namespace moravel {

// The heap is written out rather than taken from <algorithm>: popping moves
// the last entry down from the root along the smaller children, and a push
// moves the new entry up, each with one comparison per level.

void LinkOccupancy::ReleaseUntil(double now) {
  while (!holdings_.empty() && now >= holdings_.front().departure) {
    const Holding& ended = holdings_.front();
    busy_[static_cast<std::size_t>(ended.link)] -= ended.units;
    const Holding last = holdings_.back();
    holdings_.pop_back();
    const std::size_t size = holdings_.size();
    if (size == 0) break;
    std::size_t hole = 0;
    for (;;) {
      std::size_t child = 2 * hole + 1;
      if (child >= size) break;
      if (child + 1 < size && holdings_[child + 1].departure < holdings_[child].departure) {
        ++child;
      }
      if (!(holdings_[child].departure < last.departure)) break;
      holdings_[hole] = holdings_[child];
      hole = child;
    }
    holdings_[hole] = last;
  }
}

void LinkOccupancy::Hold(std::int32_t link, std::int32_t units, double departure) {
  busy_[static_cast<std::size_t>(link)] += units;
  std::size_t hole = holdings_.size();
  holdings_.push_back({departure, link, units});
  while (hole > 0) {
    const std::size_t parent = (hole - 1) / 2;
    if (!(departure < holdings_[parent].departure)) break;
    holdings_[hole] = holdings_[parent];
    hole = parent;
  }
  holdings_[hole] = {departure, link, units};
}

}  // namespace moravel
