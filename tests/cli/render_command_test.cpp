// ombrix-tool render: the viewer's map of a frame, a sum or a maximum as a PNG file.
#include <gtest/gtest.h>

#include "core/byte_io.h"
#include "core/messages.h"
#include "support/sample_rmd.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

test::CommandResult run(const fs::path& toolPath, const std::string& arguments) {
  return test::runCommand(test::shellQuote(toolPath.string()) + " " + arguments);
}

// The tool copied into its own folder, so that the test decides which jp.map lies beside it.
fs::path toolCopy(const fs::path& dir) {
  const fs::path copy = dir / "ombrix-tool";
  fs::copy_file(fs::path(OMBRIX_BIN_DIR) / "ombrix-tool", copy);
  return copy;
}

fs::path rainFile(const fs::path& dir) {
  const fs::path path = dir / "Ka20057012005701.RMD";
  test::writeSampleRmd(path, test::sampleGrid(48, 20, 30), 48, test::dayStamps(2005, 7, 1, 1, 48),
                       [](int k, int c) { return static_cast<std::int16_t>((k * 37 + c * 11) % 900 - 1); });
  return path;
}

// A coastline straight across the grid of rainFile.
core::Bytes crossingMap() {
  core::Bytes bytes;
  core::appendI32LE(bytes, 1);
  for (int k = 0; k < 5; ++k) core::appendI32LE(bytes, 0);  // unread part of the record
  core::appendI32LE(bytes, 2);
  core::appendI32LE(bytes, 32);
  for (const std::int32_t value : {138'000'000, 35'950'000, 140'000'000, 35'950'000}) core::appendI32LE(bytes, value);
  return bytes;
}

void expectPng(const fs::path& path, std::uint32_t width, std::uint32_t height) {
  const std::vector<std::uint8_t> bytes = test::readBytes(path);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  const auto bigEndian = [&](std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
           std::uint32_t{bytes[at + 3]};
  };
  EXPECT_EQ(bigEndian(16), width);
  EXPECT_EQ(bigEndian(20), height);
}

TEST(RenderCommand, FrameSumAndMaximumPictures) {
  TempDir dir;
  const fs::path tool = toolCopy(dir.path());
  const std::string file = test::shellQuote(rainFile(dir.path()).string());
  for (const char* map : {"--frame 3", "--sum 0:47", "--max 2:9"}) {
    const fs::path png = dir / "map.png";
    const auto result = run(tool, "render " + file + " " + map + " --png " + test::shellQuote(png.string()));
    ASSERT_EQ(result.exitCode, 0) << map << ": " << result.err;
    EXPECT_EQ(result.out, png.string() + "\n");
    expectPng(png, 689, 593);
  }
  const auto sized = run(tool, "render " + file + " --frame 0 --size 40x30 --png " + test::shellQuote((dir / "s.png").string()));
  ASSERT_EQ(sized.exitCode, 0) << sized.err;
  expectPng(dir / "s.png", 40, 30);
}

TEST(RenderCommand, CoastlineFromTheJpMapBesideTheExecutable) {
  TempDir dir;
  const fs::path tool = toolCopy(dir.path());
  const std::string file = test::shellQuote(rainFile(dir.path()).string());
  const auto render = [&](const std::string& name, const std::string& extra) {
    const auto result = run(tool, "render " + file + " --frame 5 --png " + test::shellQuote((dir / name).string()) + extra);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return test::readBytes(dir / name);
  };
  const auto withoutMapFile = render("a.png", "");
  test::writeBytes(dir / "jp.map", crossingMap());
  const auto withMap = render("b.png", "");
  const auto switchedOff = render("c.png", " --no-basemap");
  EXPECT_EQ(withoutMapFile, switchedOff);
  EXPECT_NE(withMap, switchedOff);
}

TEST(RenderCommand, RefusalsLeaveAnExistingPictureAlone) {
  TempDir dir;
  const fs::path tool = toolCopy(dir.path());
  const std::string file = test::shellQuote(rainFile(dir.path()).string());
  const fs::path png = dir / "old.png";
  test::writeText(png, "old");
  const std::string out = " --png " + test::shellQuote(png.string());
  const auto missing = run(tool, "render " + test::shellQuote((dir / "none.RMD").string()) + " --frame 0" + out);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, std::string(messages::kFileNotFound) + "\n");
  EXPECT_EQ(run(tool, "render " + file + " --frame 48" + out).err, std::string(messages::kFrameNotInFile) + "\n");
  EXPECT_EQ(run(tool, "render " + file + " --sum 4:4" + out).err, std::string(messages::kChooseDifferentTimes) + "\n");
  EXPECT_EQ(run(tool, "render " + file + " --max 5:4" + out).exitCode, 1);
  EXPECT_EQ(run(tool, "render " + file + " --frame 1 --sum 0:2" + out).exitCode, 2);
  EXPECT_EQ(run(tool, "render " + file + " --frame 1").exitCode, 2);
  EXPECT_EQ(run(tool, "render " + file + " --sum 3" + out).exitCode, 2);
  EXPECT_EQ(run(tool, "render " + file + " --frame 0 --size 0x10" + out).exitCode, 2);
  EXPECT_EQ(test::readText(png), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);  // tool, RMD, png
}

}  // namespace
}  // namespace ombrix
