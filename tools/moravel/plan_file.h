// The intervals of a day's plan read from a CSV file: a header row naming
// the columns label, calls, handling_time and, optionally, patience (in any
// order), then one row per interval.  The whole file is read and checked
// before anything is computed; a fault is reported at its line and column.
#ifndef MORAVEL_TOOL_PLAN_FILE_H
#define MORAVEL_TOOL_PLAN_FILE_H

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace moravel_tool {

// A place in the file: 1-based line, and 1-based column counted in
// characters (UTF-8 code points), as editors count them.
struct FilePlace {
  std::size_t line = 1;
  std::size_t column = 1;
};

// A fault of the file: "day.csv:5:9: 'x' is not a number" as what().
class PlanFileError : public std::runtime_error {
 public:
  PlanFileError(const std::string& file, FilePlace place, const std::string& message);
};

// The columns of the file, in the order of PlanRow's fields.
enum class PlanColumn { kLabel, kCalls, kHandlingTime, kPatience };
const char* ColumnName(PlanColumn column);

struct PlanRow {
  std::string label;
  double calls = 0.0;
  double handling_time = 0.0;
  double patience = 0.0;  // +inf when the file has no patience or the cell is empty
  FilePlace places[4];    // where each column's cell starts, by PlanColumn
};

struct PlanFile {
  std::string name;
  bool has_patience = false;
  std::vector<PlanRow> rows;
};

// Reads and parses `path` (a file name, "-" for stdin).  Numbers are read
// as C++ reads them (std::from_chars: "180", "1.5e2", "inf"; no '+', no
// thousands separators), blanks around a cell ignored; a cell may be
// quoted ("Mon, 08:00", "" for a quote inside).  Blank lines are skipped,
// CRLF line ends and a UTF-8 byte-order mark are accepted.  Throws
// PlanFileError on any fault, std::runtime_error when the file cannot be
// read.
PlanFile ReadPlanFile(const std::string& path);
// The same on text already read, named `name` in the messages.
PlanFile ParsePlanFile(const std::string& name, const std::string& text);

}  // namespace moravel_tool

#endif
