#include "refusal.h"

#include <CLI/CLI.hpp>

#include "description.h"
#include "report.h"

namespace moravel_tool {

void CheckDescribed(moravel_status status, const char* c_name,
                    std::initializer_list<std::pair<const char*, const char*>> respell) {
  if (status == MORAVEL_OK) return;
  if (const auto refusal = RefusalOf(c_name, status)) {
    std::string options = refusal->options;
    for (const auto& [described, typed] : respell) {
      if (options == described) options = typed;
    }
    throw CLI::ValidationError(options + refusal->message);
  }
  switch (status) {
    case MORAVEL_ERROR_OUT_OF_MEMORY:
    case MORAVEL_ERROR_INTERNAL:
    case MORAVEL_ERROR_NULL_POINTER:
      throw Failure(std::string("the library failed: ") + moravel_status_message(status));
    default: throw CLI::ValidationError(moravel_status_message(status));
  }
}

std::string Figures(std::initializer_list<Labelled> figures) {
  std::string text;
  for (const Labelled& f : figures) {
    text += (text.empty() ? "" : ", ") + std::string(f.label) + " " + FormatNumber(f.value) +
            (*f.unit != '\0' ? " " + std::string(f.unit) : "");
  }
  return text;
}

}  // namespace moravel_tool
