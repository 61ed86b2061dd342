// Turning a status of moravel/api.h into the tool's answer: a refused input
// becomes one line, the library's message in the tool's spelling of the
// argument (status 2), any other failure a message with status 1.
#ifndef MORAVEL_TOOL_REFUSAL_H
#define MORAVEL_TOOL_REFUSAL_H

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

#include "moravel/api.h"

namespace moravel_tool {

// A failure that is not the input's fault (memory, a write, the library):
// reported with status 1.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns when `status` is MORAVEL_OK.  Otherwise a refused input is named
// as the interface description says: the tool's spellings of the arguments
// of entry point `c_name` that the status refuses, then the library's
// message ("--agents must be at least 1"); `respell` replaces a described
// spelling by the one the user typed ({"--traffic", "--calls-per-interval"}).
// A status that names no such argument gives the library's whole message;
// memory, internal and null-pointer codes throw Failure.
void CheckDescribed(moravel_status status, const char* c_name,
                    std::initializer_list<std::pair<const char*, const char*>> respell = {});

// One figure of the demonstration: its label, value and unit ("" for none).
struct Labelled {
  const char* label;
  double value;
  const char* unit = "";
};
// "loss 0.0183846, carried 4.90808 erl": figures as a reader expects them,
// each named, rounded as the library's text writes numbers.
std::string Figures(std::initializer_list<Labelled> figures);

}  // namespace moravel_tool

#endif
