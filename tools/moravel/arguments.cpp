#include "arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace moravel_tool {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::string Bound(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

}  // namespace

CLI::Validator WholeNumber(std::int64_t min, std::int64_t max) {
  const std::string accepts = "a whole number from " + std::to_string(min) + " to " +
                              std::to_string(max);
  return CLI::Validator(
      [=](std::string& input) -> std::string {
        errno = 0;
        char* end = nullptr;
        const long long value = std::strtoll(input.c_str(), &end, 10);
        if (input.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
          return "accepts " + accepts + ", not " + Quoted(input);
        }
        return {};
      },
      "INT in [" + std::to_string(min) + ", " + std::to_string(max) + "]");
}

CLI::Validator RealNumber(double min, bool strict) {
  const std::string accepts = std::isinf(min) ? std::string("a finite number")
                              : strict        ? "a finite number above " + Bound(min)
                                              : "a finite number of at least " + Bound(min);
  return CLI::Validator(
      [=](std::string& input) -> std::string {
        char* end = nullptr;
        const double value = std::strtod(input.c_str(), &end);
        if (input.empty() || *end != '\0' || !std::isfinite(value) || value < min ||
            (strict && value == min)) {
          return "accepts " + accepts + ", not " + Quoted(input);
        }
        return {};
      },
      "NUMBER");
}

CLI::Validator Seed() { return WholeNumber(0, 4294967295LL); }

std::optional<std::string> TakeOption(std::vector<std::string>& arguments,
                                      std::initializer_list<const char*> names,
                                      const CLI::Validator& validator) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    for (const std::string name : names) {
      std::string value;
      std::size_t taken = 0;
      if (arguments[i] == name) {
        if (i + 1 >= arguments.size()) throw CLI::ArgumentMismatch(name + ": needs a value");
        value = arguments[i + 1];
        taken = 2;
      } else if (arguments[i].rfind(name + "=", 0) == 0) {
        value = arguments[i].substr(name.size() + 1);
        taken = 1;
      } else {
        continue;
      }
      std::string checked = value;
      const std::string error = validator(checked);
      if (!error.empty()) throw CLI::ValidationError(name, error);
      arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                      arguments.begin() + static_cast<std::ptrdiff_t>(i + taken));
      return value;
    }
  }
  return std::nullopt;
}

CLI::Option* AddCount(CLI::App& command, const std::string& name, std::int32_t& value,
                      const std::string& description, std::int64_t min, std::int64_t max) {
  return command.add_option(name, value, description)->check(WholeNumber(min, max));
}

CLI::Option* AddReal(CLI::App& command, const std::string& name, double& value,
                     const std::string& description, double min, bool strict) {
  return command.add_option(name, value, description)->check(RealNumber(min, strict));
}

}  // namespace moravel_tool
