// ombrix-tool render: the viewer's map of a frame, a sum or a maximum as a PNG file.
#include <gtest/gtest.h>

#include "core/byte_io.h"
#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;

// The tool copied into a folder of its own, with a 20 x 30 rain file, so that the test decides
// which jp.map lies beside the executable.
struct RenderSetup {
  test::TempDir dir;
  fs::path tool = dir / "ombrix-tool";
  std::string rmd = test::shellQuote((dir / "Ka20057012005701.RMD").string());
  RenderSetup() {
    fs::copy_file(fs::path(OMBRIX_BIN_DIR) / "ombrix-tool", tool);
    test::writeSampleRmd(dir / "Ka20057012005701.RMD", test::sampleGrid(48, 20, 30), 48,
                         test::dayStamps(2005, 7, 1, 1, 48),
                         [](int k, int c) { return static_cast<std::int16_t>((k * 37 + c * 11) % 900 - 1); });
  }
  test::CommandResult render(const std::string& map, const std::string& png, const std::string& extra = "") {
    return test::runCommand(test::shellQuote(tool.string()) + " render " + rmd + " " + map + " --png " +
                            test::shellQuote((dir / png).string()) + extra);
  }
};

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         std::uint32_t{bytes[at + 3]};
}

TEST(RenderCommand, PicturesOfFramesSumsAndMaximaWithTheCoastlineBesideTheTool) {
  RenderSetup s;
  for (const char* map : {"--frame 3", "--sum 0:47", "--max 2:9"}) {
    const auto result = s.render(map, "map.png");
    ASSERT_EQ(result.exitCode, 0) << map << ": " << result.err;
    EXPECT_EQ(result.out, (s.dir / "map.png").string() + "\n");
    const std::vector<std::uint8_t> png = test::readBytes(s.dir / "map.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(bigEndian(png, 0), 0x89504E47u);
    EXPECT_EQ(bigEndian(png, 16), 689u);
    EXPECT_EQ(bigEndian(png, 20), 593u);
  }
  ASSERT_EQ(s.render("--frame 0", "small.png", " --size 40x30").exitCode, 0);
  EXPECT_EQ(bigEndian(test::readBytes(s.dir / "small.png"), 16), 40u);

  ASSERT_EQ(s.render("--frame 5", "plain.png").exitCode, 0);
  core::Bytes coast;  // one line straight across the grid
  for (const std::int32_t v : {1, 0, 0, 0, 0, 0, 2, 32, 138'000'000, 35'950'000, 140'000'000, 35'950'000}) {
    core::appendI32LE(coast, v);
  }
  test::writeBytes(s.dir / "jp.map", coast);
  ASSERT_EQ(s.render("--frame 5", "coast.png").exitCode, 0);
  ASSERT_EQ(s.render("--frame 5", "off.png", " --no-basemap").exitCode, 0);
  EXPECT_EQ(test::readBytes(s.dir / "plain.png"), test::readBytes(s.dir / "off.png"));
  EXPECT_NE(test::readBytes(s.dir / "coast.png"), test::readBytes(s.dir / "off.png"));
}

TEST(RenderCommand, RefusalsLeaveAnExistingPictureAlone) {
  RenderSetup s;
  test::writeText(s.dir / "old.png", "old");
  EXPECT_EQ(s.render("--frame 48", "old.png").err, std::string(messages::kFrameNumberNotInFile) + "48\n");
  EXPECT_EQ(s.render("--sum 4:4", "old.png").err, std::string(messages::kChooseDifferentTimes) + "\n");
  EXPECT_EQ(s.render("--max 5:4", "old.png").exitCode, 1);
  for (const char* usage : {"--frame 1 --sum 0:2", "--sum 3", "--frame 0 --size 0x10"}) {
    EXPECT_EQ(s.render(usage, "old.png").exitCode, 2) << usage;
  }
  s.rmd = test::shellQuote((s.dir / "none.RMD").string());
  const auto missing = s.render("--frame 0", "old.png");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, std::string(messages::kFileNotFound) + "\n");
  EXPECT_EQ(test::readText(s.dir / "old.png"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), fs::directory_iterator()), 3);  // tool, RMD, png
}

}  // namespace
}  // namespace ombrix
