#pragma once
// The main window's read-outs of the analysis conditions (frame "解析エリア"): the archive
// directory or open file, the area name, the corners in degrees and the period's dates.
#include <QGroupBox>
#include <QLineEdit>
#include <QString>
#include <array>
#include <cstdint>

namespace ombrix::ui {

class ConditionReadouts {
 public:
  // Builds the frame Frame2_0 with its labels and boxes inside client.
  explicit ConditionReadouts(QWidget* client);

  void showPath(const QString& path);
  void showAreaName(const QString& name);
  // Corners in microdegrees: upper left (north, west), lower right (south, east).
  void showCorners(std::int32_t north, std::int32_t west, std::int32_t south, std::int32_t east);
  // Start (index 0) and end (index 1) dates as plain numbers.
  void showDates(const std::array<std::int32_t, 2>& year, const std::array<std::int32_t, 2>& month,
                 const std::array<std::int32_t, 2>& day);

  QGroupBox* frame() const noexcept { return frame_; }
  QLineEdit* dataPath() const noexcept { return dataPath_; }
  QLineEdit* areaName() const noexcept { return areaName_; }

 private:
  QGroupBox* frame_;
  QLineEdit* dataPath_;
  QLineEdit* areaName_;
  std::array<QLineEdit*, 2> upperLeft_{};   // Coad1: latitude, longitude
  std::array<QLineEdit*, 2> lowerRight_{};  // Coad2: latitude, longitude
  std::array<QLineEdit*, 2> year_{};
  std::array<QLineEdit*, 2> month_{};
  std::array<QLineEdit*, 2> day_{};
};

}  // namespace ombrix::ui
