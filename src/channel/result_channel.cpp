#include "channel/result_channel.h"

#include <charconv>
#include <sstream>
#include <string>
#include <utility>

namespace moravel {
namespace {

// Constructed at load by static initialisation, in this order, and
// destroyed at unload in the reverse one.
std::stringstream ResultStream;
std::string ResultText;

// Writes one number as printf's "%.6g" writes it under the classic locale
// (six significant digits, trailing zeros dropped, exponent form below 1e-4
// and from 1e6 on, "-0", "inf", "-nan").  std::to_chars with general format
// and precision 6 is defined to produce exactly that text, without the
// locale machinery of a stream insertion, which costs several times more.
void WriteNumber(double number) {
  char digits[32];  // the longest is "-1.23457e+308"
  const auto written =
      std::to_chars(digits, digits + sizeof digits, number, std::chars_format::general, 6);
  ResultStream.write(digits, written.ptr - digits);
}

}  // namespace

void ResultWriter::WriteSeparated(std::span<const double> numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i != 0) ResultStream.put(' ');
    WriteNumber(numbers[i]);
  }
}

void ResultWriter::WriteEachFollowedByBlank(std::span<const double> numbers) {
  for (double number : numbers) {
    WriteNumber(number);
    ResultStream.put(' ');
  }
}

void BeginResult() {
  ResultStream.str(std::string());
  // One failed write (memory running out) must not silence every later call.
  ResultStream.clear();
  ResultText.clear();
}

const char* FinishResult() {
  // A write that failed part-way leaves a truncated text: report nothing
  // rather than a wrong list of numbers.
  if (!ResultStream) return EmptyResult();
  ResultText = std::move(ResultStream).str();
  return ResultText.c_str();
}

const char* EmptyResult() noexcept {
  ResultText.clear();
  return ResultText.c_str();
}

}  // namespace moravel
