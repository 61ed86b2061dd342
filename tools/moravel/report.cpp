#include "report.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
  command.add_option("--format", options.format, "Output format: text, csv or json")
      ->transform(CLI::CheckedTransformer(Formats(), CLI::ignore_case))
      ->default_str("text");
  command.add_flag("--raw", options.raw, "Print the library's result text verbatim");
}

std::string FormatNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

std::vector<double> ParseResultText(const char* text) {
  std::vector<double> numbers;
  const char* p = text;
  while (*p != '\0') {
    char* end = nullptr;
    const double value = std::strtod(p, &end);
    if (end == p) break;
    numbers.push_back(value);
    p = end;
    while (*p == ' ') ++p;
  }
  return numbers;
}

namespace {

nlohmann::json JsonNumber(double value) {
  if (std::isfinite(value)) return value;
  return FormatNumber(value);  // JSON has no NaN or infinity: "nan", "inf", "-inf"
}

void PrintTable(const Report& report) {
  if (report.rows.size() == 1) {
    std::size_t width = 0;
    for (const Figure& f : report.rows[0]) width = std::max(width, f.label.size());
    for (const Figure& f : report.rows[0]) {
      std::cout << "  " << f.label << std::string(width - f.label.size() + 2, ' ')
                << FormatNumber(f.value);
      if (!f.unit.empty()) std::cout << ' ' << f.unit;
      std::cout << '\n';
    }
    return;
  }
  if (report.rows.empty()) {
    std::cout << "  (no results)\n";
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
      widths[c] = std::max(widths[c], FormatNumber(row[c].value).size());
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
      std::cout << ' ' << cell(FormatNumber(row[c].value), widths[c]);
    }
    std::cout << '\n';
  }
}

void PrintText(const Report& report) {
  std::cout << report.title << '\n';
  PrintTable(report);
  if (!report.note.empty()) std::cout << report.note << '\n';
}

void PrintCsv(const Report& report) {
  if (report.rows.empty()) return;
  for (std::size_t c = 0; c < report.rows[0].size(); ++c) {
    std::cout << (c ? "," : "") << report.rows[0][c].name;
  }
  std::cout << '\n';
  for (const Row& row : report.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      std::cout << (c ? "," : "") << FormatNumber(row[c].value);
    }
    std::cout << '\n';
  }
}

void PrintJson(const Report& report) {
  nlohmann::json rows = nlohmann::json::array();
  for (const Row& row : report.rows) {
    nlohmann::json object = nlohmann::json::object();
    for (const Figure& f : row) object[f.name] = JsonNumber(f.value);
    rows.push_back(std::move(object));
  }
  nlohmann::json document{{"title", report.title}, {"results", rows}};
  if (!report.raw.empty()) document["text"] = report.raw;
  if (!report.note.empty()) document["note"] = report.note;
  std::cout << document.dump(2) << '\n';
}

}  // namespace

namespace {
std::vector<Report>* active_sink = nullptr;
}  // namespace

void SetReportSink(std::vector<Report>* sink) { active_sink = sink; }

void Print(const Report& report, const OutputOptions& options) {
  if (active_sink != nullptr) {
    active_sink->push_back(report);
    return;
  }
  if (options.raw) {
    if (report.raw.empty() && report.rows.size() == 1 && report.rows[0].size() == 1) {
      std::printf("%.17g\n", report.rows[0][0].value);  // a scalar formula, every digit
      std::fflush(stdout);
    } else {
      std::cout << report.raw << '\n';
    }
    return;
  }
  switch (options.format) {
    case Format::kText: PrintText(report); break;
    case Format::kCsv: PrintCsv(report); break;
    case Format::kJson: PrintJson(report); break;
  }
}

}  // namespace moravel_tool
