// The subcommands of the moravel tool, one group per area of the library.
#ifndef MORAVEL_TOOL_COMMANDS_H
#define MORAVEL_TOOL_COMMANDS_H

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "report.h"

namespace moravel_tool {

// Every model subcommand (one call of one export each).
void AddModelCommands(CLI::App& app);
void AddFormulaCommands(CLI::App& app);
void AddSingleServiceCommands(CLI::App& app);
void AddSimulationCommands(CLI::App& app);
void AddMultiserviceCommands(CLI::App& app);
void AddMultiserviceSimulationCommands(CLI::App& app);
void AddDemoCommand(CLI::App& app);
void AddSweepCommand(CLI::App& app);
void AddCompareCommand(CLI::App& app);

// Runs one model subcommand line (without the program name) and returns
// what it reported.  Throws CLI::ParseError on bad input.
std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments);

// Worked examples for `moravel demo`, one section per area.
void DemoFormulas(std::ostream& out);
void DemoSingleService(std::ostream& out);
void DemoSimulation(std::ostream& out);
void DemoMultiservice(std::ostream& out);
void DemoMultiserviceSimulation(std::ostream& out);

// The five figures of the waiting system, analytic or simulated (defined
// with the single-service commands).
Report WaitReport(std::string title, const char* text, const std::string& time_unit);

}  // namespace moravel_tool

#endif
