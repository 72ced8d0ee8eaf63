// ombrix-tool render: the viewer's map of a frame, a sum or a maximum as a PNG file.
#include <gtest/gtest.h>

#include "core/byte_io.h"
#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"
#include "tests/cli/cli_test_support.h"

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
  for (const auto& [map, size, width, height] : std::vector<std::tuple<const char*, const char*, unsigned, unsigned>>{
           {"--frame 3", "", 689, 593}, {"--sum 0:47", "", 689, 593}, {"--max 2:9", " --size 40x30", 40, 30}}) {
    const auto result = s.render(map, "map.png", size);
    ASSERT_EQ(result.exitCode, 0) << map << ": " << result.err;
    EXPECT_EQ(result.out, (s.dir / "map.png").string() + "\n");
    const std::vector<std::uint8_t> png = test::readBytes(s.dir / "map.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ((std::array{bigEndian(png, 0), bigEndian(png, 16), bigEndian(png, 20)}),
              (std::array{0x89504E47u, width, height}));
  }

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
  test::expectRefused(s.render("--frame 48", "old.png"), std::string(messages::kFrameNumberNotInFile) + "48");
  test::expectRefused(s.render("--sum 4:4", "old.png"), messages::kChooseDifferentTimes);
  EXPECT_EQ(s.render("--max 5:4", "old.png").exitCode, 1);
  for (const char* usage : {"--frame 1 --sum 0:2", "--sum 3", "--frame 0 --size 0x10"}) {
    EXPECT_EQ(s.render(usage, "old.png").exitCode, 2) << usage;
  }
  s.rmd = test::shellQuote((s.dir / "none.RMD").string());
  test::expectRefused(s.render("--frame 0", "old.png"), messages::kFileNotFound);
  EXPECT_EQ(test::readText(s.dir / "old.png"), "old");
  EXPECT_EQ(test::namesIn(s.dir.path()).size(), 3u);  // tool, RMD, png
}

}  // namespace
}  // namespace ombrix
