// The described command: a subcommand built from the interface description
// alone, for an entry point whose tool host says "generic".  Its options are
// the entry point's inputs in their tool spellings (whole numbers that fit
// 32 bits, seeds, numbers), its output the entry point's results (scalars,
// or a record's fields by their described offsets) through the report
// writer, so in text, CSV, JSON or --raw like every model; its refusals are
// the library's, in the options' spellings.  The one piece that is not read
// at run time, the call itself, is generated from the description at
// configure time (tools/CMakeLists.txt): a newly described entry point needs
// no source of the tool's own.
#ifndef MORAVEL_TOOL_DESCRIBED_COMMAND_H
#define MORAVEL_TOOL_DESCRIBED_COMMAND_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "moravel/api.h"

namespace CLI {
class App;
}

namespace moravel_tool {

struct ModelCommands;

// The arguments of one call, by their place in the C prototype: the inputs
// as the options read them, a zeroed buffer for each result.
class CallArguments {
 public:
  explicit CallArguments(std::size_t count) : whole_(count), real_(count), results_(count) {}

  void SetWhole(std::size_t i, std::int64_t value) { whole_[i] = value; }
  void SetReal(std::size_t i, double value) { real_[i] = value; }

  template <class T>
  T In(std::size_t i) const {
    if constexpr (std::is_floating_point_v<T>) {
      return static_cast<T>(real_[i]);
    } else {
      return static_cast<T>(whole_[i]);  // in range: the option checked its type
    }
  }

  // The buffer of result i, sized for T and zeroed.
  template <class T>
  T* Out(std::size_t i) {
    const std::size_t cells = (sizeof(T) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
    results_[i] = std::make_unique<std::max_align_t[]>(cells);
    return reinterpret_cast<T*>(results_[i].get());
  }

  // The bytes of result i, or nullptr when the call has none there.
  const unsigned char* Result(std::size_t i) const {
    return reinterpret_cast<const unsigned char*>(results_[i].get());
  }

 private:
  std::vector<std::int64_t> whole_;
  std::vector<double> real_;
  std::vector<std::unique_ptr<std::max_align_t[]>> results_;
};

struct DescribedCall {
  const char* c_name;
  moravel_status (*call)(CallArguments& arguments);
};
// The generated calls, one per entry point the described command shows.
const std::vector<DescribedCall>& DescribedCalls();

// A subcommand for every entry point of DescribedCalls().
void AddDescribedCommands(CLI::App& app, ModelCommands& commands);

}  // namespace moravel_tool

#endif
