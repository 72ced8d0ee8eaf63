#include "gis/areal_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "export/csv_file_writer.h"
#include "gis/duration_maxima.h"

namespace ombrix::gis {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A field as a spreadsheet reads it back: quoted when it holds a comma, quote or line end.
std::string field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void appendFixed(std::string& line, double value, int decimals) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
  line.append(buffer, end);
}

// The file written in full but not yet renamed over path.
core::Status completeFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                          core::OutputFile& completed) {
  exports::CsvFileWriter out;
  if (core::Status s = out.open(path, path); !s) return s;
  out.append(kByteOrderMark);
  for (const std::string& line : lines) out.appendLine(line);
  return out.complete(completed);
}

core::Status finishFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  core::OutputFile completed;
  if (core::Status s = completeFile(path, lines, completed); !s) return s;
  return completed.commit();
}

std::vector<std::string> arealLines(const ArealTable& table) {
  std::vector<std::string> lines;
  std::string header = "time";
  for (const std::string& name : table.names) header.append(",").append(field(name));
  for (const std::string& name : table.names) header.append(",").append(field(name + " coverage"));
  lines.push_back(std::move(header));
  for (std::size_t f = 0; f < table.frameCount(); ++f) {
    std::string line = core::stampText(table.times[f]);
    for (std::size_t p = 0; p < table.names.size(); ++p) {
      line += ',';
      if (!std::isnan(table.at(f, p).mean)) appendFixed(line, table.at(f, p).mean, 2);
    }
    for (std::size_t p = 0; p < table.names.size(); ++p) {
      line += ',';
      appendFixed(line, table.at(f, p).coverage, 3);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// The largest depth of windows ending in the period, and its end time (both empty without one).
void appendMaximum(std::string& line, const ArealTable& table, std::span<const double> means, int hours,
                   const FramePeriod& period) {
  const auto best = durationMaximum(means.first(period.last + 1), table.framesPerHour, hours, period.first);
  if (!best) {
    line += ",";
    return;
  }
  appendFixed(line, best->depth, 2);
  line.append(",").append(core::stampText(table.times[best->endFrame]));
}

std::vector<std::string> durationLines(const ArealTable& table, const std::vector<int>& hours, MaximaPeriods by) {
  const bool whole = by == MaximaPeriods::Whole;
  std::vector<std::string> lines{whole ? "name,hours,depth_mm,end_time"
                                       : "name,hours,period,depth_mm,end_time,frames_missing"};
  const std::vector<FramePeriod> periods = framePeriods(table.times, by);
  std::vector<double> means(table.frameCount());
  for (std::size_t p = 0; p < table.names.size(); ++p) {
    for (std::size_t f = 0; f < means.size(); ++f) means[f] = table.at(f, p).mean;
    for (int h : hours) {
      for (const FramePeriod& period : periods) {
        std::string line = field(table.names[p]);
        line.append(",").append(std::to_string(h)).append(",");
        if (!whole) line.append(period.name).append(",");
        appendMaximum(line, table, means, h, period);
        if (!whole) {
          const auto from = means.begin() + static_cast<std::ptrdiff_t>(period.first);
          const auto holes = std::count_if(from, means.begin() + static_cast<std::ptrdiff_t>(period.last) + 1,
                                           [](double mean) { return std::isnan(mean); });
          line.append(",").append(std::to_string(holes));
        }
        lines.push_back(std::move(line));
      }
    }
  }
  return lines;
}

}  // namespace

core::Status writeArealCsv(const std::filesystem::path& path, const ArealTable& table,
                           const std::vector<int>& hours, MaximaPeriods by) {
  core::OutputFile areal;
  core::OutputFile durations;
  if (core::Status s = completeFile(path, arealLines(table), areal); !s) return s;
  if (!hours.empty()) {
    if (core::Status s = completeFile(durationCsvPath(path), durationLines(table, hours, by), durations); !s) return s;
  }
  if (core::Status s = areal.commit(); !s) return s;
  return hours.empty() ? core::Status() : durations.commit();
}

core::Status writeSeriesCsv(const std::filesystem::path& path, const std::vector<core::TimeStamp>& times,
                            const std::vector<std::int16_t>& values) {
  std::vector<std::string> lines{"time,value"};
  for (std::size_t f = 0; f < times.size() && f < values.size(); ++f) {
    std::string line = core::stampText(times[f]);
    line += ',';
    if (values[f] >= 0) appendFixed(line, values[f] * 0.1, 1);
    lines.push_back(std::move(line));
  }
  return finishFile(path, lines);
}

std::filesystem::path arealCsvPath(const std::filesystem::path& rmdPath) {
  return rmdPath.parent_path() / (rmdPath.stem().string() + "-areal.csv");
}

std::filesystem::path durationCsvPath(const std::filesystem::path& arealPath) {
  std::string stem = arealPath.stem().string();
  if (stem.ends_with("-areal")) stem.resize(stem.size() - 6);
  return arealPath.parent_path() / (stem + "-areal-durations.csv");
}

}  // namespace ombrix::gis
