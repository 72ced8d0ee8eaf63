#include "import/sample_archive.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <system_error>

#include "core/archive_calendar.h"
#include "core/rap_encoder.h"

namespace ombrix::import {

namespace {

// One cycle of the motion: each field crosses from 160 columns west-south-west of its real
// position to 160 columns east-north-east of it (about 900 km at some 30 km/h) and is visible
// for the middle of the crossing only, at full weight at its real position. The second field
// runs half a cycle behind, so that one fades in while the other fades out. A cycle that is
// not a whole number of days keeps the days different from each other.
constexpr double kCycleHours = 30.0;
constexpr double kTravelColumns = 320.0;
constexpr double kTravelRows = 120.0;
constexpr int kWeightOne = 1024;

// Source cells [begin, end) whose centres lie in each target cell along one axis. Target cell
// t is centred on targetStart + t * targetStep and spans half a step either side; source cell s
// is centred on sourceStart + s * sourceStep. Steps may be negative (latitudes fall by row).
struct SourceSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

std::vector<SourceSpan> coveringRanges(double sourceStart, double sourceStep, std::size_t sourceCount,
                                       double targetStart, double targetStep, std::size_t targetCount) {
  std::vector<SourceSpan> ranges(targetCount);
  const auto clampIndex = [&](double x) {
    return static_cast<std::size_t>(std::clamp(std::ceil(x), 0.0, static_cast<double>(sourceCount)));
  };
  for (std::size_t t = 0; t < targetCount; ++t) {
    const double centre = targetStart + static_cast<double>(t) * targetStep;
    const double from = (centre - targetStep / 2 - sourceStart) / sourceStep;
    const double to = (centre + targetStep / 2 - sourceStart) / sourceStep;
    ranges[t] = {clampIndex(from), std::max(clampIndex(from), clampIndex(to))};
  }
  return ranges;
}

// The value of the nearest level for every value from 0 to the highest level (ties go to the
// lower level).
std::vector<std::int16_t> nearestLevelTable(const std::vector<std::int16_t>& levels) {
  std::vector<std::int16_t> table(levels.empty() ? 1 : static_cast<std::size_t>(levels.back()) + 1, 0);
  std::size_t next = 0;
  for (std::size_t v = 0; v < table.size(); ++v) {
    while (next < levels.size() && static_cast<std::size_t>(levels[next]) < v) ++next;
    if (next == levels.size()) break;
    const bool lowerIsNearer = next > 0 && v - static_cast<std::size_t>(levels[next - 1]) <=
                                               static_cast<std::size_t>(levels[next]) - v;
    table[v] = lowerIsNearer ? levels[next - 1] : levels[next];
  }
  return table;
}

// Where one field stands in record k: its shift in cells and its weight out of kWeightOne.
struct Placement {
  int shiftCols = 0;
  int shiftRows = 0;
  int weight = 0;
};

Placement placementAt(double hours) {
  const double phase = std::fmod(hours, kCycleHours) / kCycleHours;
  const double offset = phase - 0.5;
  const double visibility = std::sin(std::numbers::pi * phase);
  return {static_cast<int>(std::lround(offset * kTravelColumns)),
          static_cast<int>(std::lround(-offset * kTravelRows)),
          static_cast<int>(std::lround(visibility * visibility * kWeightOne))};
}

// Value of a field at (col, row) shifted by placement; 0 outside the grid and where the field
// has no data, so rain moved out of the covered area simply vanishes.
std::int32_t shiftedValue(const std::vector<std::int16_t>& field, const core::GridDescription& grid,
                          const Placement& p, int col, int row) noexcept {
  const int c = col - p.shiftCols;
  const int r = row - p.shiftRows;
  if (c < 0 || r < 0 || c >= grid.nx || r >= grid.ny) return 0;
  const std::int16_t v = field[static_cast<std::size_t>(r) * static_cast<std::size_t>(grid.nx) +
                               static_cast<std::size_t>(c)];
  return v > 0 ? v : 0;
}

std::vector<std::int16_t> distinctLevels(const Grib2Field& a, const Grib2Field& b) {
  std::vector<std::int16_t> levels;
  for (const Grib2Field* field : {&a, &b}) {
    levels.insert(levels.end(), field->levelValues.begin() + 1, field->levelValues.end());
  }
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  return levels;
}

core::Status writeSampleDay(const SampleSequence& sequence, const std::filesystem::path& archiveDir,
                      const SamplePeriod& period, int dayIndex, const core::OperationCallbacks& callbacks) {
  const int day = period.firstDay + dayIndex;
  std::vector<core::ArchiveRecord> records(kSampleRecordsPerDay);
  for (int j = 0; j < kSampleRecordsPerDay; ++j) {
    const int made = dayIndex * kSampleRecordsPerDay + j;
    if (core::Status s = callbacks.step(made + 1, period.dayCount * kSampleRecordsPerDay); !s) return s;
    core::ArchiveRecord& record = records[static_cast<std::size_t>(j)];
    record.stamp = {static_cast<std::int16_t>(period.year), static_cast<std::uint8_t>(period.month),
                    static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(j / 2),
                    static_cast<std::uint8_t>(j % 2 * 30)};
    record.values.resize(kSampleGrid.cellCount());
    sequence.makeRecord(made, record.values);
  }
  const std::filesystem::path path = core::archiveFilePath(archiveDir.string(), period.year, period.month, day);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) return {core::Problem::CannotCreateFolder, path.parent_path()};
  return writeArchiveFile(path, kSampleGrid, records);
}

}  // namespace

