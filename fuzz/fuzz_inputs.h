// The arguments both fuzz harnesses draw: counts biased toward the edges of
// 32 bits, doubles including NaN, infinities, signed zeros and subnormals,
// and class arrays of 0 to 8 entries with the count passed beside them.
#ifndef MORAVEL_FUZZ_FUZZ_INPUTS_H
#define MORAVEL_FUZZ_FUZZ_INPUTS_H

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace moravel::fuzz {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

inline std::int32_t Count(FuzzedDataProvider& in) {
  static constexpr std::array<std::int32_t, 16> kEdges = {
      0, 1, 2, 3, -1, -2, kMin, kMin + 1, kMax, kMax - 1, 46341, 65536, 1 << 20, 1 << 30, 170, 171};
  if (in.ConsumeBool()) return kEdges[in.ConsumeIntegralInRange<std::size_t>(0, kEdges.size() - 1)];
  if (in.ConsumeBool()) return in.ConsumeIntegralInRange<std::int32_t>(-4, 40);
  return in.ConsumeIntegral<std::int32_t>();
}

inline double Real(FuzzedDataProvider& in) {
  static constexpr std::array<double, 18> kEdges = {0.0,
                                                    -0.0,
                                                    1.0,
                                                    -1.0,
                                                    0.5,
                                                    2.5,
                                                    5.0,
                                                    std::numeric_limits<double>::quiet_NaN(),
                                                    -std::numeric_limits<double>::quiet_NaN(),
                                                    std::numeric_limits<double>::infinity(),
                                                    -std::numeric_limits<double>::infinity(),
                                                    std::numeric_limits<double>::min(),
                                                    std::numeric_limits<double>::denorm_min(),
                                                    -std::numeric_limits<double>::denorm_min(),
                                                    std::numeric_limits<double>::max(),
                                                    2147483648.0,
                                                    9007199254740993.0,
                                                    1e-300};
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return kEdges[in.ConsumeIntegralInRange<std::size_t>(0, kEdges.size() - 1)];
    case 1: return static_cast<double>(in.ConsumeIntegralInRange<int>(-3, 40)) / 2.0;
    case 2: return in.ConsumeFloatingPointInRange<double>(-100.0, 100.0);
    default: return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
  }
}

// A class array of 0..8 entries, and the count to pass with it: its length,
// or an out-of-domain count that the library must refuse without reading.
struct Classes {
  std::vector<double> values;
  bool null = false;
  std::int32_t count = 0;
  const double* data() const { return null ? nullptr : values.data(); }
};

inline Classes MakeClasses(FuzzedDataProvider& in, bool demands) {
  Classes c;
  const auto n = in.ConsumeIntegralInRange<std::size_t>(0, 8);
  for (std::size_t i = 0; i < n; ++i) {
    c.values.push_back(demands && in.ConsumeBool()
                           ? static_cast<double>(in.ConsumeIntegralInRange<int>(0, 12))
                           : Real(in));
  }
  c.count = static_cast<std::int32_t>(n);
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: c.count = in.ConsumeBool() ? -1 : kMin; break;  // negative count
    case 1: c.null = true; break;                           // null array
    default: break;
  }
  return c;
}

}  // namespace moravel::fuzz

#endif
