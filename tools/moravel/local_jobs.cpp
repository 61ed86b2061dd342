#include "local_jobs.h"

#include <algorithm>

#include "commands.h"
#include "pipe_records.h"
#include "process_pool.h"
#include "refusal.h"

namespace moravel_tool {

namespace {

void PutFigure(std::string& out, const Figure& figure) {
  PutText(out, figure.name);
  PutText(out, figure.label);
  PutText(out, figure.unit);
  PutDouble(out, figure.value);
  PutSize(out, static_cast<std::uint64_t>(figure.kind));
  PutText(out, figure.text);
}

bool GetFigure(ByteReader& in, Figure& figure) {
  std::uint64_t kind = 0;
  if (!in.Text(figure.name) || !in.Text(figure.label) || !in.Text(figure.unit) ||
      !in.Double(figure.value) || !in.Size(kind) || kind > 3 || !in.Text(figure.text)) {
    return false;
  }
  figure.kind = static_cast<Kind>(kind);
  return true;
}

void PutFigures(std::string& out, const std::vector<Figure>& figures) {
  PutSize(out, figures.size());
  for (const Figure& figure : figures) PutFigure(out, figure);
}

bool GetFigures(ByteReader& in, std::vector<Figure>& figures) {
  std::uint64_t count = 0;
  if (!in.Size(count)) return false;
  figures.clear();
  for (std::uint64_t f = 0; f < count; ++f) {
    Figure figure;
    if (!GetFigure(in, figure)) return false;
    figures.push_back(std::move(figure));
  }
  return true;
}

}  // namespace

std::string EncodeReports(const std::vector<Report>& reports) {
  std::string out;
  PutSize(out, reports.size());
  for (const Report& report : reports) {
    PutText(out, report.title);
    PutText(out, report.note);
    PutSize(out, report.identifiers);
    PutFigures(out, report.inputs);
    PutSize(out, report.rows.size());
    for (const Row& row : report.rows) PutFigures(out, row);
  }
  return out;
}

bool DecodeReports(const std::string& bytes, std::vector<Report>& reports) {
  ByteReader in(bytes);
  std::uint64_t count = 0;
  if (!in.Size(count)) return false;
  reports.clear();
  for (std::uint64_t r = 0; r < count; ++r) {
    Report report;
    std::uint64_t identifiers = 0, rows = 0;
    if (!in.Text(report.title) || !in.Text(report.note) || !in.Size(identifiers) ||
        !GetFigures(in, report.inputs) || !in.Size(rows)) {
      return false;
    }
    report.identifiers = static_cast<std::size_t>(identifiers);
    for (std::uint64_t i = 0; i < rows; ++i) {
      Row row;
      if (!GetFigures(in, row)) return false;
      report.rows.push_back(std::move(row));
    }
    reports.push_back(std::move(report));
  }
  return in.AtEnd();
}

void RunModelCommands(std::size_t points, ModelRunner& runner, const ValueOfPoint& value_of,
                      std::int32_t jobs, Progress& progress, const TakeReports& take) {
  const std::size_t workers = WorkersWithinFileLimit(
      std::min(jobs > 1 ? static_cast<std::size_t>(jobs) : std::size_t{1}, points));
  if (workers <= 1) {
    for (std::size_t p = 0; p < points; ++p) {
      take(p, runner.Run(value_of(p)));
      progress.Update(p + 1);
    }
    progress.Clear();
    return;
  }
  std::optional<PointFailure> failure;
  try {
    failure = RunOnProcesses(
        points, workers, [&](std::size_t p) { return EncodeReports(runner.Run(value_of(p))); },
        [&](std::size_t p, std::string&& bytes) {
          std::vector<Report> reports;
          if (!DecodeReports(bytes, reports)) throw PoolError("a worker sent damaged reports");
          take(p, std::move(reports));
        },
        [&](std::size_t arrived) { progress.Update(arrived); });
  } catch (const PoolError& e) {
    progress.Clear();
    throw Failure(std::string("--jobs: ") + e.what());
  }
  progress.Clear();
  if (failure) {
    // The same line run here throws what a run with one job would have.
    runner.Run(value_of(failure->point));
    throw Failure(failure->message);
  }
}

}  // namespace moravel_tool
