#pragma once
// The program-wide state record: what the user chose for a preprocessing run, and the state of
// the preprocessed file open in the viewer. One instance is created in main() and handed on.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::core {

struct AnalysisConditions {
  // Area, microdegrees (degrees x 1,000,000). Set when any edge is not 0.
  std::int32_t areaWestLon = 0;
  std::int32_t areaNorthLat = 0;
  std::int32_t areaEastLon = 0;
  std::int32_t areaSouthLat = 0;
  std::string areaName;

  // Period (index 0 = start, 1 = end) and the archive catalogue. Set when archiveFileCount != 0.
  std::array<std::int32_t, 2> periodYear{};
  std::array<std::int32_t, 2> periodMonth{};
  std::array<std::int32_t, 2> periodDay{};
  std::array<std::int32_t, 2> periodHour{};
  std::array<std::int32_t, 2> periodMinute{};
  std::int32_t archiveFileCount = 0;
  std::vector<std::string> archiveFiles;

  // Archive directory: also where preprocessing writes. Set when not empty.
  std::string archiveDir;

  // Preprocessing run.
  std::string outputRmdPath;
  std::int16_t outFrameCount = 0;
  std::uint8_t halfHourly = 0;

  // Open preprocessed file: header and frame index.
  std::string openRmdPath;  // empty: no file open
  std::string openRmdDir;
  std::int16_t frameCount = 0;
  std::int32_t fileWestLon = 0;
  std::int32_t fileNorthLat = 0;
  std::int32_t fileEastLon = 0;
  std::int32_t fileSouthLat = 0;
  std::int16_t gridRows = 0;
  std::int16_t gridCols = 0;
  std::int16_t cellLonStep = 0;
  std::int16_t cellLatStep = 0;
  std::int16_t noDataValue = 0;
  std::vector<std::int16_t> frameYear;
  std::vector<std::array<std::uint8_t, 2>> frameMonthDay;    // [0] month, [1] day
  std::vector<std::array<std::uint8_t, 2>> frameHourMinute;  // [0] hour, [1] minute
  std::vector<std::int32_t> frameOffset;
  // The grid shown, row-major: cell (column c, row r) is rainGrid[r * gridCols + c].
  std::vector<std::int16_t> rainGrid;

  // Drawing geometry, computed when a file is opened.
  std::int32_t cellWidth = 0;
  std::int32_t cellHeight = 0;
  float mapWidth = 0;
  float mapHeight = 0;
  float mapHalfWidth = 0;
  float mapHalfHeight = 0;
  float viewWidth = 0;
  float viewHeight = 0;
  float viewCenterX = 0;
  float viewCenterY = 0;
  float zoom = 0;
  float mapCenterLon = 0;
  float mapCenterLat = 0;

  // Viewer.
  std::string frameLabel;
  std::uint8_t viewerState = 0;  // 0 idle, 1 computing, 2 animating
};

inline constexpr std::uint8_t kViewerIdle = 0;
inline constexpr std::uint8_t kViewerComputing = 1;
inline constexpr std::uint8_t kViewerAnimating = 2;

enum class Condition { Area, Period, ArchiveDirectory };

struct MissingCondition {
  Condition condition;
  std::string_view message;
};

// The conditions a preprocessing run still lacks, in the order area, period, archive directory.
std::vector<MissingCondition> missingConditions(const AnalysisConditions& conditions);

}  // namespace ombrix::core
