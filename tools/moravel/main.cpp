// moravel: teletraffic calculations from the command line, through
// libMoravel's moravel/api.h.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

#include "commands.h"

#ifndef MORAVEL_VERSION
#define MORAVEL_VERSION "unknown"
#endif

namespace {

// Everything written must have reached its file: a full disk, a closed
// stdout or a reader gone away is a failure, not a success.
// errno is cleared before the output is written (see Print), so that a
// failed write's reason is still there.
bool OutputWritten() {
  std::cout.flush();
  int error = errno;
  const bool stream_ok = static_cast<bool>(std::cout);
  const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (error == 0) error = errno;
  // stdout stays open: the standard streams still flush it at exit.
  if (stream_ok && flushed) return true;
  std::cerr << "moravel: cannot write the output"
            << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "moravel: Erlang, Engset, multi-rate link groups, their simulations and the "
      "dimensioning questions",
      "moravel"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "moravel " MORAVEL_VERSION);
  moravel_tool::ModelCommands commands;
  moravel_tool::AddModelCommands(app, commands);
  moravel_tool::AddSweepCommand(app);
  moravel_tool::AddCompareCommand(app);
  moravel_tool::AddDemoCommand(app);
  moravel_tool::AddPlanCommand(app);
  int status = 0;
  try {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty()) {
      const std::string& first = arguments[0];
      if (first.empty() || first[0] != '-') {
        moravel_tool::CheckSubcommandName(app, first);
        const CLI::App* command = app.get_subcommand(first);
        if (!command->get_prefix_command()) {
          moravel_tool::CheckOptionNames(*command, arguments, 1);
        }
      } else {
        moravel_tool::CheckOptionNames(app, {first}, 0);
      }
    }
    app.parse(argc, argv);
    for (const moravel_tool::Answer& answer : commands.answers) {
      moravel_tool::Print(answer.report, answer.output);
    }
  } catch (const CLI::CallForHelp& e) {
    status = app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    status = app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    status = app.exit(e);
  } catch (const CLI::ParseError& e) {
    // One line, the option named, status 2 for every kind of bad input.
    std::cerr << "moravel: " << e.what() << '\n';
    return 2;
  } catch (const moravel_tool::Failure& e) {
    std::cerr << "moravel: " << e.what() << '\n';
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << "moravel: out of memory\n";
    return 1;
  }
  if (!OutputWritten()) return 1;
  return status;
}
