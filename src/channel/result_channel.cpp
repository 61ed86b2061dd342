#include "channel/result_channel.h"

#include <sstream>
#include <string>
#include <utility>

namespace moravel {
namespace {

// Constructed at load by static initialisation, in this order, and
// destroyed at unload in the reverse one.  The stream keeps its default
// settings for life: precision 6, no format flags, the locale it was built
// with, so an inserted double reads as printf's "%.6g" would write it.
std::stringstream ResultStream;
std::string ResultText;

}  // namespace

void ResultWriter::WriteSeparated(std::span<const double> numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i != 0) ResultStream << " ";
    ResultStream << numbers[i];
  }
}

void ResultWriter::WriteEachFollowedByBlank(std::span<const double> numbers) {
  for (double number : numbers) ResultStream << number << " ";
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
