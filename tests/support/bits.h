// Helpers for bit-exact expectations.
#ifndef MORAVEL_TESTS_SUPPORT_BITS_H
#define MORAVEL_TESTS_SUPPORT_BITS_H

#include <cstdint>
#include <limits>
#include <string>

namespace moravel::testing {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The IEEE-754 bit pattern of a double.
std::uint64_t Bits(double value);

// A double as the result text writes it ("%.6g"), for readable messages.
std::string Text(double value);

}  // namespace moravel::testing

#endif
