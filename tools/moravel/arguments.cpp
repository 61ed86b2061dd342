#include "arguments.h"

#include "refusal.h"
#include "report.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace moravel_tool {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

CLI::Validator WholeNumber(std::int64_t min, std::int64_t max) {
  const std::string accepts =
      "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
  return CLI::Validator(
      [=](std::string& input) -> std::string {
        errno = 0;
        char* end = nullptr;
        const long long value = std::strtoll(input.c_str(), &end, 10);
        if (input.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
          return "accepts " + accepts + ", not " + Quoted(input);
        }
        // The parser converts what the check leaves, and would read "010" as
        // octal and "0x10" as hexadecimal: a count is decimal, so it gets the
        // number as read here, written plainly.
        input = std::to_string(value);
        return {};
      },
      "");
}

CLI::Validator Number() {
  return CLI::Validator(
      [](std::string& input) -> std::string {
        char* end = nullptr;
        std::strtod(input.c_str(), &end);
        if (input.empty() || *end != '\0') return "accepts a number, not " + Quoted(input);
        return {};
      },
      "");
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
      return checked;  // as the check read it: a count in plain decimal
    }
  }
  return std::nullopt;
}

CLI::Option* AddServers(CLI::App& command, std::int32_t& servers) {
  return AddCount(command, "-V,--servers", servers, "Number of servers")->type_name("COUNT");
}

CLI::Option* AddTraffic(CLI::App& command, double& traffic) {
  return AddNumber(command, "-A,--traffic", traffic, "Offered traffic [erlang]")
      ->type_name("ERLANGS");
}

CLI::Option* AddSources(CLI::App& command, std::int32_t& sources) {
  return AddCount(command, "-N,--sources", sources, "Number of traffic sources")
      ->type_name("COUNT");
}

CLI::Option* AddTrafficPerSource(CLI::App& command, double& traffic) {
  return AddNumber(command, "-a,--traffic-per-source", traffic,
                   "Offered traffic per source [erlang]")
      ->type_name("ERLANGS");
}

CLI::Option* AddSeed(CLI::App& command, std::int64_t& seed, const std::string& zero_means) {
  return command.add_option("--seed", seed, "Seed; the same seed repeats the run, 0 " + zero_means)
      ->transform(Seed())
      ->type_name("SEED");
}

void AddCallVolume(CLI::App& command, CallVolume& volume, CLI::Option* traffic) {
  auto* calls = AddNumber(command, "--calls-per-interval", volume.calls,
                          "Calls offered per interval, instead of --traffic; the holding and "
                          "answer times are then in seconds")
                    ->type_name("CALLS");
  auto* interval =
      AddNumber(command, "--interval-minutes", volume.minutes, "Length of the interval, in minutes")
          ->type_name("MINUTES");
  calls->needs(interval);
  interval->needs(calls);
  traffic->excludes(calls);
  volume.option = calls;
}

double VolumeTraffic(const CallVolume& volume, double holding_seconds, const char* holding_option) {
  double traffic = 0.0;
  CheckDescribed(moravel_offered_traffic(volume.calls, volume.minutes, holding_seconds, &traffic),
                 "moravel_offered_traffic", {{"--handling-time", holding_option}});
  return traffic;
}

double TrafficOf(const CallVolume& volume, const CLI::Option& traffic_option, double traffic,
                 double holding_seconds) {
  if (volume.given()) return VolumeTraffic(volume, holding_seconds, "--holding-time");
  if (traffic_option.count() == 0) {
    throw CLI::RequiredError("--traffic (or --calls-per-interval)");
  }
  return traffic;
}

std::pair<const char*, const char*> VolumeSpelling(const CallVolume& volume) {
  return {"--traffic", volume.given() ? "--calls-per-interval" : "--traffic"};
}

std::string TimeUnit(const CallVolume& volume) { return volume.given() ? "s" : "time units"; }

std::string Times(const std::vector<std::pair<std::string, double>>& times,
                  const CallVolume& volume) {
  std::string text;
  for (const auto& [name, value] : times) {
    text += (text.empty() ? "" : ", ") + name + (name.size() == 1 ? " = " : " ") +
            FormatNumber(value) + (volume.given() ? " s" : "");
  }
  return volume.given() ? text : text + " (one time unit)";
}

std::vector<CLI::Option*> AddAssembly(CLI::App& command, Assembly& load) {
  return {
      AddNumber(command, "-x", load.x,
                "Time x, in the unit of y: the load grows as n / (1/x + 1/y)")
          ->type_name("TIME"),
      AddNumber(command, "-y", load.y,
                "Time y: pairs with x in n / (1/x + 1/y), and is the unit of z")
          ->type_name("TIME"),
      AddNumber(command, "-z", load.z, "Time z, in the unit of y: scales the load by z/y + 1")
          ->type_name("TIME"),
      AddCount(command, "-n,--multiplier", load.multiplier, "Whole-number multiplier n of the load")
          ->type_name("COUNT")};
}

bool ParseClass(const std::string& text, TrafficClass& parsed) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return false;
  auto number = [](const std::string& s, double& value) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return *end == '\0';
  };
  return number(text.substr(0, colon), parsed.traffic) &&
         number(text.substr(colon + 1), parsed.demand);
}

CLI::Option* AddClasses(CLI::App& command, std::vector<TrafficClass>& classes) {
  return command
      .add_option_function<std::vector<std::string>>(
          "--class",
          [&classes](const std::vector<std::string>& texts) {
            classes.clear();
            for (const std::string& text : texts) {
              TrafficClass parsed;
              ParseClass(text, parsed);  // checked below
              classes.push_back(parsed);
            }
          },
          "A class of calls: its offered traffic [erlang] and demand per call [units], as "
          "TRAFFIC:DEMAND; repeat for each class")
      ->check(CLI::Validator(
          [](std::string& input) -> std::string {
            TrafficClass parsed;
            if (!ParseClass(input, parsed)) {
              return "accepts TRAFFIC:DEMAND, two numbers, not " + Quoted(input);
            }
            return {};
          },
          ""))
      ->type_name("TRAFFIC:DEMAND")
      ->required();
}

CLI::Option* AddCount(CLI::App& command, const std::string& name, std::int32_t& value,
                      const std::string& description, std::int64_t min, std::int64_t max) {
  return command.add_option(name, value, description)->transform(WholeNumber(min, max));
}

CLI::Option* AddNumber(CLI::App& command, const std::string& name, double& value,
                       const std::string& description) {
  return command.add_option(name, value, description)->check(Number());
}

}  // namespace moravel_tool
