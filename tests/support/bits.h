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

// A double as the result text writes it, on every platform: a finite value
// as printf's "%.6g" writes it, and the non-finite ones spelled "inf",
// "-inf", "nan" and "-nan" by their sign bit alone, as glibc's printf does.
// (The text must not change with the platform the library is built for;
// MinGW's printf writes every NaN as "nan", whatever its sign.)
std::string Text(double value);

}  // namespace moravel::testing

#endif
