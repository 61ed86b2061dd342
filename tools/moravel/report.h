// What a subcommand shows: labelled figures, one row per result (or per
// traffic class), printed as text, CSV or JSON, or the library's raw text.
#ifndef MORAVEL_TOOL_REPORT_H
#define MORAVEL_TOOL_REPORT_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace moravel_tool {

struct Figure {
  std::string name;  // snake_case, used as CSV column and JSON key
  std::string label; // for people
  std::string unit;  // empty when dimensionless
  double value;
};

using Row = std::vector<Figure>;

struct Report {
  std::string title;       // one line saying what was computed
  std::vector<Row> rows;   // one row per result set or per traffic class
  std::string raw;         // the library's own text ("" for scalar exports)
  std::string note = {};   // one line under the text, "note" in JSON; "" for none
};

enum class Format { kText, kCsv, kJson };

// Options every subcommand takes: --format and --raw.
struct OutputOptions {
  Format format = Format::kText;
  bool raw = false;
};
void AddOutputOptions(CLI::App& command, OutputOptions& options);
// "text", "csv" or "json" (any case); throws CLI::ValidationError otherwise.
Format ParseFormat(const std::string& name);

// Prints to stdout, or hands the report to the active sink (see below).
void Print(const Report& report, const OutputOptions& options);

// While a sink is set, Print() appends to it instead of printing: the way
// `sweep` and `compare` collect the results of the model subcommands.
void SetReportSink(std::vector<Report>* sink);

// Splits the library's result text into numbers (strtod spellings: "nan",
// "-nan", "inf", ...).
std::vector<double> ParseResultText(const char* text);

// A double as the library writes it ("%.6g").
std::string FormatNumber(double value);

}  // namespace moravel_tool

#endif
