// The "解析" menu: areal means of a polygon file written beside the open file, the
// duration-maximum map and its export label, and the map's tooltip.
#include "core/messages.h"
#include "tests/ui/viewer_test_support.h"
#include "ui/qt_text.h"

namespace ombrix::ui::test {
namespace {

namespace fs = std::filesystem;

struct AnalysisMenuTest : ViewerFixture {
  AnalysisMenuTest() {
    rmd = writeFile("Ka200475200475.RMD", 8, 6, 5,
                    [](int k, int cell) { return static_cast<std::int16_t>(cell == 0 ? -1 : cell * 10 + k); });
    open("Ka200475200475.RMD");
    ombrix::test::writeText(polygons, R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
                                      R"("properties":{"name":"湾"},"geometry":{"type":"Polygon","coordinates":)"
                                      R"([[[139.6,35.66],[139.65,35.66],[139.65,35.69],[139.6,35.69],[139.6,35.66]]]}}]})");
    viewer.setPolygonFileChooser([this] { return QString::fromStdString(polygons.string()); });
    controls.startTime->setCurrentIndex(0);
    controls.endTime->setCurrentIndex(7);
  }
  fs::path rmd;
  fs::path polygons = dir / "bay.geojson";
};

TEST_F(AnalysisMenuTest, ArealMeansAreWrittenBesideTheFile) {
  trigger("MenuArealRain");
  const fs::path csv = dir / "Ka200475200475-areal.csv";
  EXPECT_EQ(messages.shown, QStringList{qtText(std::string(messages::kArealWritten) + csv.string())});
  const std::vector<std::string> lines = ombrix::test::crlfLines(ombrix::test::readText(csv));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "\xEF\xBB\xBFtime,湾,湾 coverage");
  EXPECT_EQ(lines[1].substr(0, 17), "2004-07-05 00:00,");
  EXPECT_EQ(conditions.viewerState, core::kViewerIdle);
}

TEST_F(AnalysisMenuTest, DurationMapIsShownLabelledAndProbedInMillimetres) {
  messages.answers = {QStringLiteral("x"), QStringLiteral("2")};
  trigger("MenuDurationMax");
  EXPECT_EQ(messages.shown, QStringList{qtText(messages::kDurationHoursInvalid)});
  trigger("MenuDurationMax");
  EXPECT_EQ(conditions.frameLabel, "200407050000200407050330-MAX2H");
  // Cell 1 holds 10 + k; two hours of half-hourly frames end at 7: 17 + 15.
  EXPECT_EQ(conditions.rainGrid[1], 32);
  EXPECT_EQ(conditions.rainGrid[0], -1);
  EXPECT_TRUE(controls.accumulationLegend->isVisible());
  const viewer::ViewGeometry& g = conditions.geometry;
  const QPoint centreOfCell1(static_cast<int>(g.viewCenterX - (g.mapHalfWidth - 1.5F * g.cellWidth) * g.zoom),
                             static_cast<int>(g.viewCenterY - (g.mapHalfHeight - 0.5F * g.cellHeight) * g.zoom));
  EXPECT_EQ(viewer.cellTip(centreOfCell1), QStringLiteral("緯度 35.7000  経度 139.6125  値 3.2 mm"));
  EXPECT_TRUE(viewer.cellTip(QPoint(0, 0)).isEmpty());
}

}  // namespace
}  // namespace ombrix::ui::test
