// The result text channel: the one process-wide text through which every
// model and simulation export hands back its numbers.
//
// A text-returning export runs six steps: empty the stream, empty the text,
// compute, write the numbers (default stream format, which is printf's
// "%.6g", one blank between them), copy the stream into the text, return
// the text's character pointer.  RunTextExport() runs them around a
// computation and makes sure no exception reaches the C caller.
#ifndef MORAVEL_CHANNEL_RESULT_CHANNEL_H
#define MORAVEL_CHANNEL_RESULT_CHANNEL_H

#include <cstddef>
#include <span>

namespace moravel {

// Writes result numbers into the process-wide stream.  Only the export
// shells hold one, between steps 2 and 5.
class ResultWriter {
 public:
  // Numbers with one blank between neighbours and none after the last.
  void WriteSeparated(std::span<const double> numbers);
  // Every number followed by one blank (the per-class layout).
  void WriteEachFollowedByBlank(std::span<const double> numbers);
};

// Steps 1 and 2: empties the stream (clearing any error state left by an
// earlier failed write) and the text.
void BeginResult();
// Steps 5 and 6: moves the stream's content into the text and returns it.
const char* FinishResult();
// The empty text, after a refused input or a failure.
const char* EmptyResult() noexcept;

// Runs the six steps around `compute`, a callable taking a ResultWriter&.
// Anything thrown (memory exhaustion included) gives the empty text.
template <class Compute>
const char* RunTextExport(Compute&& compute) noexcept {
  try {
    BeginResult();
    ResultWriter writer;
    compute(writer);
    return FinishResult();
  } catch (...) {
    return EmptyResult();
  }
}

}  // namespace moravel

#endif
