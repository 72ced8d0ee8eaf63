#include "import/grib2_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>

#include "import/grib2_message_builder.h"
#include "support/grib2_restamp.h"
#include "support/test_support.h"

namespace ombrix::import {
namespace {

using test::buildGrib2Message;
using test::Grib2MessageSpec;

// Heavy rain over Kyushu; the maximum of 71 mm lies near 131.09E 32.89N. The expected figures
// were worked out once from the bytes by a separate decoder; the first run is also derivable
// by hand (level 0 with digits 0xdb 0xe1 0x5c in base 182 gives 1 + 145 + 151 * 182 + 18 * 182^2
// = 623,860 cells).
TEST(Grib2File, DecodesTheGridTimesAndCellsOfARealField) {
  Grib2Field field;
  ASSERT_TRUE(readGrib2File(
      std::string(OMBRIX_DATA_DIR) + "/Z__C_RJTD_20200707000000_SRF_GPV_Ggis1km_Prr60lv_ANAL_grib2.bin", field));
  EXPECT_EQ(field.referenceTime, (Grib2Time{2020, 7, 7, 0, 0, 0}));
  EXPECT_EQ(field.accumulationEnd, field.referenceTime);
  EXPECT_EQ(field.earthShape, 4);  // GRS 80
  EXPECT_EQ(field.grid, (Grib2LatLonGrid{2560, 3360, 47'995'833, 118'006'250, 20'004'167, 149'993'750, 12'500, 8'333}));
  EXPECT_NEAR(field.grid.rowSpacing(), 1e6 / 120, 1e-3);
  ASSERT_EQ(field.levels.size(), 8'601'600u);
  EXPECT_EQ(std::count(field.levels.begin(), field.levels.end(), 0), 6'309'841);
  const auto top = std::max_element(field.levels.begin(), field.levels.end());
  EXPECT_EQ(field.levelValues[*top], 710);
  EXPECT_EQ(top - field.levels.begin(), 1813 * 2560 + 1047);
  for (const auto& [index, level] : std::vector<std::pair<std::size_t, std::uint8_t>>{
           {623'859, 0}, {623'860, 1}, {623'878, 1}, {623'879, 0}, {1728u * 2560u + 992u, 12},
           {1475u * 2560u + 1736u, 2}, {1920u * 2560u + 1040u, 4}}) {
    EXPECT_EQ(field.levels[index], level) << "cell " << index;
  }
}

// A window of the real fields holds the values of the whole field's cells cut to it, at the edges,
// in one cell and over the whole grid, and a list of the window's cells the values of those
// cells; a window past the grid, values not of the target's size and a list out of order or
// past the window are refused.
TEST(Grib2File, AWindowOrAListOfItsCellsDecodesTheCellsOfTheWholeFieldCutToThem) {
  const Grib2Window windows[] = {{1700, 1900, 950, 1100}, {0, 0, 0, 2559}, {3359, 3359, 2559, 2559},
                                 {1813, 1813, 1047, 1047}, {0, 3359, 0, 2559}, {623, 700, 2000, 2559}};
  for (const int which : {0, 1}) {
    Grib2Field whole;
    ASSERT_TRUE(readGrib2File(test::realField(which), whole));
    for (const Grib2Window& w : windows) {
      std::vector<std::int16_t> expected;
      for (int r = w.firstRow; r <= w.lastRow; ++r) {
        for (int c = w.firstCol; c <= w.lastCol; ++c) expected.push_back(whole.levelValues[whole.levels[r * 2560u + c]]);
      }
      // Runs of cells with gaps within and across rows, the last cell always among them.
      std::vector<std::uint32_t> listed;
      std::vector<std::int16_t> listedExpected;
      for (std::uint32_t c = 0; c < expected.size(); ++c) {
        if (c % 97 >= 40 && c + 1 < expected.size()) continue;
        listed.push_back(c);
        listedExpected.push_back(expected[c]);
      }
      for (const std::span<const std::uint32_t> cells : {std::span<const std::uint32_t>{}, std::span<const std::uint32_t>(listed)}) {
        std::vector<std::int16_t> values(cells.empty() ? expected.size() : cells.size());
        const Grib2WindowTarget target{w, cells, values};
        Grib2Field cut;
        ASSERT_TRUE(readGrib2File(test::realField(which), cut, Grib2Content::Everything, &target));
        EXPECT_TRUE(values == (cells.empty() ? expected : listedExpected))
            << which << " " << w.firstRow << "," << w.firstCol << " " << cells.size();
      }
    }
  }
  std::vector<std::int16_t> values(11 * 361);
  const std::uint32_t listed[] = {1, 2};
  const std::uint32_t outOfOrder[] = {2, 1};
  const std::uint32_t pastTheWindow[] = {1, 11 * 360};
  for (const Grib2WindowTarget& refused : {Grib2WindowTarget{{3000, 3360, 0, 10}, {}, values},
                                           Grib2WindowTarget{{3000, 3359, 0, 10}, {}, std::span(values).first(10)},
                                           Grib2WindowTarget{{3000, 3359, 0, 10}, listed, std::span(values).first(3)},
                                           Grib2WindowTarget{{3000, 3359, 0, 10}, outOfOrder, std::span(values).first(2)},
                                           Grib2WindowTarget{{3000, 3359, 0, 10}, pastTheWindow, std::span(values).first(2)}}) {
    Grib2Field field;
    EXPECT_EQ(readGrib2File(test::realField(0), field, Grib2Content::Everything, &refused).problem,
              core::Problem::Grib2UnsupportedGrid);
  }
}

std::vector<std::uint8_t> expand(const std::vector<std::uint8_t>& stream, int bits, int maxLevel, std::size_t cells,
                                 core::Problem expected = core::Problem::None) {
  std::vector<std::uint8_t> levels(cells, 0xee);
  EXPECT_EQ(expandLevelRuns(stream, bits, maxLevel, levels), expected);
  return levels;
}

TEST(Grib2RunLength, FourBitDigitsInBaseFive) {
  // Values 3 9 12 6 4 15 2 1 0 13 12 2 3 packed two to a byte, the last nibble padding.
  const std::vector<std::uint8_t> stream{0x39, 0xc6, 0x4f, 0x21, 0x0d, 0xc2, 0x30};
  const std::vector<std::uint8_t> expected{3, 9, 9, 6, 4, 4, 4, 4, 4, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3};
  EXPECT_EQ(expand(stream, 4, 10, expected.size()), expected);
  // A grid one cell short does not hold the last run; in one two cells longer, the padding
  // nibble can stand for one cell but not for two.
  expand(stream, 4, 10, expected.size() - 1, core::Problem::Grib2RunPastGrid);
  expand(stream, 4, 10, expected.size() + 2, core::Problem::Grib2RunsTooFewCells);
}

TEST(Grib2RunLength, EightBitRunsDigitWeightsAndStreamsThatDoNotFillTheGrid) {
  // V = 253 leaves base 1 + 1 = 2: digits 254 (0) and 255 (1) spell binary lengths.
  EXPECT_EQ(expand({7, 255, 254, 255}, 8, 253, 6), (std::vector<std::uint8_t>{7, 7, 7, 7, 7, 7}));
  // A zero digit far beyond the grid's size is harmless; a non-zero one is refused.
  std::vector<std::uint8_t> farDigits(70, 254);
  farDigits.front() = 1;
  farDigits.push_back(255);
  expand(farDigits, 8, 253, 4, core::Problem::Grib2RunPastGrid);
  EXPECT_EQ(expand({2, 254, 254, 3}, 8, 253, 2), (std::vector<std::uint8_t>{2, 3}));
  // Streams that do not fill the grid exactly are refused.
  expand({200, 1}, 8, 100, 2, core::Problem::Grib2RunDigitBeforeLevel);
  expand({1, 2}, 8, 100, 3, core::Problem::Grib2RunsTooFewCells);
  expand({1, 2, 3}, 8, 100, 2, core::Problem::Grib2RunPastGrid);
  expand({1, 110}, 8, 100, 5, core::Problem::Grib2RunPastGrid);  // run of 10 in a grid of 5
  expand({}, 8, 100, 1, core::Problem::Grib2RunsTooFewCells);
}

// The decode's answer for bytes, once a header-only read of them as a file is seen to give what
// a header-only decode of all of them gives: the same answer and, when read, the same header.
core::Problem decodeAlsoAsHeaderFile(std::span<const std::uint8_t> bytes) {
  test::TempDir dir;
  test::writeBytes(dir / "message.bin", {bytes.begin(), bytes.end()});
  Grib2Field read, decoded;
  const core::Problem header = decodeGrib2Field(bytes, decoded, Grib2Content::HeaderOnly);
  EXPECT_EQ(readGrib2File(dir / "message.bin", read, Grib2Content::HeaderOnly).problem, header);
  EXPECT_TRUE(header != core::Problem::None ||
              std::tie(read.accumulationEnd, read.grid, read.earthShape, read.levelValues) ==
                  std::tie(decoded.accumulationEnd, decoded.grid, decoded.earthShape, decoded.levelValues));
  return decodeGrib2Field(bytes, decoded);
}

// Bytes this thread has read from files so far.
std::uint64_t bytesReadByThisThread() {
  const std::string io = test::readText("/proc/thread-self/io");
  return std::stoull(io.substr(io.find("rchar:") + 6));
}

Grib2MessageSpec smallMessage() {
  Grib2MessageSpec spec;
  spec.stream = test::encodeLevelRuns({0, 0, 1, 1, 1, 2, 3, 3, 3, 3, 0, 0}, spec.maxLevelUsed);
  return spec;
}

TEST(Grib2Message, DecodesAndScalesAHandMadeMessage) {
  Grib2Field field;
  ASSERT_EQ(decodeGrib2Field(buildGrib2Message(smallMessage()), field), core::Problem::None);
  EXPECT_EQ(std::pair(field.grid.ni, field.grid.nj), std::pair(4, 3));
  EXPECT_EQ(field.levels, (std::vector<std::uint8_t>{0, 0, 1, 1, 1, 2, 3, 3, 3, 3, 0, 0}));
  EXPECT_EQ(field.levelValues, (std::vector<std::int16_t>{-1, 0, 4, 10}));
  // Representative values scale to tenths of a millimetre.
  Grib2MessageSpec spec = smallMessage();
  spec.decimalScale = 2;  // R in 0.01 mm: 25 rounds half to even to 2
  spec.representative = {0, 25, 1000};
  ASSERT_EQ(decodeGrib2Field(buildGrib2Message(spec), field), core::Problem::None);
  EXPECT_EQ(field.levelValues, (std::vector<std::int16_t>{-1, 0, 2, 100}));
  spec.decimalScale = 0x80 | 4;  // E = -4: values far beyond a stored 16-bit value
  EXPECT_EQ(decodeGrib2Field(buildGrib2Message(spec), field), core::Problem::Grib2UnsupportedPacking);
}

TEST(Grib2Message, RefusesTruncatedForeignAndCorruptBytesAndLayoutsItDoesNotRead) {
  const std::vector<std::uint8_t> message = buildGrib2Message(smallMessage());
  for (std::size_t size : {std::size_t{0}, std::size_t{4}, std::size_t{15}}) {
    EXPECT_EQ(decodeAlsoAsHeaderFile(std::span(message).first(size)), core::Problem::Grib2NotRainfall) << size;
  }
  for (std::size_t size = 16; size < message.size(); size += 7) {
    EXPECT_EQ(decodeAlsoAsHeaderFile(std::span(message).first(size)), core::Problem::Grib2Truncated) << size;
  }
  using Bytes = std::vector<std::uint8_t>;
  const std::vector<std::pair<std::function<void(Bytes&)>, core::Problem>> patches{
      {[](Bytes& b) { b[7] = 1; }, core::Problem::Grib2NotRainfall},            // edition 1
      {[](Bytes& b) { b.back() = 'X'; }, core::Problem::Grib2BadStructure},     // end marker
      {[](Bytes& b) { b[16 + 2] = 0xff; }, core::Problem::Grib2BadStructure},   // section 1 runs past the end
      {[](Bytes& b) { b[16 + 3] = 2; }, core::Problem::Grib2BadStructure},      // section 1 shorter than its header
      {[&](Bytes& b) { b.insert(b.end(), message.begin(), message.end()); }, core::Problem::Grib2UnsupportedProduct},
      {[](Bytes& b) { b.insert(b.end(), {'G', 'R', 'I'}); }, core::Problem::None},  // not a second message
      {[](Bytes& b) { b[b.size() - 6 - smallMessage().stream.size()] = 5; }, core::Problem::Grib2BadStructure},  // short section 7
  };
  for (std::size_t k = 0; k < patches.size(); ++k) {
    Bytes bad = message;
    patches[k].first(bad);
    EXPECT_EQ(decodeAlsoAsHeaderFile(bad), patches[k].second) << k;
  }
  // Refusals of the run-length stream itself are left to the run-length tests.
  const std::vector<std::pair<std::function<void(Grib2MessageSpec&)>, core::Problem>> specs{
      {[](Grib2MessageSpec& m) { m.scanningMode = 0x40; }, core::Problem::Grib2UnsupportedGrid},
      {[](Grib2MessageSpec& m) { m.productTemplate = 0; }, core::Problem::Grib2UnsupportedProduct},
      {[](Grib2MessageSpec& m) { m.maxLevelUsed = 4; }, core::Problem::Grib2UnsupportedPacking},  // above the 3 listed
      {[](Grib2MessageSpec& m) { m.bits = 9; }, core::Problem::Grib2UnsupportedPacking},
      {[](Grib2MessageSpec& m) { m.firstLat = 90'000'001; }, core::Problem::Grib2UnsupportedGrid},
      {[](Grib2MessageSpec& m) { m.firstLon = -2'147'000'000; }, core::Problem::Grib2UnsupportedGrid},
      {[](Grib2MessageSpec& m) { m.firstLon = 359'999'999; }, core::Problem::Grib2UnsupportedGrid},  // last past 360
      {[](Grib2MessageSpec& m) { m.representative.resize(3000); }, core::Problem::None},  // sections past 4 KiB
  };
  for (std::size_t k = 0; k < specs.size(); ++k) {
    Grib2MessageSpec spec = smallMessage();
    specs[k].first(spec);
    EXPECT_EQ(decodeAlsoAsHeaderFile(buildGrib2Message(spec)), specs[k].second) << k;
  }
}

// A header-only read of a real field takes its first 4 KiB and the end marker, not its
// 265 KB, and answers as the whole file does, also with a second message or a broken end
// marker after a data section far beyond the first read.
TEST(Grib2File, AHeaderOnlyReadTakesTheSectionsBeforeTheDataAndTheEndMarker) {
  Grib2Field field;
  const std::uint64_t before = bytesReadByThisThread();
  ASSERT_TRUE(readGrib2File(test::realField(0), field, Grib2Content::HeaderOnly));
  EXPECT_LT(bytesReadByThisThread() - before, 4096u + 4u + 1024u);  // and the counters read once
  std::vector<std::uint8_t> real = test::readBytes(test::realField(1)), twice = real, broken = real;
  twice.insert(twice.end(), real.begin(), real.end());
  broken[broken.size() - 2] = '6';
  EXPECT_EQ(decodeAlsoAsHeaderFile(real), core::Problem::None);
  EXPECT_EQ(decodeAlsoAsHeaderFile(twice), core::Problem::Grib2UnsupportedProduct);
  EXPECT_EQ(decodeAlsoAsHeaderFile(broken), core::Problem::Grib2BadStructure);
}

}  // namespace
}  // namespace ombrix::import
