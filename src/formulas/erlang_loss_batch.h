// The Erlang loss recursion for many points at once.
#ifndef MORAVEL_FORMULAS_ERLANG_LOSS_BATCH_H
#define MORAVEL_FORMULAS_ERLANG_LOSS_BATCH_H

#include <cstddef>
#include <cstdint>

namespace moravel {

// B[j] = PalmTable(V[j], A[j]) for j = 0 .. n - 1, bit for bit.
//
// One recursion waits at every step for its previous value (a multiply, an
// add and a divide), so a single point runs at the divider's latency while
// the divider could start a new division every few cycles.  Here four
// points advance together, step by step, for as many steps as all four
// need, and each then finishes alone: four independent chains fill the
// divider's pipeline.  Every chain performs exactly its own operations in
// its own order, so the values do not change.
void PalmTableBatch(std::size_t n, const std::int32_t* V, const double* A, double* B);

}  // namespace moravel

#endif
