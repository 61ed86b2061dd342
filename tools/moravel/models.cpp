// The registry of model subcommands, running one of them on a line of
// arguments for the subcommands that combine several calls, and the checks
// of subcommand and option names that give a typo its nearest valid name.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "commands.h"
#include "described_command.h"

namespace moravel_tool {

void OnRun(ModelCommands& commands, CLI::App& command, std::function<void()> run) {
  command.callback(run);
  commands.runs[command.get_name()] = std::move(run);
}

void Describe(ModelCommands& commands, const CLI::App& command, std::vector<std::string> ranges,
              ResultShape shape) {
  for (const std::string& name : ranges) {
    // A range over an option the command does not have is the tool's own
    // mistake: every sweep and compare would stop on it, and the tests say so.
    const std::string flag = (name.size() == 1 ? "-" : "--") + name;
    if (command.get_option_no_throw(flag) == nullptr) {
      throw std::logic_error(command.get_name() + " has no option " + flag + " to range over");
    }
  }
  commands.models.push_back(
      {command.get_name(), std::move(ranges), shape, TwinOf(command.get_name())});
}

void AddModelCommands(CLI::App& app, ModelCommands& commands) {
  AddDescribedCommands(app, commands);
  AddSingleServiceCommands(app, commands);
  AddSimulationCommands(app, commands);
  AddMultiserviceCommands(app, commands);
  AddMultiserviceSimulationCommands(app, commands);
  AddSolverCommands(app, commands);
  AddContactCentreCommands(app, commands);
}

namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool IsNumber(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0';
}

}  // namespace

std::string Nearest(const std::string& word, const std::vector<std::string>& names) {
  std::string best;
  std::size_t best_distance = 0;
  // A name the word begins (a retired "--interval" of "--interval-minutes")
  // is nearer than any edit: it is what the word meant, now spelt in full.
  for (const std::string& name : names) {
    if (name.size() > word.size() && name.compare(0, word.size(), word) == 0 &&
        (best.empty() || name.size() < best.size())) {
      best = name;
    }
  }
  if (!best.empty()) return best;
  for (const std::string& name : names) {
    const std::size_t d = EditDistance(word, name);
    if (best.empty() || d < best_distance) {
      best = name;
      best_distance = d;
    }
  }
  return best;
}

std::string LongNameOf(const CLI::App& command, const std::string& spelling) {
  for (const CLI::Option* option : command.get_options()) {
    if (!option->check_name(spelling)) continue;
    if (!option->get_lnames().empty()) return option->get_lnames()[0];
    if (!option->get_snames().empty()) return option->get_snames()[0];
  }
  return {};
}

void CheckOptionNames(const CLI::App& command, const std::vector<std::string>& arguments,
                      std::size_t from) {
  for (std::size_t i = from; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    // Values may start with '-' too: "-1", "-1:1", "-.5".
    if (word.size() < 2 || word[0] != '-' || word == "--" || IsNumber(word) ||
        std::isdigit(static_cast<unsigned char>(word[1])) != 0 || word[1] == '.') {
      continue;
    }
    std::string name = word.substr(0, word.find('='));
    if (name[1] != '-') name = name.substr(0, 2);  // "-V10" is -V with its value
    bool known = false;
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options()) {
      if (option->check_name(name)) known = true;
      for (const std::string& l : option->get_lnames()) names.push_back("--" + l);
      for (const std::string& s : option->get_snames()) names.push_back("-" + s);
    }
    if (!known) {
      const std::string of = command.get_parent() == nullptr ? "" : " of " + command.get_name();
      throw CLI::ParseError(
          "unknown option '" + name + "'" + of + "; did you mean '" + Nearest(name, names) + "'?",
          CLI::ExitCodes::ExtrasError);
    }
  }
}

void CheckSubcommandName(const CLI::App& app, const std::string& word) {
  std::vector<std::string> names;
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (sub->get_name() == word) return;
    names.push_back(sub->get_name());
  }
  throw CLI::ParseError(
      "unknown subcommand '" + word + "'; did you mean '" + Nearest(word, names) + "'?",
      CLI::ExitCodes::ExtrasError);
}

namespace {

// Parses a model line into `app` (freshly made) and returns its subcommand.
CLI::App& ParseModelLine(CLI::App& app, ModelCommands& commands,
                         const std::vector<std::string>& line) {
  app.require_subcommand(1);
  AddModelCommands(app, commands);
  if (line.empty()) throw CLI::ValidationError("model", "is missing");
  CheckSubcommandName(app, line[0]);
  CLI::App& command = *app.get_subcommand(line[0]);
  CheckOptionNames(command, line, 1);
  // CLI11 takes the arguments in reverse order.
  std::vector<std::string> reversed(line.rbegin(), line.rend());
  app.parse(reversed);
  return command;
}

std::vector<Report> TakeReports(ModelCommands& commands) {
  std::vector<Report> reports;
  for (Answer& answer : commands.answers) reports.push_back(std::move(answer.report));
  commands.answers.clear();
  return reports;
}

}  // namespace

std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments) {
  CLI::App app;
  ModelCommands commands;
  ParseModelLine(app, commands, arguments);
  return TakeReports(commands);
}

ModelRunner::ModelRunner(std::vector<std::string> line, std::size_t at)
    : line_(std::move(line)), at_(at) {}

std::vector<Report> ModelRunner::Run(const std::string& value) {
  if (!parsed_ || option_ == nullptr) {
    // The first run (or one after a refusal) parses the whole line.
    parsed_.reset();
    commands_ = ModelCommands{};
    app_ = std::make_unique<CLI::App>();
    std::vector<std::string> line = line_;
    line[at_] = value;
    CLI::App& command = ParseModelLine(*app_, commands_, line);
    parsed_ = value;
    run_ = commands_.runs.at(command.get_name());
    const std::string spelling = line[at_ - 1].substr(0, line[at_ - 1].find('='));
    option_ = nullptr;
    for (CLI::Option* option : command.get_options()) {
      if (option->check_name(spelling)) option_ = option;
    }
    if (option_ != nullptr) {
      const auto& results = option_->results();
      const auto found = std::find(results.begin(), results.end(), value);
      if (found == results.end()) {
        option_ = nullptr;  // not where it was expected: parse every time
      } else {
        index_ = static_cast<std::size_t>(found - results.begin());
      }
    }
    return TakeReports(commands_);
  }
  // The option takes the new value through its own checks, as a parse
  // would, and the command runs on the arguments already parsed.
  std::vector<std::string> values = option_->results();
  values[index_] = value;
  option_->clear();
  for (const std::string& v : values) option_->add_result(v);
  try {
    option_->run_callback();
    run_();
  } catch (...) {
    parsed_.reset();
    throw;
  }
  return TakeReports(commands_);
}

}  // namespace moravel_tool
