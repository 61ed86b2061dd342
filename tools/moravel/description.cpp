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

// Whether `described` (an argument, or a field of an input record) lists
// the status named `status` among its refusals.
bool Refuses(const json& described, const json& status) {
  if (!described.contains("refused_by")) return false;
  const auto& refused_by = described.at("refused_by");
  return std::find(refused_by.begin(), refused_by.end(), status) != refused_by.end();
}

// The record an input argument points to ("const moravel_x*" -> moravel_x).
const json* InputRecord(const json& argument) {
  std::string type = argument.at("type");
  if (type.rfind("const ", 0) == 0) type.erase(0, 6);
  if (!type.empty() && type.back() == '*') type.pop_back();
  return Record(type);
}

// The tool's spelling of an argument or field: its long option where it has
// one, else its short one (-x); nullptr for none.
const json* Spelling(const json& described) {
  if (described.contains("tool") && described.at("tool").is_string()) return &described.at("tool");
  if (described.contains("tool_short") && described.at("tool_short").is_string()) {
    return &described.at("tool_short");
  }
  return nullptr;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    joined += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
  }
  return joined;
}

}  // namespace

std::optional<DescribedRefusal> RefusalOf(const std::string& c_name, int code) {
  const json* entry = Entry(c_name);
  const json* status = Status(code);
  if (entry == nullptr || status == nullptr) return std::nullopt;
  const json& name = status->at("name");
  std::vector<std::string> options;
  auto add = [&options, &name](const json& described) {
    const json* spelling = Spelling(described);
    if (spelling == nullptr || !Refuses(described, name)) return;
    const std::string option = spelling->get<std::string>();
    if (std::find(options.begin(), options.end(), option) == options.end()) {
      options.push_back(option);
    }
  };
  for (const json& argument : entry->at("arguments")) {
    if (argument.at("role") != "input") continue;
    add(argument);
    // A record of inputs: each field spelled on its own (the plan's targets).
    if (const json* record = InputRecord(argument)) {
      for (const json& field : record->at("fields")) add(field);
    }
  }
  if (options.empty()) return std::nullopt;
  const std::string message = status->at("message");
  const bool predicate = !status->at("subject").get<std::string>().empty();
  return DescribedRefusal{Joined(options), (predicate ? " " : ": ") + message};
}

std::vector<std::string> ColumnsRefused(const std::string& c_name, int code) {
  std::vector<std::string> columns;
  const json* entry = Entry(c_name);
  const json* status = Status(code);
  if (entry == nullptr || status == nullptr) return columns;
  for (const json& argument : entry->at("arguments")) {
    if (argument.contains("tool_column") && Refuses(argument, status->at("name"))) {
      columns.push_back(argument.at("tool_column"));
    }
  }
  return columns;
}

const json* DescribedEntry(const std::string& c_name) { return Entry(c_name); }

const json* DescribedRecord(const std::string& name) { return Record(name); }

std::optional<DescribedTwin> TwinOf(const std::string& subcommand) {
  // The first entry point shown as the subcommand that has a twin.
  const json* entry = nullptr;
  for (const json& point : Description().at("entry_points")) {
    const json& tool = point.at("hosts").at("tool");
    if (!tool.contains("shows") || !point.at("simulated_twin").is_string()) continue;
    const auto& shows = tool.at("shows");
    if (std::find(shows.begin(), shows.end(), subcommand) != shows.end()) {
      entry = &point;
      break;
    }
  }
  if (entry == nullptr) return std::nullopt;
  const json* twin = Entry(entry->at("simulated_twin"));
  if (twin == nullptr || !twin->at("hosts").at("tool").contains("shows")) return std::nullopt;
  auto has_input = [](const json& point, const char* key, const char* value) {
    for (const json& argument : point.at("arguments")) {
      if (argument.at("role") == "input" && argument.value(key, json()) == value) return true;
    }
    return false;
  };
  return DescribedTwin{
      twin->at("hosts").at("tool").at("shows").at(0), has_input(*twin, "tool", "--policy"),
      has_input(*twin, "name", "subset_links") && !has_input(*entry, "name", "subset_links"),
      entry->value("approximates_twin", false)};
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
