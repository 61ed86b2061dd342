// The registry of model subcommands, running one of them on a line of
// arguments for the subcommands that combine several calls, and the checks
// of subcommand and option names that give a typo its nearest valid name.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "commands.h"

namespace moravel_tool {

void AddModelCommands(CLI::App& app, std::vector<Answer>& answers) {
  AddFormulaCommands(app, answers);
  AddSingleServiceCommands(app, answers);
  AddSimulationCommands(app, answers);
  AddMultiserviceCommands(app, answers);
  AddMultiserviceSimulationCommands(app, answers);
  AddSolverCommands(app, answers);
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
      const std::string of = command.get_name().empty() ? "" : " of " + command.get_name();
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

std::vector<Report> RunModelCommand(const std::vector<std::string>& arguments) {
  CLI::App app;
  app.require_subcommand(1);
  std::vector<Answer> answers;
  AddModelCommands(app, answers);
  if (arguments.empty()) throw CLI::ValidationError("model", "is missing");
  CheckSubcommandName(app, arguments[0]);
  CheckOptionNames(*app.get_subcommand(arguments[0]), arguments, 1);
  // CLI11 takes the arguments in reverse order.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  app.parse(reversed);
  std::vector<Report> reports;
  for (Answer& answer : answers) reports.push_back(std::move(answer.report));
  return reports;
}

}  // namespace moravel_tool
