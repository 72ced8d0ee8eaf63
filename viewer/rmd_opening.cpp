#include "viewer/rmd_opening.h"

#include <system_error>

#include "core/number_text.h"
#include "core/region_table.h"

namespace ombrix::viewer {

namespace {

std::string degreesText(std::int32_t microdegrees) {
  return core::formatSingle(static_cast<float>(microdegrees / 1e6));
}

std::optional<std::string> regionOfFileName(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (name.size() < 2) return std::nullopt;
  const auto region = core::regionNameForCode(std::string_view(name).substr(0, 2));
  if (!region) return std::nullopt;
  return std::string(*region);
}

void fillTexts(OpenedRmd& file) {
  const core::RmdHeader& h = file.header;
  file.northLatText = degreesText(h.fileNorthLat);
  file.westLonText = degreesText(h.fileWestLon);
  file.southLatText = degreesText(h.fileSouthLat);
  file.eastLonText = degreesText(h.fileEastLon);
  file.timeTexts.reserve(file.index.size());
  for (const core::FrameIndexEntry& entry : file.index) file.timeTexts.push_back(timeText(entry.stamp));
  const core::TimeStamp& first = file.index.front().stamp;
  const core::TimeStamp& last = file.index.back().stamp;
  file.firstYearText = std::to_string(first.year);
  file.firstMonthText = std::to_string(first.month);
  file.firstDayText = std::to_string(first.day);
  file.lastYearText = std::to_string(last.year);
  file.lastMonthText = std::to_string(last.month);
  file.lastDayText = std::to_string(last.day);
}

// Whether the file is large enough for its header, its index and one frame of its grid. A
// header claiming a grid the file cannot hold is refused before rainGrid is sized from it.
bool gridFitsFile(std::uint64_t fileSize, const core::RmdHeader& h) {
  const std::uint64_t needed = static_cast<std::uint64_t>(core::kRmdHeaderSize) +
                               static_cast<std::uint64_t>(core::kRmdIndexEntrySize) *
                                   static_cast<std::uint64_t>(h.frameCount) +
                               2 * static_cast<std::uint64_t>(h.cellCount());
  return fileSize >= needed;
}

}  // namespace

std::string timeText(const core::TimeStamp& stamp) {
  return std::to_string(stamp.year) + "/" + std::to_string(stamp.month) + "/" + std::to_string(stamp.day) + " " +
         core::twoDigits(stamp.hour) + ": " + core::twoDigits(stamp.minute);
}

RmdOpening openRmdFile(const std::filesystem::path& path, float viewWidth, float viewHeight) {
  RmdOpening opening;
  opening.file.path = path.string();
  opening.file.dir = path.parent_path().string();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    opening.status = {core::Problem::RmdFileMissing};
    return opening;
  }
  core::Bytes head;
  std::uint64_t fileSize = 0;
  opening.status = core::readRmdHead(path, head, fileSize);
  if (!opening.status) return opening;
  return openRmdBytes(head, fileSize, path, viewWidth, viewHeight);
}

RmdOpening openRmdBytes(std::span<const std::uint8_t> head, std::uint64_t fileSize, const std::filesystem::path& path,
                        float viewWidth, float viewHeight) {
  RmdOpening opening;
  opening.file.path = path.string();
  opening.file.dir = path.parent_path().string();
  core::RmdContents contents;
  opening.status = core::parseRmdHead(head, path.string(), contents);
  if (!opening.status) return opening;
  if (contents.header.cellLonStep <= 0 || contents.header.cellLatStep <= 0 || !gridFitsFile(fileSize, contents.header)) {
    opening.status = {core::Problem::NotRmdFile, path};
    return opening;
  }
  OpenedRmd& file = opening.file;
  file.header = contents.header;
  file.index = std::move(contents.index);
  file.areaName = regionOfFileName(path);
  fillTexts(file);
  const core::TimeStamp& first = file.index.front().stamp;
  file.scaleFactor = scaleFactorForDate(first.year, first.month);
  file.geometry = computeViewGeometry(file.header, file.scaleFactor, viewWidth, viewHeight);
  return opening;
}

void applyOpening(const RmdOpening& opening, core::AnalysisConditions& c) {
  const OpenedRmd& file = opening.file;
  if (opening.status.problem == core::Problem::RmdFileMissing) {
    c.openRmdDir = file.dir;
    c.openRmdPath.clear();
  }
  if (!opening.status) return;
  c.openRmdPath = file.path;
  c.openRmdDir = file.dir;
  if (file.areaName) c.areaName = *file.areaName;
  c.header = file.header;
  c.index = file.index;
  c.rainGrid.assign(file.header.cellCount(), 0);
  c.geometry = file.geometry;
}

}  // namespace ombrix::viewer
