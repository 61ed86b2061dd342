// The library's description of its interface (moravel_interface_description),
// read once, for what the tool asks of it.
#ifndef MORAVEL_TOOL_DESCRIPTION_H
#define MORAVEL_TOOL_DESCRIPTION_H

#include <optional>
#include <string>

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

}  // namespace moravel_tool

#endif
