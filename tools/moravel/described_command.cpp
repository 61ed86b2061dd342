#include "described_command.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "arguments.h"
#include "commands.h"
#include "description.h"
#include "refusal.h"
#include "report.h"

namespace moravel_tool {
namespace {

using nlohmann::json;

// An input of the entry point: its place in the prototype, and where its
// option puts the value.
struct Input {
  std::size_t position;
  const json* argument;
  std::int32_t count = 0;  // int32_t
  std::int64_t seed = 0;   // uint32_t
  double real = 0.0;       // double
};

struct State {
  const DescribedCall* call = nullptr;
  const json* entry = nullptr;
  std::vector<Input> inputs;
  OutputOptions output;
};

// "degrees_of_freedom" -> "degrees of freedom".
std::string Label(std::string name) {
  for (char& c : name) {
    if (c == '_') c = ' ';
  }
  return name;
}

// A unit a reader needs beside the number; the described ones that only say
// what kind of number it is are left out.
std::string Unit(const json& described) {
  const std::string unit = described.value("unit", "");
  for (const char* kind : {"probability", "share", "ratio", "t", "count", "code", "flag", "index",
                           "record", "seed", "runs"}) {
    if (unit == kind) return {};
  }
  return unit;
}

// An input's unit in its figure: counts go without one, and a number keeps
// the unit's first word ("erlang per source" -> "erlang").
std::string InputUnit(const json& argument) {
  if (argument.at("type") != "double") return {};
  const std::string unit = Unit(argument);
  return unit.substr(0, unit.find(' '));
}

// The title template of the tool host, its "{argument}" places filled with
// the inputs' values; without a template, the help line and the inputs.
std::string Title(const json& tool, const std::vector<Figure>& inputs) {
  if (!tool.contains("title")) {
    std::string title = tool.value("about", std::string());
    for (const Figure& f : inputs) {
      title += (title.empty() ? "" : ", ") + f.label + " " + FormatNumber(f.value) +
               (f.unit.empty() ? "" : " " + f.unit);
    }
    return title;
  }
  std::string title = tool.at("title");
  for (const Figure& f : inputs) {
    const std::string place = "{" + f.name + "}";
    for (auto at = title.find(place); at != std::string::npos; at = title.find(place)) {
      title.replace(at, place.size(), FormatNumber(f.value));
    }
  }
  return title;
}

// The label of a result or field: its described label, else its name in words.
std::string LabelOf(const json& described, const std::string& name) {
  return described.value("label", Label(name));
}

template <class T>
T Read(const unsigned char* bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

// The figure of a value of described type `type` at `bytes`, or false for
// a type the command does not show.
bool Append(Row& row, const std::string& name, const std::string& label, const std::string& unit,
            const std::string& type, const unsigned char* bytes) {
  if (type == "double") {
    row.push_back({name, label, unit, Read<double>(bytes, 0)});
  } else if (type == "int32_t") {
    row.push_back(Count(name, label, Read<std::int32_t>(bytes, 0), unit));
  } else if (type == "uint32_t") {
    row.push_back(Count(name, label, Read<std::uint32_t>(bytes, 0), unit));
  } else if (type == "int64_t") {
    row.push_back(Count(name, label, static_cast<double>(Read<std::int64_t>(bytes, 0)), unit));
  } else {
    return false;
  }
  return true;
}

// A record's fields by their described offsets; a record within it by its
// fields, prefixed by the field's name.
void AppendRecord(Row& row, const json& record, const unsigned char* bytes,
                  const std::string& prefix) {
  for (const json& field : record.at("fields")) {
    const std::string name = prefix + field.at("name").get<std::string>();
    const unsigned char* at = bytes + field.at("offset").get<std::size_t>();
    if (Append(row, name, LabelOf(field, name), Unit(field), field.at("type"), at)) continue;
    if (const json* inner = DescribedRecord(field.at("type"))) {
      AppendRecord(row, *inner, at, name + "_");
    }
  }
}

Report Run(const State& state) {
  const json& arguments = state.entry->at("arguments");
  CallArguments call(arguments.size());
  Report report;
  for (const Input& input : state.inputs) {
    const json& argument = *input.argument;
    const std::string type = argument.at("type");
    const std::string name = argument.at("name");
    Figure figure{name, Label(name), InputUnit(argument)};
    if (type == "double") {
      call.SetReal(input.position, input.real);
      figure.value = input.real;
    } else {
      const std::int64_t whole = type == "int32_t" ? input.count : input.seed;
      call.SetWhole(input.position, whole);
      figure = Count(name, Label(name), static_cast<double>(whole));
    }
    report.inputs.push_back(std::move(figure));
  }
  report.title = Title(state.entry->at("hosts").at("tool"), report.inputs);
  const std::string c_name = state.entry->at("c_name");
  CheckDescribed(state.call->call(call), c_name.c_str());
  Row row;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const json& argument = arguments[i];
    if (argument.at("role") != "result" || call.Result(i) == nullptr) continue;
    std::string type = argument.at("type");
    type.pop_back();  // the pointer's '*'
    const std::string name = argument.at("name");
    if (Append(row, name, LabelOf(argument, name), Unit(argument), type, call.Result(i))) continue;
    if (const json* record = DescribedRecord(type)) AppendRecord(row, *record, call.Result(i), "");
  }
  report.rows.push_back(std::move(row));
  return report;
}

}  // namespace

void AddDescribedCommands(CLI::App& app, ModelCommands& commands) {
  for (const DescribedCall& call : DescribedCalls()) {
    const json* entry = DescribedEntry(call.c_name);
    if (entry == nullptr) continue;
    const json& tool = entry->at("hosts").at("tool");
    auto state = std::make_shared<State>();
    state->call = &call;
    state->entry = entry;
    auto* command = app.add_subcommand(tool.at("shows").at(0), tool.value("about", ""));
    const json& arguments = entry->at("arguments");
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (arguments[i].at("role") == "input") state->inputs.push_back({i, &arguments[i]});
    }
    std::vector<std::string> ranges;
    for (Input& input : state->inputs) {
      const json& argument = *input.argument;
      const json long_name = argument.value("tool", json());
      const json short_name = argument.value("tool_short", json());
      std::string spelling = short_name.is_string() ? short_name.get<std::string>() : "";
      if (long_name.is_string()) {
        spelling += (spelling.empty() ? "" : ",") + long_name.get<std::string>();
      }
      const std::string meaning = argument.value("meaning", Label(argument.at("name")));
      const std::string type = argument.at("type");
      CLI::Option* option = nullptr;
      if (type == "double") {
        const std::string unit = argument.value("unit", "");
        option = AddNumber(*command, spelling, input.real, meaning)
                     ->type_name(unit.rfind("erlang", 0) == 0 ? "ERLANGS"
                                 : unit == "probability"      ? "PROBABILITY"
                                                              : "NUMBER");
      } else if (type == "int32_t") {
        option = AddCount(*command, spelling, input.count, meaning)->type_name("COUNT");
      } else {
        option = command->add_option(spelling, input.seed, meaning)
                     ->transform(Seed())
                     ->type_name("SEED");
      }
      option->required();
      const std::string name = long_name.is_string() ? long_name.get<std::string>().substr(2)
                                                     : short_name.get<std::string>().substr(1);
      ranges.push_back(name);
    }
    AddOutputOptions(*command, state->output);
    Describe(commands, *command, ranges, ResultShape::kFigures);
    std::vector<Answer>& answers = commands.answers;
    OnRun(commands, *command, [state, &answers] {
      answers.push_back({Run(*state), state->output});
    });
  }
}

}  // namespace moravel_tool
