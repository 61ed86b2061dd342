#include "model_table.h"

namespace moravel_tool {

const std::vector<ModelEntry>& ModelTable() {
  using enum ResultShape;
  static const std::vector<ModelEntry> table{
      {"erlang-b", {"servers", "traffic"}, kScalar, {}},
      {"erlang-c", {"servers", "traffic"}, kScalar, {}},
      {"engset", {"sources", "servers", "traffic-per-source"}, kScalar, {}},
      {"erlang-b-direct", {"servers", "traffic"}, kScalar, {}},
      {"erlang-b-ratio", {"servers", "traffic", "fewer"}, kScalar, {}},
      {"loss", {"servers", "traffic"}, kFigures, Twin{"simulate-loss", false, false, false}},
      {"loss-finite", {"sources", "servers", "traffic-per-source"}, kFigures, {}},
      {"loss-assembled", {"x", "y", "z", "servers", "multiplier"}, kFigures, {}},
      {"loss-priority", {"servers", "traffic"}, kPerClass, {}},
      {"wait",
       {"servers", "traffic", "threshold", "holding-time", "calls-per-interval", "interval"},
       kFigures,
       Twin{"simulate-wait", false, false, false}},
      {"simulate-loss", {"servers", "traffic", "calls", "seed"}, kFigures, {}},
      {"simulate-wait", {"servers", "traffic", "calls", "seed", "threshold"}, kFigures, {}},
      {"link-group", {"links", "units"}, kPerClass, Twin{"simulate-link-subset", true, true, true}},
      {"link-subset",
       {"links", "units", "subset"},
       kPerClass,
       Twin{"simulate-link-subset", true, false, true}},
      {"simulate-link-subset", {"links", "units", "subset", "calls", "seed"}, kPerClass, {}},
      {"servers", {"traffic", "sources", "traffic-per-source", "target"}, kFigures, {}},
      {"traffic", {"servers", "sources", "target"}, kScalar, {}},
      {"agents",
       {"traffic", "holding-time", "answer-time", "calls-per-interval", "interval", "service-level",
        "mean-wait", "wait-probability"},
       kFigures,
       {}},
  };
  return table;
}

const ModelEntry* FindModel(const std::string& name) {
  for (const ModelEntry& entry : ModelTable()) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace moravel_tool
