// The 32-bit Mersenne Twister MT19937 (Matsumoto and Nishimura, 1998),
// written out so that every output is the published one for its seed.
#ifndef MORAVEL_RANDOM_MT19937_H
#define MORAVEL_RANDOM_MT19937_H

#include <array>
#include <cstdint>

namespace moravel {

class Mt19937 {
 public:
  static constexpr int kStateSize = 624;

  // word[0] = seed, word[i] = 1812433253 (w ^ (w >> 30)) + i  (mod 2^32).
  explicit Mt19937(std::uint32_t seed);

  // The next tempered output.  The state is regenerated every 624 outputs,
  // starting with the first call.
  std::uint32_t operator()() {
    if (index_ >= kStateSize) Regenerate();
    std::uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
  }

  // Skips `count` outputs, as that many calls would.
  void Discard(std::uint64_t count) {
    if (count <= static_cast<std::uint64_t>(kStateSize - index_)) {
      index_ += static_cast<int>(count);
    } else {
      DiscardAcrossRegenerations(count);
    }
  }

 private:
  void Regenerate();
  void DiscardAcrossRegenerations(std::uint64_t count);

  std::array<std::uint32_t, kStateSize> state_;
  int index_;
};

}  // namespace moravel

#endif
