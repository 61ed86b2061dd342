// What a subcommand shows: its inputs and labelled figures, one row per
// result (or per traffic class), printed as text, CSV or JSON, or as bare
// numbers (--raw).
#ifndef MORAVEL_TOOL_REPORT_H
#define MORAVEL_TOOL_REPORT_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace moravel_tool {

// How a figure is typed in JSON: counts as integers, flags as booleans,
// names as strings, everything else as a double.
enum class Kind { kReal, kCount, kFlag, kText };

struct Figure {
  std::string name;   // snake_case or the option's long name: CSV column and JSON key
  std::string label;  // for people
  std::string unit;   // empty when dimensionless
  double value = 0.0;
  Kind kind = Kind::kReal;
  std::string text = {};  // the value of a kText figure
};

using Row = std::vector<Figure>;

Figure Count(std::string name, std::string label, double value, std::string unit = {});
Figure Flag(std::string name, std::string label, bool value);
Figure Text(std::string name, std::string label, std::string text);

struct Report {
  std::string title;           // one line saying what was computed
  std::vector<Figure> inputs;  // every input, named by its option's long name
  std::vector<Row> rows;       // one row per result set or per traffic class
  std::string note = {};       // one line under the text, "note" in JSON; "" for none
  // The columns of each row that identify it (class, its traffic and
  // demand) rather than give a result: left out of --raw.
  std::size_t identifiers = 0;
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

// Writes the report to stdout in the chosen form.
void Print(const Report& report, const OutputOptions& options);

// What a model subcommand hands back: its report and how to print it.
struct Answer {
  Report report;
  OutputOptions output;
};

// A double as the library's text writes it ("%.6g"), a zero always as "0",
// a whole number below 2^53 in all its digits ("10000015").
std::string FormatNumber(double value);
// The shortest text that reads back as the same double ("0.1", "1e-300"),
// a whole number below 2^53 in all its digits ("100000", not "1e+05").
std::string ExactNumber(double value);

}  // namespace moravel_tool

#endif
