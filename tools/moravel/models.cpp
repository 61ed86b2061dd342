// The registry of model subcommands, and running one of them on a line of
// arguments for the subcommands that combine several calls.
#include "commands.h"

namespace moravel_tool {

void AddModelCommands(CLI::App& app) {
  AddFormulaCommands(app);
  AddSingleServiceCommands(app);
  AddSimulationCommands(app);
  AddMultiserviceCommands(app);
  AddMultiserviceSimulationCommands(app);
}

std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments) {
  CLI::App app;
  app.require_subcommand(1);
  AddModelCommands(app);
  std::vector<Report> reports;
  SetReportSink(&reports);
  try {
    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (...) {
    SetReportSink(nullptr);
    throw;
  }
  SetReportSink(nullptr);
  return reports;
}

}  // namespace moravel_tool
