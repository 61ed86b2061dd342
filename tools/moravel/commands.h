// The subcommands of the moravel tool, one group per area of the library.
// A model subcommand computes through moravel/api.h and appends its report
// to the answers it was registered with; nothing is printed until the whole
// line has been parsed and computed.
#ifndef MORAVEL_TOOL_COMMANDS_H
#define MORAVEL_TOOL_COMMANDS_H

#include <CLI/CLI.hpp>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {

// Every model subcommand (one call of the library each).
void AddModelCommands(CLI::App& app, std::vector<Answer>& answers);
void AddFormulaCommands(CLI::App& app, std::vector<Answer>& answers);
void AddSingleServiceCommands(CLI::App& app, std::vector<Answer>& answers);
void AddSimulationCommands(CLI::App& app, std::vector<Answer>& answers);
void AddMultiserviceCommands(CLI::App& app, std::vector<Answer>& answers);
void AddMultiserviceSimulationCommands(CLI::App& app, std::vector<Answer>& answers);
void AddSolverCommands(CLI::App& app, std::vector<Answer>& answers);
void AddDemoCommand(CLI::App& app);
void AddSweepCommand(CLI::App& app);
void AddCompareCommand(CLI::App& app);

// Runs one model subcommand line (without the program name) and returns
// what it reported.  Throws CLI::ParseError on bad input, Failure when the
// library fails.
std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments);

// Refuses an option unknown to `command` (a word starting with '-' that is
// not a number) with the nearest name it knows; `from` is the index of the
// first argument after the subcommand's name.
void CheckOptionNames(const CLI::App& command, const std::vector<std::string>& arguments,
                      std::size_t from);
// Refuses a word that names no subcommand of `app`, with the nearest name.
void CheckSubcommandName(const CLI::App& app, const std::string& word);
// The name of `names` nearest to `word` in edit distance.
std::string Nearest(const std::string& word, const std::vector<std::string>& names);
// The long name of `command`'s option spelled `spelling` ("-V" -> "servers"),
// or "" when it has none.
std::string LongNameOf(const CLI::App& command, const std::string& spelling);

// Worked examples for `moravel demo`, one section per area.
void DemoFormulas(std::ostream& out);
void DemoSingleService(std::ostream& out);
void DemoSimulation(std::ostream& out);
void DemoMultiservice(std::ostream& out);
void DemoMultiserviceSimulation(std::ostream& out);

// Shared by the single-service commands and their simulations.
Report LossReport(std::string title, std::vector<Figure> inputs, const moravel_loss_result& result);
Row WaitRow(const moravel_wait_result& result, const std::string& time_unit);

// Shared by the multi-service commands and their simulation.
const std::initializer_list<Refusal>& GroupRefusals();
void AddGroupOptions(CLI::App& command, std::int32_t& links, std::int32_t& units,
                     std::vector<TrafficClass>& classes);
void SplitClasses(const std::vector<TrafficClass>& classes, std::vector<double>& traffic,
                  std::vector<double>& demand);
Report ClassReport(std::string title, std::vector<Figure> inputs,
                   const std::vector<TrafficClass>& classes, const std::vector<double>& blocking,
                   const std::vector<double>& carried);

}  // namespace moravel_tool

#endif
