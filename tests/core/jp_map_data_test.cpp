// The base map delivered in data/, read back record by record: a generator fault (a directory
// that misses its point lists, a wrong bounding box, a cut-off file) shows here.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/byte_io.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

TEST(JpMapData, PolylinesCoverJapanWithinTheirOwnBoundingBoxes) {
  const std::vector<std::uint8_t> bytes = test::readBytes(std::string(OMBRIX_DATA_DIR) + "/jp.map");
  const core::ByteView view(bytes);
  ASSERT_TRUE(view.has(0, 4));
  const std::int32_t count = view.i32(0);
  ASSERT_GT(count, 0);
  ASSERT_TRUE(view.has(4, 28u * static_cast<std::size_t>(count)));
  std::int64_t nextOffset = 4 + 28 * std::int64_t{count};  // point lists follow the directory in order
  std::array<std::int32_t, 4> all{180'000'000, 90'000'000, -180'000'000, -90'000'000};  // w, s, e, n
  for (std::int32_t k = 0; k < count; ++k) {
    const std::size_t at = 4 + 28 * static_cast<std::size_t>(k);
    const std::int32_t kind = view.i32(at + 16), points = view.i32(at + 20), offset = view.i32(at + 24);
    ASSERT_GE(points, 2) << k;
    ASSERT_EQ(offset, nextOffset) << k;
    ASSERT_TRUE(view.has(static_cast<std::size_t>(offset), 8u * static_cast<std::size_t>(points)));
    EXPECT_TRUE((kind >= 1 && kind <= 4) || (kind >= 10 && kind <= 20)) << k;
    nextOffset += 8 * std::int64_t{points};
    std::array<std::int32_t, 4> box{180'000'000, 90'000'000, -180'000'000, -90'000'000};
    for (std::int32_t i = 0; i < points; ++i) {
      const std::size_t p = static_cast<std::size_t>(offset) + 8 * static_cast<std::size_t>(i);
      box = {std::min(box[0], view.i32(p)), std::min(box[1], view.i32(p + 4)), std::max(box[2], view.i32(p)),
             std::max(box[3], view.i32(p + 4))};
    }
    ASSERT_EQ(box, (std::array{view.i32(at), view.i32(at + 4), view.i32(at + 8), view.i32(at + 12)})) << k;
    all = {std::min(all[0], box[0]), std::min(all[1], box[1]), std::max(all[2], box[2]), std::max(all[3], box[3])};
  }
  EXPECT_EQ(static_cast<std::size_t>(nextOffset), bytes.size());
  // Mainland coasts run out of the map's rectangle on three sides; the southernmost island
  // lies just north of 20 N.
  EXPECT_EQ((std::array{all[0], all[2], all[3]}), (std::array{118'000'000, 150'000'000, 48'000'000}));
  EXPECT_GE(all[1], 20'000'000);
  EXPECT_LT(all[1], 20'100'000);
}

}  // namespace
}  // namespace ombrix
