// A binary min-heap of server free instants.
#ifndef MORAVEL_SIMULATION_FREE_INSTANT_HEAP_H
#define MORAVEL_SIMULATION_FREE_INSTANT_HEAP_H

#include <cstddef>
#include <vector>

namespace moravel {

// The instants must not be NaN (they are ordered by <); the replays only
// ever store instants that are at least 0.
class FreeInstantHeap {
 public:
  bool empty() const { return instants_.empty(); }
  std::size_t size() const { return instants_.size(); }
  double Top() const { return instants_.front(); }

  void Push(double instant) {
    instants_.push_back(instant);
    SiftUp(instants_.size() - 1, instant);
  }

  // Removes the earliest instant.
  void Pop() {
    const double last = instants_.back();
    instants_.pop_back();
    if (!instants_.empty()) ReplaceTop(last);
  }

  // Replaces the earliest instant.  The hole left at the top is walked down
  // to a leaf along the earlier child, then the new instant rises from there.
  // A new departure usually belongs near the bottom, so this spends about one
  // comparison per level instead of two.
  void ReplaceTop(double instant) {
    double* const a = instants_.data();
    const std::size_t n = instants_.size();
    std::size_t hole = 0;
    std::size_t child = 1;
    while (child + 1 < n) {
      child += a[child + 1] < a[child] ? 1 : 0;
      a[hole] = a[child];
      hole = child;
      child = 2 * hole + 1;
    }
    if (child < n) {
      a[hole] = a[child];
      hole = child;
    }
    SiftUp(hole, instant);
  }

 private:
  void SiftUp(std::size_t hole, double instant) {
    double* const a = instants_.data();
    while (hole > 0) {
      const std::size_t parent = (hole - 1) / 2;
      if (!(instant < a[parent])) break;
      a[hole] = a[parent];
      hole = parent;
    }
    a[hole] = instant;
  }

  std::vector<double> instants_;
};

}  // namespace moravel

#endif
