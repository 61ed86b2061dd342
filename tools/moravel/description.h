// The library's description of its interface (moravel_interface_description),
// read once, for what the tool asks of it.
#ifndef MORAVEL_TOOL_DESCRIPTION_H
#define MORAVEL_TOOL_DESCRIPTION_H

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace moravel_tool {

// The description's entry point `c_name`, and its record `name`; nullptr
// when it has none of that name.
const nlohmann::json* DescribedEntry(const std::string& c_name);
const nlohmann::json* DescribedRecord(const std::string& name);

// A result figure of a simulation the tool runs as a subcommand.
struct SimulatedFigure {
  bool measured;     // counted in the run; otherwise derived from measured ones by a formula
  bool probability;  // a probability, whose interval stays within [0, 1]
};

// The figure `figure` of the simulation shown as subcommand `subcommand`,
// or nullopt when the description lists no such figure.
std::optional<SimulatedFigure> DescribedSimulatedFigure(const std::string& subcommand,
                                                        const std::string& figure);

// A refusal as the description words it: the tool's spellings of the
// arguments of entry point `c_name` (and of the fields of its input
// records) whose refusals list `status` ("--lines",
// or "--blocked-retry-share and --abandoned-retry-share"), and the rest of
// the line: the status's message without the library's words for them
// (" must be at least 1"), or after a colon the whole message where those
// words name no argument (": the result leaves the range of a double").
// nullopt when no argument of the entry point with a tool spelling lists
// the status (the library's whole message then says what was refused).
struct DescribedRefusal {
  std::string options;
  std::string message;
};
std::optional<DescribedRefusal> RefusalOf(const std::string& c_name, int status);

// The columns of an input file (the plan's "calls", "handling_time",
// "patience") whose arguments of entry point `c_name` list `status` among
// their refusals, in the arguments' order.
std::vector<std::string> ColumnsRefused(const std::string& c_name, int status);

// The simulation that replays what the entry point shown as tool
// subcommand `subcommand` computes, as the description has it: the
// simulation's subcommand, whether it takes a link-choice --policy, whether
// the model offers each call to every link (the simulation's subset is then
// all the links), whether the model approximates the simulated system.
struct DescribedTwin {
  std::string simulation;
  bool takes_policy;
  bool offered_to_all_links;
  bool approximate;
};
std::optional<DescribedTwin> TwinOf(const std::string& subcommand);

// A link-choice policy of the multi-rate simulation: its code, the
// library's keyword and the readable name the tool takes beside it.
struct DescribedPolicy {
  int code;
  std::string keyword;
  std::string readable;
};
const std::vector<DescribedPolicy>& Policies();
// The policy named `name` (readable name or keyword), or nullptr.
const DescribedPolicy* FindPolicy(const std::string& name);

}  // namespace moravel_tool

#endif
