#include "random/mt19937.h"

namespace moravel {
namespace {

constexpr int kShift = 397;  // the middle offset m
constexpr std::uint32_t kMatrix = 0x9908b0dfu;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7fffffffu;

inline std::uint32_t Twist(std::uint32_t current, std::uint32_t next, std::uint32_t far) {
  const std::uint32_t y = (current & kUpper) | (next & kLower);
  return far ^ (y >> 1) ^ ((y & 1u) != 0u ? kMatrix : 0u);
}

}  // namespace

Mt19937::Mt19937(std::uint32_t seed) : index_(kStateSize) {
  state_[0] = seed;
  for (int i = 1; i < kStateSize; ++i) {
    const std::uint32_t w = state_[i - 1];
    state_[i] = 1812433253u * (w ^ (w >> 30)) + static_cast<std::uint32_t>(i);
  }
}

void Mt19937::Regenerate() {
  constexpr int n = kStateSize;
  int i = 0;
  for (; i < n - kShift; ++i) state_[i] = Twist(state_[i], state_[i + 1], state_[i + kShift]);
  for (; i < n - 1; ++i) state_[i] = Twist(state_[i], state_[i + 1], state_[i + kShift - n]);
  state_[n - 1] = Twist(state_[n - 1], state_[0], state_[kShift - 1]);
  index_ = 0;
}

void Mt19937::DiscardAcrossRegenerations(std::uint64_t count) {
  while (count > 0) {
    if (index_ >= kStateSize) Regenerate();
    const auto available = static_cast<std::uint64_t>(kStateSize - index_);
    const std::uint64_t step = count < available ? count : available;
    index_ += static_cast<int>(step);
    count -= step;
  }
}

}  // namespace moravel
