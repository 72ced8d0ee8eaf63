#include "viewer/rmd_opening.h"

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

RmdOpening openedFrom(core::Status status, core::RmdContents contents, const std::filesystem::path& path) {
  RmdOpening opening;
  opening.file.path = path.string();
  opening.file.dir = path.parent_path().string();
  opening.status = std::move(status);
  if (!opening.status) return opening;
  OpenedRmd& file = opening.file;
  file.header = contents.header;
  file.index = std::move(contents.index);
  file.areaName = regionOfFileName(path);
  fillTexts(file);
  const core::TimeStamp& first = file.index.front().stamp;
  file.scaleFactor = core::cellStepScale(first.year, first.month);
  file.grid = core::cellGridOf(file.header, first.year, first.month);
  return opening;
}

RmdOpening onSurface(RmdOpening opening, float viewWidth, float viewHeight) {
  if (opening.status) {
    opening.file.geometry =
        computeViewGeometry(opening.file.header, opening.file.scaleFactor, viewWidth, viewHeight);
  }
  return opening;
}

}  // namespace

std::string timeText(const core::TimeStamp& stamp) {
  return std::to_string(stamp.year) + "/" + std::to_string(stamp.month) + "/" + std::to_string(stamp.day) + " " +
         core::twoDigits(stamp.hour) + ": " + core::twoDigits(stamp.minute);
}

RmdOpening openRmdFile(const std::filesystem::path& path) {
  core::RmdContents contents;
  core::Status status = core::readUsableRmdHead(path, contents);
  return openedFrom(std::move(status), std::move(contents), path);
}

RmdOpening openRmdFile(const std::filesystem::path& path, float viewWidth, float viewHeight) {
  return onSurface(openRmdFile(path), viewWidth, viewHeight);
}

RmdOpening openRmdBytes(std::span<const std::uint8_t> head, std::uint64_t fileSize, const std::filesystem::path& path,
                        float viewWidth, float viewHeight) {
  core::RmdContents contents;
  core::Status status = core::parseUsableRmdHead(head, fileSize, path, contents);
  return onSurface(openedFrom(std::move(status), std::move(contents), path), viewWidth, viewHeight);
}

}  // namespace ombrix::viewer
