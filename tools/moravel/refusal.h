// Turning a status of moravel/api.h into the tool's answer: a refused input
// becomes one line naming the option and what it accepts (status 2), any
// other failure a message with status 1.
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

// What a command says when the library refuses its input with `status`.
struct Refusal {
  moravel_status status;
  std::string option;   // "--traffic", or "--links x --units" for a combination
  std::string accepts;  // "accepts a number below --servers (10)"
};

// Returns when `status` is MORAVEL_OK.  Otherwise throws the matching
// refusal of `refusals` as a CLI::ValidationError; a refused input missing
// from the list is named by the library's own message; memory, internal
// and unknown codes throw Failure.
void Check(moravel_status status, std::initializer_list<Refusal> refusals);

// Returns when `status` is MORAVEL_OK.  Otherwise a refused input is named
// as the interface description says: the tool's spellings of the arguments
// of entry point `c_name` that the status refuses, then the library's
// message ("--agents must be at least 1"); `respell` replaces a described
// spelling by the one the user typed ({"--traffic", "--calls-per-interval"}).
// A status that names no such argument gives the library's whole message;
// memory, internal and unknown codes throw Failure, as Check does.
void CheckDescribed(moravel_status status, const char* c_name,
                    std::initializer_list<std::pair<const char*, const char*>> respell = {});

// Refusals that several commands share.
inline const Refusal kTrafficBelowServers{
    MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS, "--traffic",
    "accepts a traffic below --servers: at or above it the queue grows without end"};
inline const Refusal kTrafficPerSourceBelowOne{MORAVEL_ERROR_SOURCE_TRAFFIC, "--traffic-per-source",
                                               "accepts a number of at least 0 and below 1"};

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
