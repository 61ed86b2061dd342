#include "model_table.h"

#include "commands.h"

namespace moravel_tool {

const std::vector<ModelEntry>& ModelTable() {
  // The entries as the subcommands describe themselves when declared.
  static const std::vector<ModelEntry> table = [] {
    CLI::App app;
    ModelCommands commands;
    AddModelCommands(app, commands);
    return commands.models;
  }();
  return table;
}

const ModelEntry* FindModel(const std::string& name) {
  for (const ModelEntry& entry : ModelTable()) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace moravel_tool
