// What the tool knows of each model subcommand beyond its options: the
// options that `sweep` may range over, the shape of its result, and its
// simulated twin for `compare`.  Each model says it once, where it declares
// its options (Describe, in commands.h); the table gathers those entries, and
// `sweep` and `compare` read it rather than keeping lists of their own.
#ifndef MORAVEL_TOOL_MODEL_TABLE_H
#define MORAVEL_TOOL_MODEL_TABLE_H

#include <optional>
#include <string>
#include <vector>

namespace moravel_tool {

enum class ResultShape {
  kScalar,    // one figure
  kFigures,   // one row of several figures
  kPerClass,  // one row per traffic class
};

// The simulation that replays the system a model computes.
struct Twin {
  std::string simulation;     // its subcommand
  bool takes_policy;          // a link-choice --policy
  bool offered_to_all_links;  // simulated with --subset equal to --links
  bool approximate;           // the model approximates the simulated system
};

struct ModelEntry {
  std::string name;                 // the subcommand
  std::vector<std::string> ranges;  // long names of the options a sweep may range over
  ResultShape shape;
  std::optional<Twin> twin;  // its simulated twin, if it has one
};

// Every model subcommand's entry, in the order the subcommands are declared.
const std::vector<ModelEntry>& ModelTable();
// The entry of subcommand `name`, or nullptr.
const ModelEntry* FindModel(const std::string& name);

}  // namespace moravel_tool

#endif
