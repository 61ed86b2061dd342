// Option helpers shared by the subcommands.  An option checks only that its
// value is a value of its type: a number strtod reads, or a whole number
// that fits the 32 bits the library takes.  Whether it is in range is the
// library's judgement, which reaches the user through the interface
// description (CheckDescribed, refusal.h) in the option's spelling.
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

constexpr std::int64_t kLeastCount = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// A whole number in [min, max]: by default any that fits 32 bits; a narrower
// range only for the tool's own options (--jobs), never for the library's.
CLI::Validator WholeNumber(std::int64_t min = kLeastCount, std::int64_t max = kMaxCount);
// A number as strtod reads it, inf and nan included: whether it is finite,
// or in range, is for the library to say.
CLI::Validator Number();
// A whole number in [0, 2^32 - 1] (seeds).
CLI::Validator Seed();

CLI::Option* AddCount(CLI::App& command, const std::string& name, std::int32_t& value,
                      const std::string& description, std::int64_t min = kLeastCount,
                      std::int64_t max = kMaxCount);
CLI::Option* AddNumber(CLI::App& command, const std::string& name, double& value,
                       const std::string& description);

// The options that several commands share, declared once each.
CLI::Option* AddServers(CLI::App& command, std::int32_t& servers);
CLI::Option* AddTraffic(CLI::App& command, double& traffic);
CLI::Option* AddSources(CLI::App& command, std::int32_t& sources);
CLI::Option* AddTrafficPerSource(CLI::App& command, double& traffic);
CLI::Option* AddSeed(CLI::App& command, std::int64_t& seed, const std::string& zero_means);

// Traffic given as a call volume: calls per interval of so many minutes with
// the mean holding time in seconds, A = calls x holding time / (60 x
// minutes), an alternative to --traffic.  The interval is in minutes
// wherever libMoravel takes one (the tool, Python, the page).
struct CallVolume {
  double calls = 0.0;
  double minutes = 0.0;
  const CLI::Option* option = nullptr;  // --calls-per-interval
  bool given() const { return option != nullptr && option->count() != 0; }
};
void AddCallVolume(CLI::App& command, CallVolume& volume, CLI::Option* traffic);
// The volume's traffic, the library's moravel_offered_traffic, which also
// judges the calls, the interval and the handling time (spelled
// `holding_option` in a refusal).
double VolumeTraffic(const CallVolume& volume, double holding_seconds, const char* holding_option);
// The offered traffic: the volume's when it was given, else --traffic
// (`traffic_option`), which is then required.
double TrafficOf(const CallVolume& volume, const CLI::Option& traffic_option, double traffic,
                 double holding_seconds);
// How a refusal names the traffic: by the option the user gave it with.
std::pair<const char*, const char*> VolumeSpelling(const CallVolume& volume);

// The unit of the times of a command that takes a call volume: seconds with
// one, else "time units" (whatever unit the holding time was given in).
std::string TimeUnit(const CallVolume& volume);
// "t = 20 s, holding time 180 s", or without a volume "t = 0.5, holding
// time 1 (one time unit)": the times of a title, each with its unit.
std::string Times(const std::vector<std::pair<std::string, double>>& times,
                  const CallVolume& volume);

// The load assembled from three times and a multiplier, A = (n / (1/x +
// 1/y)) (z/y + 1): options -x, -y, -z and -n,--multiplier, returned in that
// order.
struct Assembly {
  double x = 0.0, y = 0.0, z = 0.0;
  std::int32_t multiplier = 0;
};
std::vector<CLI::Option*> AddAssembly(CLI::App& command, Assembly& load);

// A class of calls of the multi-rate models: "TRAFFIC:DEMAND", a traffic
// in erlangs and a demand in allocation units, two numbers.
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
