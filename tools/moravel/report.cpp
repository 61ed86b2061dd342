#include "report.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

namespace moravel_tool {

namespace {
const std::map<std::string, Format>& Formats() {
  static const std::map<std::string, Format> formats{
      {"text", Format::kText}, {"csv", Format::kCsv}, {"json", Format::kJson}};
  return formats;
}
}  // namespace

Figure Count(std::string name, std::string label, double value, std::string unit) {
  return {std::move(name), std::move(label), std::move(unit), value, Kind::kCount};
}

Figure Flag(std::string name, std::string label, bool value) {
  return {std::move(name), std::move(label), "", value ? 1.0 : 0.0, Kind::kFlag};
}

Figure Text(std::string name, std::string label, std::string text) {
  return {std::move(name), std::move(label), "", 0.0, Kind::kText, std::move(text)};
}

Format ParseFormat(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto found = Formats().find(lower);
  if (found == Formats().end()) {
    throw CLI::ValidationError("--format", "accepts text, csv or json, not '" + name + "'");
  }
  return found->second;
}

void AddOutputOptions(CLI::App& command, OutputOptions& options) {
  command
      .add_option_function<std::string>(
          "--format", [&options](const std::string& name) { options.format = ParseFormat(name); },
          "Output format: text (the default), csv or json")
      ->type_name("FORMAT");
  command.add_flag("--raw", options.raw,
                   "Print the results alone, blank-separated, each at full precision");
}

namespace {

// A whole number that a double holds exactly (below 2^53) is written as one,
// digit for digit: "10000015", never "1e+07" (a count that reads back as a
// different count) nor "1e+05" (which int() refuses).
bool IsWhole(double value) {
  return std::fabs(value) < 9007199254740992.0 && value == std::trunc(value);
}

std::string Whole(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.0f", value);
  return buffer;
}

}  // namespace

std::string FormatNumber(double value) {
  if (value == 0.0) return "0";  // never "-0": a zero loss is no loss, whatever its sign
  if (IsWhole(value)) return Whole(value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

std::string ExactNumber(double value) {
  if (value == 0.0) return "0";
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  if (IsWhole(value)) return Whole(value);
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end.ptr);
}

namespace {

std::string Cell(const Figure& f) {
  switch (f.kind) {
    case Kind::kText: return f.text;
    case Kind::kFlag: return f.value != 0.0 ? "yes" : "no";
    default: return FormatNumber(f.value);
  }
}

std::string CsvCell(const Figure& f) {
  switch (f.kind) {
    case Kind::kText: return f.text;
    case Kind::kFlag: return f.value != 0.0 ? "true" : "false";
    default: return ExactNumber(f.value);
  }
}

nlohmann::json JsonValue(const Figure& f) {
  switch (f.kind) {
    case Kind::kText: return f.text;
    case Kind::kFlag: return f.value != 0.0;
    case Kind::kCount:
      if (std::isfinite(f.value)) return static_cast<std::int64_t>(f.value);
      break;
    case Kind::kReal:
      if (std::isfinite(f.value)) return f.value == 0.0 ? 0.0 : f.value;
      break;
  }
  return ExactNumber(f.value);  // JSON has no NaN or infinity: "nan", "inf", "-inf"
}

void PrintTable(const Report& report) {
  if (report.rows.size() == 1) {
    std::size_t width = 0;
    for (const Figure& f : report.rows[0]) width = std::max(width, f.label.size());
    for (const Figure& f : report.rows[0]) {
      std::cout << "  " << f.label << std::string(width - f.label.size() + 2, ' ') << Cell(f);
      if (!f.unit.empty()) std::cout << ' ' << f.unit;
      std::cout << '\n';
    }
    return;
  }
  // A table: one column per figure, headed by its label and unit.
  std::vector<std::string> heads;
  for (const Figure& f : report.rows[0]) {
    heads.push_back(f.unit.empty() ? f.label : f.label + " [" + f.unit + "]");
  }
  std::vector<std::size_t> widths;
  for (const auto& h : heads) widths.push_back(h.size());
  for (const Row& row : report.rows) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], Cell(row[c]).size());
    }
  }
  auto cell = [](const std::string& s, std::size_t w) {
    return std::string(w - std::min(w, s.size()), ' ') + s;
  };
  std::cout << ' ';
  for (std::size_t c = 0; c < heads.size(); ++c) std::cout << ' ' << cell(heads[c], widths[c]);
  std::cout << '\n';
  for (const Row& row : report.rows) {
    std::cout << ' ';
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      std::cout << ' ' << cell(Cell(row[c]), widths[c]);
    }
    std::cout << '\n';
  }
}

void PrintText(const Report& report) {
  std::cout << report.title << '\n';
  if (!report.rows.empty()) PrintTable(report);
  if (!report.note.empty()) std::cout << report.note << '\n';
}

// Every row carries the inputs first, so that a line of the CSV says all
// that it was computed from.
void PrintCsv(const Report& report) {
  if (report.rows.empty()) return;
  std::string head;
  for (const Figure& f : report.inputs) head += (head.empty() ? "" : ",") + f.name;
  for (const Figure& f : report.rows[0]) head += (head.empty() ? "" : ",") + f.name;
  std::cout << head << '\n';
  for (const Row& row : report.rows) {
    std::string line;
    for (const Figure& f : report.inputs) line += (line.empty() ? "" : ",") + CsvCell(f);
    for (const Figure& f : row) line += (line.empty() ? "" : ",") + CsvCell(f);
    std::cout << line << '\n';
  }
}

void PrintJson(const Report& report) {
  nlohmann::json rows = nlohmann::json::array();
  for (const Row& row : report.rows) {
    nlohmann::json object = nlohmann::json::object();
    for (const Figure& f : row) object[f.name] = JsonValue(f);
    rows.push_back(std::move(object));
  }
  nlohmann::json document{{"title", report.title}, {"results", rows}};
  if (!report.inputs.empty()) {
    nlohmann::json inputs = nlohmann::json::object();
    for (const Figure& f : report.inputs) inputs[f.name] = JsonValue(f);
    document["inputs"] = inputs;
  }
  if (!report.note.empty()) document["note"] = report.note;
  std::cout << document.dump(2) << '\n';
}

void PrintRaw(const Report& report) {
  std::string line;
  for (const Row& row : report.rows) {
    for (std::size_t c = report.identifiers; c < row.size(); ++c) {
      line += (line.empty() ? "" : " ") + CsvCell(row[c]);
    }
  }
  std::cout << line << '\n';
}

}  // namespace

void Print(const Report& report, const OutputOptions& options) {
  errno = 0;  // a failed write leaves its reason for the final check
  if (options.raw) {
    PrintRaw(report);
    return;
  }
  switch (options.format) {
    case Format::kText: PrintText(report); break;
    case Format::kCsv: PrintCsv(report); break;
    case Format::kJson: PrintJson(report); break;
  }
}

}  // namespace moravel_tool
