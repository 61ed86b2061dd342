// How the array entry points walk their points: checked in order up to the
// first refusal, and computed chunk by chunk so that kernels which take
// many points at once can.
#ifndef MORAVEL_API_ARRAY_POINTS_H
#define MORAVEL_API_ARRAY_POINTS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "api/checks.h"
#include "moravel/api.h"

namespace moravel::api {

// Points per chunk: the scratch arrays of a chunk live on the stack.
inline constexpr std::size_t kChunk = 256;

// True when n > 0 and any of the arrays is missing.
template <class... Pointers>
bool AnyArrayMissing(std::size_t n, const Pointers*... arrays) {
  return n > 0 && ((arrays == nullptr) || ...);
}

// The inputs of an array call, read apart from its results: an input array
// whose bytes overlap the results' is copied before any point is computed,
// so that writing result j never changes an input of a later point (the
// results may be written over the inputs, in place or shifted).  The copies
// live as long as this object; making them may throw std::bad_alloc.
class InputsApartFrom {
 public:
  template <class Result>
  InputsApartFrom(const Result* results, std::size_t n)
      : first_(reinterpret_cast<std::uintptr_t>(results)), end_(first_ + n * sizeof(Result)) {}

  template <class T>
  const T* operator()(const T* input, std::size_t n) {
    const auto first = reinterpret_cast<std::uintptr_t>(input);
    const std::uintptr_t end = first + n * sizeof(T);
    if (n == 0 || end <= first_ || end_ <= first) return input;
    std::vector<std::byte>& copy = copies_.emplace_back(n * sizeof(T));
    std::memcpy(copy.data(), input, n * sizeof(T));
    return reinterpret_cast<const T*>(copy.data());
  }

 private:
  std::uintptr_t first_, end_;
  // Bytes from operator new, aligned for any element type; memcpy creates
  // the elements in them.
  std::vector<std::vector<std::byte>> copies_;
};

// Runs point(j) for j = 0 .. n - 1 and stops at the first refusal, whose
// index goes to *refused_index when that is not null.
template <class Point>
moravel_status ForEachPoint(std::size_t n, std::size_t* refused_index, Point&& point) {
  for (std::size_t j = 0; j < n; ++j) {
    const moravel_status status = point(j);
    if (status != MORAVEL_OK) {
      if (refused_index != nullptr) *refused_index = j;
      return status;
    }
  }
  return MORAVEL_OK;
}

// Checks the points in order with check(j); computes the accepted ones,
// compute(first, count) for chunks of at most kChunk consecutive points;
// stops at the first refusal (after computing the points before it), whose
// index goes to *refused_index when that is not null.
template <class Check, class Compute>
moravel_status ChunkedPoints(std::size_t n, std::size_t* refused_index, Check&& check,
                             Compute&& compute) {
  for (std::size_t first = 0; first < n; first += kChunk) {
    const std::size_t end = std::min(n, first + kChunk);
    std::size_t j = first;
    moravel_status status = MORAVEL_OK;
    for (; j < end; ++j) {
      status = check(j);
      if (status != MORAVEL_OK) break;
    }
    if (j > first) compute(first, j - first);
    if (status != MORAVEL_OK) {
      if (refused_index != nullptr) *refused_index = j;
      return status;
    }
  }
  return MORAVEL_OK;
}

// The frame of an array entry point: refuses missing arrays, reads the
// inputs apart from the results (each input pointer is replaced by its copy
// where it overlaps them, before `walk` reads it) and runs walk(), the
// walk over the points (ForEachPoint, ChunkedPoints), with no exception
// let out.
template <class Result, class Walk, class... Inputs>
moravel_status ArrayCall(std::size_t n, Result* results, Walk&& walk,
                         const Inputs*&... inputs) noexcept {
  if (AnyArrayMissing(n, inputs..., results)) return MORAVEL_ERROR_NULL_POINTER;
  return Guarded([&] {
    InputsApartFrom apart(results, n);
    ((inputs = apart(inputs, n)), ...);
    return walk();
  });
}

}  // namespace moravel::api

#endif
