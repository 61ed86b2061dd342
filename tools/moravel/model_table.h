// What the tool knows of each model subcommand beyond its options: the
// options that `sweep` may range over and the shape of its result; its
// simulated twin for `compare` comes from the interface description.  Each model says it once,
// where it declares its options (Describe, in commands.h); the table gathers those entries, and
// `sweep` and `compare` read it rather than keeping lists of their own.
#ifndef MORAVEL_TOOL_MODEL_TABLE_H
#define MORAVEL_TOOL_MODEL_TABLE_H

#include <optional>
#include <string>
#include <vector>

#include "description.h"

namespace moravel_tool {

enum class ResultShape {
  kScalar,    // one figure
  kFigures,   // one row of several figures
  kPerClass,  // one row per traffic class
};

struct ModelEntry {
  std::string name;                 // the subcommand
  std::vector<std::string> ranges;  // long names of the options a sweep may range over
  ResultShape shape;
  std::optional<DescribedTwin> twin;  // its simulated twin, from the description
};

// Every model subcommand's entry, in the order the subcommands are declared.
const std::vector<ModelEntry>& ModelTable();
// The entry of subcommand `name`, or nullptr.
const ModelEntry* FindModel(const std::string& name);

}  // namespace moravel_tool

#endif
