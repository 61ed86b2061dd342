#include "description.h"

#include <algorithm>
#include <vector>
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

const json* Entry(const std::string& c_name) {
  for (const json& entry : Description().at("entry_points")) {
    if (entry.at("c_name") == c_name) return &entry;
  }
  return nullptr;
}

const json* Status(int code) {
  for (const json& status : Description().at("statuses")) {
    if (status.at("code") == code) return &status;
  }
  return nullptr;
}

}  // namespace

std::optional<DescribedRefusal> RefusalOf(const std::string& c_name, int code) {
  const json* entry = Entry(c_name);
  const json* status = Status(code);
  if (entry == nullptr || status == nullptr) return std::nullopt;
  std::vector<std::string> options;
  for (const json& argument : entry->at("arguments")) {
    if (argument.at("role") != "input") continue;
    // The long option where the argument has one, else its short one (-x).
    const json& spelling = argument.at("tool").is_string() ? argument.at("tool")
                                                           : argument.value("tool_short", json());
    if (!spelling.is_string()) continue;
    const auto& refused_by = argument.at("refused_by");
    if (std::find(refused_by.begin(), refused_by.end(), status->at("name")) == refused_by.end()) {
      continue;
    }
    const std::string option = spelling.get<std::string>();
    if (std::find(options.begin(), options.end(), option) == options.end()) {
      options.push_back(option);
    }
  }
  if (options.empty()) return std::nullopt;
  std::string joined;
  for (std::size_t i = 0; i < options.size(); ++i) {
    joined += (i == 0 ? "" : i + 1 == options.size() ? " and " : ", ") + options[i];
  }
  const std::string message = status->at("message");
  const bool predicate = !status->at("subject").get<std::string>().empty();
  return DescribedRefusal{joined, (predicate ? " " : ": ") + message};
}

const std::vector<DescribedPolicy>& Policies() {
  static const std::vector<DescribedPolicy> policies = [] {
    std::vector<DescribedPolicy> all;
    for (const json& policy : Description().at("policies")) {
      all.push_back({policy.at("code"), policy.at("keyword"), policy.at("readable")});
    }
    return all;
  }();
  return policies;
}

const DescribedPolicy* FindPolicy(const std::string& name) {
  for (const DescribedPolicy& policy : Policies()) {
    if (policy.readable == name || policy.keyword == name) return &policy;
  }
  return nullptr;
}

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
      // A record within the record: its fields under their own names (the
      // first such record's) or prefixed by the field's ("attempt_...").
      const json* inner = Record(field.at("type"));
      if (inner == nullptr) continue;
      const std::string prefix = field.at("name").get<std::string>() + "_";
      for (const json& nested : inner->at("fields")) {
        const std::string name = nested.at("name");
        if (name != figure && prefix + name != figure) continue;
        const bool counted = std::find(measures.begin(), measures.end(), name) != measures.end();
        return SimulatedFigure{counted, nested.at("unit") == "probability"};
      }
    }
  }
  return std::nullopt;
}

}  // namespace moravel_tool
