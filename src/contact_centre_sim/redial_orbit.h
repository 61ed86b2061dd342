// The callers who will try again: each redial attempt waits here for its
// instant, earliest first.
#ifndef MORAVEL_CONTACT_CENTRE_SIM_REDIAL_ORBIT_H
#define MORAVEL_CONTACT_CENTRE_SIM_REDIAL_ORBIT_H

#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

namespace moravel {

struct Redial {
  double instant;
  std::uint64_t order;  // scheduling order: the earlier scheduled first on a tie
  bool counted;         // the caller is one of the run's counted callers

  bool operator>(const Redial& other) const {
    return instant > other.instant || (instant == other.instant && order > other.order);
  }
};

class RedialOrbit {
 public:
  bool empty() const { return redials_.empty(); }
  const Redial& Next() const { return redials_.top(); }
  void Pop() { redials_.pop(); }
  void Schedule(double instant, bool counted) { redials_.push({instant, scheduled_++, counted}); }

 private:
  std::priority_queue<Redial, std::vector<Redial>, std::greater<Redial>> redials_;
  std::uint64_t scheduled_ = 0;
};

}  // namespace moravel

#endif
