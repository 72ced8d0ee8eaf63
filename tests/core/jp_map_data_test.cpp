// The base map delivered in data/ and copied beside the executables, read back record by record.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/byte_io.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

struct Polyline {
  std::int32_t west, south, east, north, kind, pointCount, pointOffset;
};

TEST(JpMapData, PolylinesCoverJapanWithinTheirOwnBoundingBoxes) {
  const std::vector<std::uint8_t> bytes = test::readBytes(std::string(OMBRIX_DATA_DIR) + "/jp.map");
  ASSERT_GE(bytes.size(), 4u);
  const core::ByteView view(bytes);
  const std::int32_t count = view.i32(0);
  ASSERT_EQ(count, 7342);
  ASSERT_TRUE(view.has(4, 28u * static_cast<std::size_t>(count)));

  std::int64_t nextOffset = 4 + 28 * std::int64_t{count};  // point lists follow the directory in order
  std::int32_t west = 180'000'000, south = 90'000'000, east = -180'000'000, north = -90'000'000;
  std::size_t closedCoasts = 0;
  std::int32_t longest = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    const std::size_t at = 4 + 28 * static_cast<std::size_t>(k);
    const Polyline p{view.i32(at), view.i32(at + 4), view.i32(at + 8), view.i32(at + 12), view.i32(at + 16),
                     view.i32(at + 20), view.i32(at + 24)};
    ASSERT_GE(p.pointCount, 2) << k;
    ASSERT_EQ(p.pointOffset, nextOffset) << k;
    ASSERT_TRUE(view.has(static_cast<std::size_t>(p.pointOffset), 8u * static_cast<std::size_t>(p.pointCount)));
    EXPECT_TRUE((p.kind >= 1 && p.kind <= 4) || (p.kind >= 10 && p.kind <= 20)) << k;
    nextOffset += 8 * std::int64_t{p.pointCount};
    std::int32_t w = 180'000'000, s = 90'000'000, e = -180'000'000, n = -90'000'000;
    for (std::int32_t i = 0; i < p.pointCount; ++i) {
      const std::size_t point = static_cast<std::size_t>(p.pointOffset) + 8 * static_cast<std::size_t>(i);
      w = std::min(w, view.i32(point));
      e = std::max(e, view.i32(point));
      s = std::min(s, view.i32(point + 4));
      n = std::max(n, view.i32(point + 4));
    }
    ASSERT_EQ((std::array{w, s, e, n}), (std::array{p.west, p.south, p.east, p.north})) << k;
    west = std::min(west, w), south = std::min(south, s), east = std::max(east, e), north = std::max(north, n);
    const std::size_t last = static_cast<std::size_t>(p.pointOffset) + 8 * static_cast<std::size_t>(p.pointCount - 1);
    const bool closed = view.i32(static_cast<std::size_t>(p.pointOffset)) == view.i32(last) &&
                        view.i32(static_cast<std::size_t>(p.pointOffset) + 4) == view.i32(last + 4);
    if (p.kind == 1) {
      closedCoasts += closed;
      longest = std::max(longest, p.pointCount);
    }
  }
  EXPECT_EQ(static_cast<std::size_t>(nextOffset), bytes.size());
  // Mainland coasts run out of the map's rectangle on three sides; the southernmost island
  // lies just north of 20 N.
  EXPECT_EQ((std::array{west, east, north}), (std::array{118'000'000, 150'000'000, 48'000'000}));
  EXPECT_GE(south, 20'000'000);
  EXPECT_LT(south, 20'100'000);
  // Pieces cut at storage-bin edges are joined: the coasts of islands are closed rings, and
  // only lines that leave the map's rectangle stay open.
  EXPECT_GT(closedCoasts, 7000u);
  EXPECT_GT(longest, 10'000);
}

TEST(JpMapData, IsCopiedBesideTheExecutables) {
  EXPECT_EQ(test::readBytes(std::string(OMBRIX_BIN_DIR) + "/jp.map"),
            test::readBytes(std::string(OMBRIX_DATA_DIR) + "/jp.map"));
}

}  // namespace
}  // namespace ombrix
