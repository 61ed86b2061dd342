// The subcommands of the moravel tool, one group per area of the library.
#ifndef MORAVEL_TOOL_COMMANDS_H
#define MORAVEL_TOOL_COMMANDS_H

#include <CLI/CLI.hpp>
#include <ostream>

namespace moravel_tool {

void AddFormulaCommands(CLI::App& app);
void AddSingleServiceCommands(CLI::App& app);
void AddMultiserviceCommands(CLI::App& app);
void AddDemoCommand(CLI::App& app);

// Worked examples for `moravel demo`, one section per area.
void DemoFormulas(std::ostream& out);
void DemoSingleService(std::ostream& out);
void DemoMultiservice(std::ostream& out);

}  // namespace moravel_tool

#endif
