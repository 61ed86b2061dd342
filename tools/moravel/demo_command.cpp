// `moravel demo`: a short worked report of every model.
#include <iostream>

#include "commands.h"

namespace moravel_tool {

void AddDemoCommand(CLI::App& app) {
  auto* demo = app.add_subcommand("demo", "Print a worked report of every model");
  demo->callback([] {
    std::cout << "libMoravel demonstration\n\n";
    DemoFormulas(std::cout);
    std::cout << '\n';
    DemoSingleService(std::cout);
    std::cout << '\n';
    DemoSimulation(std::cout);
    std::cout << '\n';
    DemoMultiservice(std::cout);
    std::cout << '\n';
    DemoMultiserviceSimulation(std::cout);
  });
}

}  // namespace moravel_tool
