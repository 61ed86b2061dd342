// The least size at which a model meets a target, for models that meet it
// from some size on and whose cost grows with the size.
#ifndef MORAVEL_SOLVERS_LEAST_SIZE_SEARCH_H
#define MORAVEL_SOLVERS_LEAST_SIZE_SEARCH_H

#include <cstdint>

namespace moravel {

enum class SizeVerdict {
  kMeets,     // the model at this size meets the target
  kFails,     // it does not
  kOverflow,  // its values left the doubles: this size and larger ones are out of reach
};

enum class SizeOutcome { kFound, kUnreachable, kOverflow };

struct SizeSearchResult {
  SizeOutcome outcome;
  std::int32_t size;  // the least size that meets the target, when found
};

// Gallops up from `first` (first, first + s, first + 3 s, first + 7 s, ...
// with s = first_step, 1 unless given; never past `last`) until a size
// meets the target or overflows, then
// bisects between the last failing size and that one.  On a model that
// fails below some size and meets from it on, the answer is that size,
// found with about 2 log2(answer - first) evaluations; the sizes evaluated
// stay below twice the answer's distance from `first`.  Overflow is taken
// to persist at larger sizes: a bracket that closes on an overflowing size
// gives kOverflow.  kUnreachable when `last` fails.
template <class Judge>
SizeSearchResult LeastMeetingSize(std::int32_t first, std::int32_t last, Judge&& judge,
                                  std::int64_t first_step = 1) {
  std::int64_t failing = std::int64_t{first} - 1;  // the largest size known to fail
  std::int64_t upper = 0;                          // the least size known not to fail
  SizeVerdict upper_verdict = SizeVerdict::kFails;
  std::int64_t step = first_step;
  for (std::int64_t size = first;;) {
    const SizeVerdict verdict = judge(static_cast<std::int32_t>(size));
    if (verdict != SizeVerdict::kFails) {
      upper = size;
      upper_verdict = verdict;
      break;
    }
    failing = size;
    if (size == last) return {SizeOutcome::kUnreachable, 0};
    size = last - size > step ? size + step : last;
    step *= 2;
  }
  while (upper - failing > 1) {
    const std::int64_t middle = failing + (upper - failing) / 2;
    const SizeVerdict verdict = judge(static_cast<std::int32_t>(middle));
    if (verdict == SizeVerdict::kFails) {
      failing = middle;
    } else {
      upper = middle;
      upper_verdict = verdict;
    }
  }
  if (upper_verdict == SizeVerdict::kOverflow) return {SizeOutcome::kOverflow, 0};
  return {SizeOutcome::kFound, static_cast<std::int32_t>(upper)};
}

}  // namespace moravel

#endif
