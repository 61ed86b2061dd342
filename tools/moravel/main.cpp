// moravel: teletraffic calculations from the command line, through the
// C exports of libMoravel.
#include <CLI/CLI.hpp>
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  CLI::App app{"moravel: Erlang, Engset, multi-rate link groups and their simulations"};
  app.require_subcommand(1);
  moravel_tool::AddFormulaCommands(app);
  moravel_tool::AddSingleServiceCommands(app);
  moravel_tool::AddSimulationCommands(app);
  moravel_tool::AddDemoCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    // One line, the option named, status 2 for every kind of bad input.
    std::cerr << "moravel: " << e.what() << '\n';
    return 2;
  }
  return 0;
}
