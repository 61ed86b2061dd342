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
#include <utility>
#include <vector>

namespace moravel_tool {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
// The recursions need V + 1: the most servers a model takes.
constexpr std::int64_t kMaxServers = kMaxCount - 1;

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

// The options that several commands share, declared once each.
CLI::Option* AddServers(CLI::App& command, std::int32_t& servers, std::int64_t min = 1,
                        std::int64_t max = kMaxServers);
CLI::Option* AddTraffic(CLI::App& command, double& traffic);
CLI::Option* AddSources(CLI::App& command, std::int32_t& sources);
CLI::Option* AddTrafficPerSource(CLI::App& command, double& traffic);
CLI::Option* AddSeed(CLI::App& command, std::int64_t& seed, const std::string& zero_means);

// Traffic given as a call volume: calls per interval of so many minutes with
// the mean holding time in seconds, A = calls x holding time / (60 x
// minutes), an alternative to --traffic.  The interval is in minutes
// wherever libMoravel takes one (the tool, Python, the page).
struct CallVolume {
  double calls = -1.0;
  double minutes = -1.0;
  bool given() const { return calls >= 0.0; }
};
void AddCallVolume(CLI::App& command, CallVolume& volume, CLI::Option* traffic);
// The offered traffic: --traffic, or the volume's when it was given.
double TrafficOf(const CallVolume& volume, double traffic, double holding_seconds);

// The unit of the times of a command that takes a call volume: seconds with
// one, else "time units" (whatever unit the holding time was given in).
std::string TimeUnit(const CallVolume& volume);
// "t = 20 s, holding time 180 s", or without a volume "t = 0.5, holding
// time 1 (one time unit)": the times of a title, each with its unit.
std::string Times(const std::vector<std::pair<std::string, double>>& times,
                  const CallVolume& volume);

// A class of calls of the multi-rate models: "TRAFFIC:DEMAND", a traffic
// in erlangs (finite, at least 0) and a whole demand of at least 1 unit.
struct TrafficClass {
  double traffic = 0.0;
  double demand = 0.0;
};
bool ParseClass(const std::string& text, TrafficClass& parsed);
// The repeated --class option, filling `classes`.
CLI::Option* AddClasses(CLI::App& command, std::vector<TrafficClass>& classes);

// Removes the first "NAME VALUE" or "NAME=VALUE" of any of `names` from
// `arguments` (from index 1 on: index 0 is a subcommand) and returns VALUE,
// checked by `validator`.  Lets `sweep` and `compare` take their own options
// before or after the model's.
std::optional<std::string> TakeOption(std::vector<std::string>& arguments,
                                      std::initializer_list<const char*> names,
                                      const CLI::Validator& validator = CLI::Validator());

}  // namespace moravel_tool

#endif
