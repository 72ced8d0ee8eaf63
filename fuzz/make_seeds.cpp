// Writes the seed corpus of every fuzz target into DIR/<target>/, each seed made by the
// project's own writers: the archive encoder, the RMD writer, the whole-period export, the
// GRIB2 message builder of the tests, a small base map in jp.map's layout and GeoJSON polygons.
//   ombrix_fuzz_seeds DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/byte_io.h"
#include "core/rap_encoder.h"
#include "core/rmd_file.h"
#include "core/time_stamp.h"
#include "tests/import/grib2_message_builder.h"
#include "tests/support/sample_grid.h"
#include "export/period_export.h"
#include "export/point_table.h"
#include "fuzz/fuzz_scratch.h"
#include "viewer/rmd_opening.h"

namespace {

namespace fs = std::filesystem;
using ombrix::core::Bytes;

void save(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
    std::exit(1);
  }
}

Bytes fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ombrix::core::TimeStamp stamp(int day, int minutes) {
  return {2005, 7, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(minutes / 60),
          static_cast<std::uint8_t>(minutes % 60)};
}

// Records of a small grid whose values use runs, single cells and codes above 63.
std::vector<ombrix::core::ArchiveRecord> archiveRecords(const ombrix::core::GridDescription& grid, int count,
                                                         int distinct) {
  std::vector<ombrix::core::ArchiveRecord> records;
  for (int j = 0; j < count; ++j) {
    ombrix::core::ArchiveRecord record{stamp(1, 30 * j), {}};
    for (std::size_t i = 0; i < grid.cellCount(); ++i) {
      const int run = static_cast<int>(i / (3 + static_cast<std::size_t>(j)));
      record.values.push_back(static_cast<std::int16_t>(i % 7 == 0 ? -1 : (run * 5 + j) % distinct));
    }
    records.push_back(std::move(record));
  }
  return records;
}

void rapSeeds(const fs::path& folder) {
  const ombrix::core::GridDescription small{36'000'000, 139'000'000, 12'500, 8'333, 6, 4};
  const ombrix::core::GridDescription wide{47'989'583, 118'015'625, 31'250, 20'833, 40, 12};
  struct Case {
    const char* name;
    ombrix::core::GridDescription grid;
    int records;
    int distinct;
  };
  for (const Case& c : {Case{"small-3-records.RAP", small, 3, 5}, Case{"wide-2-records.RAP", wide, 2, 120},
                        Case{"wide-1-record-runs.RAP", wide, 1, 2}, Case{"small-no-records.RAP", small, 0, 1}}) {
    Bytes bytes;
    if (!ombrix::core::encodeArchive(c.grid, archiveRecords(c.grid, c.records, c.distinct), bytes)) std::exit(1);
    save(folder, c.name, bytes);
  }
}

// An RMD file as the writer makes it: one day of hourly frames, some without data.
fs::path writeRmd(const fs::path& folder, const std::string& name, int days, int rows, int cols) {
  const fs::path path = folder / name;
  ombrix::core::RmdWriter writer;
  const ombrix::core::RmdHeader header = ombrix::test::sampleGrid(24 * days, rows, cols);
  if (!writer.create(path, header, 24)) std::exit(1);
  std::vector<std::int16_t> cells(header.cellCount());
  for (int k = 0; k < header.frameCount; ++k) {
    writer.setEntry(k, stamp(1 + k / 24, 60 * (k % 24)));
    if (k % 5 == 3) continue;
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<std::int16_t>((k * 7 + i * 3) % 40 - 1);
    if (!writer.writeFrame(k, cells)) std::exit(1);
  }
  if (!writer.commit()) std::exit(1);
  return path;
}

// A compact file: the frames directly after the index (readers find frames only through the
// index, so this is as valid as the writer's layout, and much smaller).
Bytes compactRmd(int frames, int rows, int cols) {
  const ombrix::core::RmdHeader header = ombrix::test::sampleGrid(frames, rows, cols);
  const std::size_t cells = header.cellCount();
  const std::size_t dataStart = 28 + 10 * static_cast<std::size_t>(frames);
  Bytes bytes(dataStart + 2 * cells * static_cast<std::size_t>(frames));
  ombrix::core::encodeRmdHeader(header, bytes.data());
  for (int k = 0; k < frames; ++k) {
    std::uint8_t* entry = bytes.data() + 28 + 10 * static_cast<std::size_t>(k);
    const ombrix::core::TimeStamp s = stamp(1 + k / 24, 60 * (k % 24));
    ombrix::core::writeI16LE(entry, s.year);
    entry[2] = s.month;
    entry[3] = s.day;
    entry[4] = s.hour;
    entry[5] = s.minute;
    const std::size_t offset = dataStart + 2 * cells * static_cast<std::size_t>(k);
    ombrix::core::writeI32LE(entry + 6, static_cast<std::int32_t>(offset));
    for (std::size_t i = 0; i < cells; ++i) {
      ombrix::core::writeI16LE(bytes.data() + offset + 2 * i, static_cast<std::int16_t>((k + i) % 30));
    }
  }
  return bytes;
}