std::vector<std::int16_t> resampleMaximum(const Grib2Field& field, const core::GridDescription& grid) {
  const Grib2LatLonGrid& g = field.grid;
  const auto ni = static_cast<std::size_t>(g.ni);
  const auto nx = static_cast<std::size_t>(grid.nx);
  const std::vector<SourceSpan> cols = coveringRanges(g.firstLon, g.columnSpacing(), ni, grid.lon0, grid.dlon, nx);
  const std::vector<SourceSpan> rows = coveringRanges(g.firstLat, -g.rowSpacing(), static_cast<std::size_t>(g.nj),
                                                      grid.lat0, -grid.dlat, static_cast<std::size_t>(grid.ny));
  std::vector<std::int16_t> out(grid.cellCount(), -1);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::int16_t* target = out.data() + r * nx;
    for (std::size_t i = rows[r].begin; i < rows[r].end; ++i) {
      const std::uint8_t* source = field.levels.data() + i * ni;
      for (std::size_t c = 0; c < nx; ++c) {
        for (std::size_t j = cols[c].begin; j < cols[c].end; ++j) {
          target[c] = std::max(target[c], field.levelValues[source[j]]);
        }
      }
    }
  }
  return out;
}

SampleSequence::SampleSequence(const core::GridDescription& grid, std::vector<std::int16_t> first,
                               std::vector<std::int16_t> second, std::vector<std::int16_t> levels)
    : grid_(grid), first_(std::move(first)), second_(std::move(second)), quantised_(nearestLevelTable(levels)) {
  covered_.resize(grid_.cellCount());
  for (std::size_t i = 0; i < covered_.size(); ++i) covered_[i] = first_[i] >= 0 || second_[i] >= 0;
}

void SampleSequence::makeRecord(int k, std::span<std::int16_t> cells) const {
  const double hours = 0.5 * k;
  const Placement a = placementAt(hours);
  Placement b = placementAt(hours + kCycleHours / 2);
  b.weight = kWeightOne - a.weight;  // the two weights are complementary by construction
  const std::int32_t top = static_cast<std::int32_t>(quantised_.size()) - 1;
  std::size_t i = 0;
  for (int row = 0; row < grid_.ny; ++row) {
    for (int col = 0; col < grid_.nx; ++col, ++i) {
      if (!covered_[i]) {
        cells[i] = -1;
        continue;
      }
      const std::int32_t blended =
          (a.weight * shiftedValue(first_, grid_, a, col, row) + b.weight * shiftedValue(second_, grid_, b, col, row) +
           kWeightOne / 2) /
          kWeightOne;
      cells[i] = quantised_[static_cast<std::size_t>(std::min(blended, top))];
    }
  }
}

core::Status makeSampleArchive(const std::filesystem::path& dataDir, const std::filesystem::path& archiveDir,
                               const SamplePeriod& period, const core::OperationCallbacks& callbacks) {
  Grib2Field fields[2];
  for (int f = 0; f < 2; ++f) {
    if (core::Status status = readGrib2File(dataDir / kSampleFieldFiles[f], fields[f]); !status) return status;
  }
  SampleSequence sequence(kSampleGrid, resampleMaximum(fields[0], kSampleGrid),
                          resampleMaximum(fields[1], kSampleGrid), distinctLevels(fields[0], fields[1]));
  for (int d = 0; d < period.dayCount; ++d) {
    if (core::Status status = writeSampleDay(sequence, archiveDir, period, d, callbacks); !status) return status;
  }
  return {};
}

}  // namespace ombrix::import
