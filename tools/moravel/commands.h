// The subcommands of the moravel tool, one group per area of the library.
// A model subcommand computes through moravel/api.h and appends its report
// to the answers it was registered with; nothing is printed until the whole
// line has been parsed and computed.
#ifndef MORAVEL_TOOL_COMMANDS_H
#define MORAVEL_TOOL_COMMANDS_H

#include <CLI/CLI.hpp>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "model_table.h"
#include "moravel/api.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {

// Where the model subcommands put their reports, and each one's run kept
// so that a study can run a parsed command again with one value changed.
struct ModelCommands {
  std::vector<Answer> answers;
  std::map<std::string, std::function<void()>> runs;  // by subcommand name
  std::vector<ModelEntry> models;                     // as each describes itself
};
// Makes `run` the callback of `command`, and keeps it.
void OnRun(ModelCommands& commands, CLI::App& command, std::function<void()> run);
// Says, where `command` declares its options, which of them a sweep may
// range over (long names, or the letter of an option that has only a short
// one; each an option of the command) and the shape of its result.  Its
// simulated twin is the description's.
void Describe(ModelCommands& commands, const CLI::App& command, std::vector<std::string> ranges,
              ResultShape shape);

// Every model subcommand (one call of the library each).
void AddModelCommands(CLI::App& app, ModelCommands& commands);
void AddSingleServiceCommands(CLI::App& app, ModelCommands& commands);
void AddSimulationCommands(CLI::App& app, ModelCommands& commands);
void AddMultiserviceCommands(CLI::App& app, ModelCommands& commands);
void AddMultiserviceSimulationCommands(CLI::App& app, ModelCommands& commands);
void AddSolverCommands(CLI::App& app, ModelCommands& commands);
void AddContactCentreCommands(CLI::App& app, ModelCommands& commands);
void AddDemoCommand(CLI::App& app);
void AddPlanCommand(CLI::App& app);
void AddSweepCommand(CLI::App& app);
void AddCompareCommand(CLI::App& app);

// Runs one model subcommand line (without the program name) and returns
// what it reported.  Throws CLI::ParseError on bad input, Failure when the
// library fails.
std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments);

// One model subcommand line (without the program name), parsed and checked
// once, then run for any value of the word at `at` without parsing again:
// the new value goes through the option's own checks, and the command's
// run is called directly.  Throws CLI::ParseError on bad input (the same
// error a fresh parse of the line with that value gives), Failure when the
// library fails.
class ModelRunner {
 public:
  ModelRunner(std::vector<std::string> line, std::size_t at);
  ModelRunner(const ModelRunner&) = delete;
  ModelRunner& operator=(const ModelRunner&) = delete;
  std::vector<Report> Run(const std::string& value);

 private:
  std::vector<std::string> line_;
  std::size_t at_;
  std::unique_ptr<CLI::App> app_;
  ModelCommands commands_;
  CLI::Option* option_ = nullptr;
  std::size_t index_ = 0;  // the value's place among the option's values
  std::function<void()> run_;
  std::optional<std::string> parsed_;  // the value the line was parsed with
};

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
void AddGroupOptions(CLI::App& command, std::int32_t& links, std::int32_t& units,
                     std::vector<TrafficClass>& classes);
void SplitClasses(const std::vector<TrafficClass>& classes, std::vector<double>& traffic,
                  std::vector<double>& demand);
Report ClassReport(std::string title, std::vector<Figure> inputs,
                   const std::vector<TrafficClass>& classes, const std::vector<double>& blocking,
                   const std::vector<double>& carried);

}  // namespace moravel_tool

#endif
