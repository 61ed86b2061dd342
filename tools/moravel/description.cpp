#include "description.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "moravel/api.h"

namespace moravel_tool {
namespace {

using nlohmann::json;

const json& Description() {
  static const json description = json::parse(moravel_interface_description());
  return description;
}

// The entry point a host shows as `subcommand` of the tool.
const json* EntryShownAs(const std::string& subcommand) {
  for (const json& entry : Description().at("entry_points")) {
    const json& tool = entry.at("hosts").at("tool");
    if (!tool.contains("shows")) continue;
    const auto& shows = tool.at("shows");
    if (std::find(shows.begin(), shows.end(), subcommand) != shows.end()) return &entry;
  }
  return nullptr;
}

const json* Record(const std::string& name) {
  for (const json& record : Description().at("records")) {
    if (record.at("name") == name) return &record;
  }
  return nullptr;
}

}  // namespace

std::optional<SimulatedFigure> DescribedSimulatedFigure(const std::string& subcommand,
                                                        const std::string& figure) {
  const json* entry = EntryShownAs(subcommand);
  if (entry == nullptr) return std::nullopt;
  const json& measures = entry->at("measures");
  const bool measured = std::find(measures.begin(), measures.end(), figure) != measures.end();
  for (const json& argument : entry->at("arguments")) {
    if (argument.at("role") != "result") continue;
    if (argument.at("name") == figure) {
      return SimulatedFigure{measured, argument.at("unit") == "probability"};
    }
    if (!argument.contains("record")) continue;
    const json* record = Record(argument.at("record"));
    if (record == nullptr) continue;
    for (const json& field : record->at("fields")) {
      if (field.at("name") == figure) {
        return SimulatedFigure{measured, field.at("unit") == "probability"};
      }
    }
  }
  return std::nullopt;
}

}  // namespace moravel_tool
