#include "plan_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>

namespace moravel_tool {

PlanFileError::PlanFileError(const std::string& file, FilePlace place, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(place.line) + ":" +
                         std::to_string(place.column) + ": " + message) {}

const char* ColumnName(PlanColumn column) {
  switch (column) {
    case PlanColumn::kLabel: return "label";
    case PlanColumn::kCalls: return "calls";
    case PlanColumn::kHandlingTime: return "handling_time";
    case PlanColumn::kPatience: return "patience";
  }
  return "";
}

namespace {

constexpr PlanColumn kColumns[] = {PlanColumn::kLabel, PlanColumn::kCalls,
                                   PlanColumn::kHandlingTime, PlanColumn::kPatience};

struct Cell {
  std::string text;
  std::size_t column;  // 1-based, in characters
};

// Characters of `line` before byte `at`.
std::size_t CharactersBefore(const std::string& line, std::size_t at) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < at && i < line.size(); ++i) {
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits one line into cells; each cell's column is that of its first
// character that is not blank.
std::vector<Cell> SplitLine(const std::string& name, std::size_t number, const std::string& line) {
  std::vector<Cell> cells;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    Cell cell{"", CharactersBefore(line, i) + 1};
    if (i < line.size() && line[i] == '"') {
      const std::size_t open = i++;
      while (true) {
        if (i >= line.size()) {
          throw PlanFileError(name, {number, CharactersBefore(line, open) + 1},
                              "quote not closed on its line");
        }
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            cell.text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        cell.text += line[i++];
      }
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i < line.size() && line[i] != ',') {
        throw PlanFileError(name, {number, CharactersBefore(line, i) + 1},
                            "expected ',' after a quoted cell");
      }
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ',') ++i;
      std::size_t end = i;
      while (end > start && IsBlank(line[end - 1])) --end;
      cell.text = line.substr(start, end - start);
    }
    cells.push_back(std::move(cell));
    if (i >= line.size()) return cells;
    ++i;  // the comma
  }
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::optional<double> ReadNumber(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

PlanFile ParsePlanFile(const std::string& name, const std::string& text) {
  PlanFile file;
  file.name = name;
  std::size_t number = 0;
  std::size_t at = 0;
  int index_of[4] = {-1, -1, -1, -1};  // each column's place among the cells
  std::size_t width = 0;
  bool header = false;
  std::size_t last_line = 1;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    last_line = number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    bool blank = true;
    for (char c : line) blank = blank && IsBlank(c);
    if (blank) continue;
    const std::vector<Cell> cells = SplitLine(name, number, line);
    if (!header) {
      header = true;
      width = cells.size();
      for (std::size_t c = 0; c < cells.size(); ++c) {
        int found = -1;
        for (int k = 0; k < 4; ++k) {
          if (cells[c].text == ColumnName(kColumns[k])) found = k;
        }
        if (found < 0) {
          throw PlanFileError(name, {number, cells[c].column},
                              "unknown column " + Quoted(cells[c].text) +
                                  ": the columns are label, calls, handling_time and, "
                                  "optionally, patience");
        }
        if (index_of[found] >= 0) {
          throw PlanFileError(name, {number, cells[c].column},
                              "column " + Quoted(cells[c].text) + " named twice");
        }
        index_of[found] = static_cast<int>(c);
      }
      for (int k = 0; k < 3; ++k) {
        if (index_of[k] < 0) {
          throw PlanFileError(
              name, {number, 1},
              std::string("no column ") + Quoted(ColumnName(kColumns[k])) + " in the header");
        }
      }
      file.has_patience = index_of[3] >= 0;
      continue;
    }
    if (cells.size() != width) {
      const std::size_t column =
          cells.size() > width ? cells[width].column : CharactersBefore(line, line.size()) + 1;
      throw PlanFileError(name, {number, column},
                          "expected " + std::to_string(width) +
                              " cells, as the header names, not " + std::to_string(cells.size()));
    }
    PlanRow row;
    row.patience = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 4; ++k) {
      if (index_of[k] < 0) continue;
      const Cell& cell = cells[static_cast<std::size_t>(index_of[k])];
      row.places[k] = {number, cell.column};
      if (kColumns[k] == PlanColumn::kLabel) {
        row.label = cell.text;
        continue;
      }
      if (kColumns[k] == PlanColumn::kPatience && cell.text.empty()) continue;  // waits for ever
      const auto value = ReadNumber(cell.text);
      if (!value) {
        throw PlanFileError(
            name, row.places[k],
            cell.text.empty() ? std::string("no number in the ") + ColumnName(kColumns[k]) + " cell"
                              : Quoted(cell.text) + " is not a number");
      }
      (kColumns[k] == PlanColumn::kCalls          ? row.calls
       : kColumns[k] == PlanColumn::kHandlingTime ? row.handling_time
                                                  : row.patience) = *value;
    }
    file.rows.push_back(std::move(row));
  }
  if (!header) {
    throw PlanFileError(name, {1, 1},
                        "no header row: expected label,calls,handling_time[,patience]");
  }
  if (file.rows.empty()) {
    throw PlanFileError(name, {last_line + 1, 1}, "no intervals after the header row");
  }
  return file;
}

PlanFile ReadPlanFile(const std::string& path) {
  std::string text;
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    text = all.str();
  }
  return ParsePlanFile(path == "-" ? "<stdin>" : path, text);
}

}  // namespace moravel_tool