void rmdSeeds(const fs::path& folder, const fs::path& work) {
  save(folder, "writer-1-day-2x3.RMD", fileBytes(writeRmd(work, "Ka2005710120050701.RMD", 1, 2, 3)));
  save(folder, "compact-24-frames-3x2.RMD", compactRmd(24, 3, 2));
  save(folder, "compact-50-frames-1x1.RMD", compactRmd(50, 1, 1));
}

// Two-day CSV sets made by the whole-period export, framed as the point-table target reads
// its input: the ID answer, NUL, FileList.txt, then NUL and each day file.
void pointTableSeeds(const fs::path& folder, const fs::path& work) {
  const fs::path rmd = writeRmd(work, "Ky2005710120050702.RMD", 2, 3, 4);
  const ombrix::viewer::OpenedRmd opened = ombrix::viewer::openRmdFile(rmd, 64, 48).file;
  const auto exported = ombrix::exports::exportPeriod(opened.dataset(), opened.areaName.value_or(""), 100);
  if (!exported.status) std::exit(1);
  const Bytes list = fileBytes(exported.folder / ombrix::exports::kFileListName);
  for (const char* answer : {"0", "5", "11", "12"}) {
    Bytes seed(answer, answer + std::char_traits<char>::length(answer));
    seed.push_back(0);
    seed.insert(seed.end(), list.begin(), list.end());
    for (const char* name : {"20050701.CSV", "20050702.CSV"}) {
      const Bytes day = fileBytes(exported.folder / name);
      seed.push_back(0);
      seed.insert(seed.end(), day.begin(), day.end());
    }
    save(folder, std::string("set-id-") + answer, seed);
  }
}

void grib2Seeds(const fs::path& folder) {
  ombrix::test::Grib2MessageSpec spec;
  spec.stream = ombrix::test::encodeLevelRuns({0, 0, 1, 1, 1, 2, 3, 3, 3, 3, 0, 0}, spec.maxLevelUsed);
  save(folder, "eight-bit-4x3.grib2", ombrix::test::buildGrib2Message(spec));

  ombrix::test::Grib2MessageSpec wide;
  wide.ni = 40;
  wide.nj = 30;
  std::vector<std::uint8_t> levels(wide.ni * wide.nj);
  for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = static_cast<std::uint8_t>((i / 17) % 4);
  wide.stream = ombrix::test::encodeLevelRuns(levels, wide.maxLevelUsed);
  save(folder, "eight-bit-40x30.grib2", ombrix::test::buildGrib2Message(wide));

  ombrix::test::Grib2MessageSpec nibbles;
  nibbles.ni = 7;
  nibbles.nj = 3;
  nibbles.bits = 4;
  nibbles.maxLevelUsed = 10;
  nibbles.representative = {0, 1, 2, 4, 8, 10, 20, 30, 50, 80};
  nibbles.stream = {0x39, 0xc6, 0x4f, 0x21, 0x0d, 0xc2, 0x30};
  save(folder, "four-bit-7x3.grib2", ombrix::test::buildGrib2Message(nibbles));
}

