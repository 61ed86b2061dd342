// How many units of each link are busy at an arrival instant.
//
// A call holds d units of one link until its departure.  Which units it
// holds never matters to a later call: every choice reads only how many
// units of each link are free.  And the units a call holds stay busy until
// its departure, since no later arrival (none comes before that departure)
// can find them free.  So the busy units of a link at instant T are the
// sum of d over the calls on it whose departure is later than T, and a
// record of (departure, link, d) per call in progress gives the same free
// counts as one release time per unit, whatever the link size.
#ifndef MORAVEL_MULTISERVICE_SIM_LINK_OCCUPANCY_H
#define MORAVEL_MULTISERVICE_SIM_LINK_OCCUPANCY_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace moravel {

class LinkOccupancy {
 public:
  // `links` links of `units_per_link` units, all free.  Four bytes per link;
  // the calls in progress are added as they come.
  LinkOccupancy(std::int32_t links, std::int32_t units_per_link)
      : busy_(static_cast<std::size_t>(links), 0), units_per_link_(units_per_link) {}

  // Ends every holding whose departure is not later than `now`: a call that
  // departs at the very instant another arrives has left before it.  The
  // instants passed must not decrease from one call to the next.
  void ReleaseUntil(double now);

  // Free units of `link` at the last instant passed to ReleaseUntil.
  std::int32_t Free(std::int32_t link) const {
    return units_per_link_ - busy_[static_cast<std::size_t>(link)];
  }

  // `units` more units of `link` busy until `departure` (units <= Free(link)).
  void Hold(std::int32_t link, std::int32_t units, double departure);

 private:
  struct Holding {
    double departure;
    std::int32_t link;
    std::int32_t units;
  };

  std::vector<std::int32_t> busy_;  // busy units per link
  std::vector<Holding> holdings_;   // binary min-heap on departure
  std::int32_t units_per_link_;
};

}  // namespace moravel

#endif
