// The library's description of its interface (moravel_interface_description),
// read once, for what the tool asks of it.
#ifndef MORAVEL_TOOL_DESCRIPTION_H
#define MORAVEL_TOOL_DESCRIPTION_H

#include <optional>
#include <string>

#include "moravel/api.h"

namespace moravel_tool {

// A result figure of a simulation the tool runs as a subcommand.
struct SimulatedFigure {
  bool measured;     // counted in the run; otherwise derived from measured ones by a formula
  bool probability;  // a probability, whose interval stays within [0, 1]
};

// The figure `figure` of the simulation shown as subcommand `subcommand`,
// or nullopt when the description lists no such figure.
std::optional<SimulatedFigure> DescribedSimulatedFigure(const std::string& subcommand,
                                                        const std::string& figure);

// The library's refusal of `status` by entry point `c_name`, in the tool's
// words: the options of the arguments the description says the status
// refuses, then the library's message ("--target: must be above 0 and below
// 1"); the library's whole text where the status concerns no argument.
std::string DescribedRefusal(const std::string& c_name, moravel_status status);

}  // namespace moravel_tool

#endif
