// The subcommands of the moravel tool, one group per area of the library.
#ifndef MORAVEL_TOOL_COMMANDS_H
#define MORAVEL_TOOL_COMMANDS_H

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace moravel_tool {

void AddFormulaCommands(CLI::App& app);
void AddSingleServiceCommands(CLI::App& app);
void AddSimulationCommands(CLI::App& app);
void AddDemoCommand(CLI::App& app);

// Worked examples for `moravel demo`, one section per area.
void DemoFormulas(std::ostream& out);
void DemoSingleService(std::ostream& out);
void DemoSimulation(std::ostream& out);

// The five figures of the waiting system, analytic or simulated (defined
// with the single-service commands).
struct Report;
Report WaitReport(std::string title, const char* text, const std::string& time_unit);

}  // namespace moravel_tool

#endif