// A base map in jp.map's layout: polylines of points around the seed grid, one pointing at
// another's points, one of a single point.
void baseMapSeeds(const fs::path& folder) {
  struct Line {
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
  };
  const std::vector<Line> lines{
      {{{130'000'000, 33'000'000}, {135'000'000, 35'000'000}, {140'000'000, 38'000'000}, {142'000'000, 43'000'000}}},
      {{{139'000'000, 36'000'000}, {139'500'000, 35'500'000}, {139'000'000, 36'000'000}}},
      {{{120'000'000, 20'000'000}}},
      {{{100'000'000, 60'000'000}, {160'000'000, 10'000'000}}},
  };
  Bytes bytes;
  ombrix::core::appendI32LE(bytes, static_cast<std::int32_t>(lines.size() + 1));
  std::size_t pointsAt = 4 + 28 * (lines.size() + 1);
  std::vector<std::size_t> offsets;
  for (const Line& line : lines) {
    for (int k = 0; k < 5; ++k) ombrix::core::appendI32LE(bytes, 0x4d415000 + k);
    ombrix::core::appendI32LE(bytes, static_cast<std::int32_t>(line.points.size()));
    ombrix::core::appendI32LE(bytes, static_cast<std::int32_t>(pointsAt));
    offsets.push_back(pointsAt);
    pointsAt += 8 * line.points.size();
  }
  for (int k = 0; k < 5; ++k) ombrix::core::appendI32LE(bytes, 0);
  ombrix::core::appendI32LE(bytes, static_cast<std::int32_t>(lines[0].points.size()));
  ombrix::core::appendI32LE(bytes, static_cast<std::int32_t>(offsets[0]));
  for (const Line& line : lines) {
    for (const auto& [lon, lat] : line.points) {
      ombrix::core::appendI32LE(bytes, lon);
      ombrix::core::appendI32LE(bytes, lat);
    }
  }
  save(folder, "five-polylines.map", bytes);
  save(folder, "empty.map", Bytes{0, 0, 0, 0});
}

// Polygon files over the polygon target's grid (130-131 E, 35.3-36.1 N): a basin with a hole, a
// multipolygon across the grid's edges, named features reaching far east, a projected one, one
// on a line.
void polygonSeeds(const fs::path& folder) {
  const auto feature = [](const std::string& properties, const std::string& geometry) {
    return R"({"type":"Feature","properties":{)" + properties + R"(},"geometry":)" + geometry + "}";
  };
  const auto collection = [](const std::string& features, const std::string& crs = "") {
    return R"({"type":"FeatureCollection",)" + crs + R"("features":[)" + features + "]}";
  };
  const std::vector<std::pair<std::string, std::string>> seeds{
      {"hole.geojson", collection(feature(R"("name":"上流")", R"({"type":"Polygon","coordinates":[)"
                                                              R"([[130.1,35.5],[130.7,35.45],[130.8,35.9],[130.2,36.0],[130.1,35.5]],)"
                                                              R"([[130.3,35.6],[130.5,35.6],[130.4,35.8],[130.3,35.6]]]})"))},
      {"edges.geojson", collection(feature("", R"({"type":"MultiPolygon","coordinates":[)"
                                               R"([[[129.5,35.2],[130.3,35.2],[130.3,35.5],[129.5,35.5],[129.5,35.2]]],)"
                                               R"([[[130.8,35.9],[131.5,35.9],[131.5,36.5],[130.8,36.5],[130.8,35.9]]]]})"))},
      {"far.geojson", collection(feature(R"("name":"a")", R"({"type":"Polygon","coordinates":[[[130.2,35.5],)"
                                                          R"([100000,35.5],[100000,35.7],[130.2,35.7],[130.2,35.5]]]})") +
                                 "," + feature(R"("name":"b")", R"({"type":"Polygon","coordinates":[[[130.4,35.4],)"
                                                                R"([130.6,35.4],[130.6,95.0],[130.4,35.4]]]})"))},
      {"projected.geojson", collection(feature("", R"({"type":"Polygon","coordinates":[[[300000,3950000],)"
                                                   R"([360000,3950000],[360000,3990000],[300000,3990000],[300000,3950000]]]})"),
                                       R"("crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::6690"}},)")},
      {"line.geojson", collection(feature("", R"({"type":"Polygon","coordinates":[[[130.1,35.5],[130.2,35.6],)"
                                              R"([130.3,35.7],[130.1,35.5]]]})"))},
  };
  for (const auto& [name, text] : seeds) save(folder, name, Bytes(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ombrix_fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path corpus = argv[1];
  const ombrix::fuzz::ScratchFolder work;
  rapSeeds(corpus / "rap_archive");
  rmdSeeds(corpus / "rmd_viewer", work.path());
  pointTableSeeds(corpus / "point_table", work.path());
  grib2Seeds(corpus / "grib2_field");
  baseMapSeeds(corpus / "base_map");
  polygonSeeds(corpus / "polygon_weights");
  return 0;
}
