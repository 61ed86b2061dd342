// Option helpers shared by the subcommands: every number is checked here,
// so that the library is never called with input it cannot take, and a
// mistake gets one line naming the option and what it accepts.
#ifndef MORAVEL_TOOL_ARGUMENTS_H
#define MORAVEL_TOOL_ARGUMENTS_H

#include <CLI/CLI.hpp>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace moravel_tool {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// A whole number in [min, max] (32-bit counts).
CLI::Validator WholeNumber(std::int64_t min, std::int64_t max = kMaxCount);
// A finite real number, at least `min` (or above it when `strict`).
CLI::Validator RealNumber(double min = -std::numeric_limits<double>::infinity(),
                          bool strict = false);
// A whole number in [0, 2^32 - 1] (seeds).
CLI::Validator Seed();

CLI::Option* AddCount(CLI::App& command, const std::string& name, std::int32_t& value,
                      const std::string& description, std::int64_t min,
                      std::int64_t max = kMaxCount);
CLI::Option* AddReal(CLI::App& command, const std::string& name, double& value,
                     const std::string& description, double min, bool strict = false);

// Removes the first "NAME VALUE" or "NAME=VALUE" of any of `names` from
// `arguments` (from index 1 on: index 0 is a subcommand) and returns VALUE,
// checked by `validator`.  Lets `sweep` and `compare` take their own options
// before or after the model's.
std::optional<std::string> TakeOption(std::vector<std::string>& arguments,
                                      std::initializer_list<const char*> names,
                                      const CLI::Validator& validator = CLI::Validator());

}  // namespace moravel_tool

#endif
