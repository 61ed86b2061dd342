// Erlang delay system: V servers, unlimited first-come-first-served queue.
#ifndef MORAVEL_SINGLE_SERVICE_WAITING_MODEL_H
#define MORAVEL_SINGLE_SERVICE_WAITING_MODEL_H

#include <array>
#include <cstdint>

namespace moravel {

// The five characteristics, in the order written.
struct WaitingCharacteristics {
  double wait_probability;        // C, the Erlang delay value
  double wait_exceeds_threshold;  // C exp(-(V - A) t / h)
  double mean_wait;               // C h / (V - A), over all calls
  double mean_wait_of_waiting;    // h / (V - A)
  double mean_queue_length;       // C A / (V - A)
  std::array<double, 5> Numbers() const {
    return {wait_probability, wait_exceeds_threshold, mean_wait, mean_wait_of_waiting,
            mean_queue_length};
  }
};

// t: threshold and h: mean holding time, in one unit; V servers; A erlangs.
// Valid for A < V; outside it the values are written as computed.
WaitingCharacteristics WaitingModel(double t, double h, std::int32_t V, double A);

// The same figures from B = PalmTable(V, A) already at hand, as a search
// over V running the recursion upward has it: WaitingModel(t, h, V, A) is
// WaitingFromLoss(t, h, V, A, PalmTable(V, A)).
WaitingCharacteristics WaitingFromLoss(double t, double h, std::int32_t V, double A, double B);

}  // namespace moravel

#endif
