#include "gis/geotiff_map.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <gdal.h>
#include <gdal_proxy.h>
#include <gdal_vrt.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <string>

#include "core/fault_injection.h"
#include "export/csv_number_format.h"
#include "gis/gdal_session.h"
#include "gis/qgis_style.h"

namespace ombrix::gis {

namespace {

struct DatasetCloser {
  void operator()(void* dataset) const noexcept { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

// GDAL's progress while it writes: a point where a test may stop the process.
int CPL_STDCALL killPoint(double, const char*, void*) {
  core::testKillPoint();
  return TRUE;
}

// A stored value (0.1 mm/h or 0.1 mm) in the band's unit.
float bandValueOf(std::int16_t stored) noexcept { return stored < 0 ? kMapNoData : static_cast<float>(stored * 0.1); }

// A band over the values themselves (no copy of them).
bool addBand(const Dataset& dataset, std::span<const float> values) {
  char pointer[64] = {};
  pointer[CPLPrintPointer(pointer, const_cast<float*>(values.data()), sizeof pointer - 1)] = '\0';
  char** bandOptions = CSLSetNameValue(nullptr, "DATAPOINTER", pointer);
  const bool added = GDALAddBand(dataset.get(), GDT_Float32, bandOptions) == CE_None;
  CSLDestroy(bandOptions);
  return added;
}

bool describeBand(GDALRasterBandH band, const BandDescription& d) {
  if (!d.description.empty()) GDALSetDescription(band, d.description.c_str());
  bool described = d.unit.empty() || GDALSetRasterUnitType(band, d.unit.c_str()) == CE_None;
  for (const auto& [name, value] : {std::pair("TIME_JST", &d.timeJst), std::pair("TIME_UTC", &d.timeUtc),
                                    std::pair("SOURCE", &d.source)}) {
    if (!value->empty()) described = GDALSetMetadataItem(band, name, value->c_str(), nullptr) == CE_None && described;
  }
  return described;
}

// The georeference of the dataset, and each band's nodata value and description.
bool reference(const Dataset& dataset, const MapGeoreference& g, std::span<const BandDescription> bands) {
  double transform[6] = {g.westEdge, g.cellWidth, 0, g.northEdge, 0, -g.cellHeight};
  OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
  bool referenced = OSRImportFromEPSG(wgs84, 4326) == OGRERR_NONE &&
                    GDALSetGeoTransform(dataset.get(), transform) == CE_None &&
                    GDALSetSpatialRef(dataset.get(), wgs84) == CE_None;
  OSRDestroySpatialReference(wgs84);
  for (int b = 0; referenced && b < static_cast<int>(bands.size()); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset.get(), b + 1);
    referenced = GDALSetRasterNoDataValue(band, kMapNoData) == CE_None &&
                 describeBand(band, bands[static_cast<std::size_t>(b)]);
  }
  return referenced;
}

// The map as an in-memory dataset over its values.
Dataset memoryDataset(const FloatGrid& grid, const BandDescription& band, const MapGeoreference& g) {
  Dataset dataset(GDALCreate(GDALGetDriverByName("MEM"), "", grid.columns, grid.rows, 0, GDT_Float32, nullptr));
  if (dataset && !(addBand(dataset, grid.values) && reference(dataset, g, std::span(&band, 1)))) dataset.reset();
  return dataset;
}

// The side of the square tiles of the bands kept apart.
constexpr int kBandTile = 512;
// The bands' files GDAL holds open at once while it reads them (its pool of datasets, each with
// a tile's buffer): a few, whatever the bands.
constexpr int kPooledSources = 8;

// Stored values as a tiled, compressed single-band GeoTIFF at path, written tile by tile past
// GDAL's cache of blocks: memory is one tile.
bool writeBandFile(const std::filesystem::path& path, int columns, int rows, std::span<const std::int16_t> stored) {
  CPLStringList options;
  options.SetNameValue("TILED", "YES");
  options.SetNameValue("BLOCKXSIZE", std::to_string(kBandTile).c_str());
  options.SetNameValue("BLOCKYSIZE", std::to_string(kBandTile).c_str());
  options.SetNameValue("COMPRESS", "DEFLATE");
  options.SetNameValue("ZLEVEL", "1");
  const Dataset dataset(GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), columns, rows, 1, GDT_Float32,
                                   options.List()));
  if (!dataset) return false;
  GDALRasterBandH band = GDALGetRasterBand(dataset.get(), 1);
  std::vector<float> tile(static_cast<std::size_t>(kBandTile) * kBandTile);
  for (int top = 0; top < rows; top += kBandTile) {
    for (int left = 0; left < columns; left += kBandTile) {
      const int width = std::min(kBandTile, columns - left);
      for (int r = 0; r < std::min(kBandTile, rows - top); ++r) {
        const auto row = stored.subspan(static_cast<std::size_t>(top + r) * static_cast<std::size_t>(columns) +
                                            static_cast<std::size_t>(left),
                                        static_cast<std::size_t>(width));
        std::ranges::transform(row, tile.begin() + static_cast<std::ptrdiff_t>(r) * kBandTile, bandValueOf);
      }
      if (GDALWriteBlock(band, left / kBandTile, top / kBandTile, tile.data()) != CE_None) return false;
    }
  }
  return true;
}

// The bands' files as the bands of one virtual dataset; GDAL opens each only while it reads it.
Dataset virtualDataset(int columns, int rows, std::span<const core::StagedOutputPath> files) {
  const CPLConfigOptionSetter pool("GDAL_MAX_DATASET_POOL_SIZE", std::to_string(kPooledSources).c_str(), false);
  Dataset dataset(VRTCreate(columns, rows));
  for (std::size_t b = 0; dataset && b < files.size(); ++b) {
    auto* source = reinterpret_cast<GDALProxyPoolDataset*>(GDALProxyPoolDatasetCreate(
        files[b].temporary().c_str(), columns, rows, GA_ReadOnly, FALSE, nullptr, nullptr));
    GDALProxyPoolDatasetAddSrcBandDescription(reinterpret_cast<GDALProxyPoolDatasetH>(source), GDT_Float32, kBandTile,
                                              kBandTile);
    const bool added =
        VRTAddBand(dataset.get(), GDT_Float32, nullptr) == CE_None &&
        VRTAddSimpleSource(GDALGetRasterBand(dataset.get(), static_cast<int>(b) + 1),
                           GDALGetRasterBand(GDALDataset::ToHandle(source), 1), 0, 0, columns, rows, 0, 0, columns,
                           rows, nullptr, VRT_NODATA_UNSET) == CE_None;
    GDALDereferenceDataset(GDALDataset::ToHandle(source));
    if (!added) dataset.reset();
  }
  return dataset;
}

bool writeCog(const Dataset& source, const std::filesystem::path& path) {
  char** options = CSLSetNameValue(nullptr, "COMPRESS", "DEFLATE");
  Dataset written(
      GDALCreateCopy(GDALGetDriverByName("COG"), path.c_str(), source.get(), FALSE, options, killPoint, nullptr));
  CSLDestroy(options);
  return written != nullptr;
}

core::Status geoTiffFailure(const std::filesystem::path& target, std::string reason) {
  return core::Status(core::Problem::GeoTiffNotWritten, target, {.reason = std::move(reason)});
}

core::Status openOutput(core::StagedOutputPath& output, const std::filesystem::path& target) {
  if (core::Status s = output.open(target); !s) {
    return s.problem == core::Problem::OutputIsFolder ? s : geoTiffFailure(target, s.details.reason);
  }
  return {};
}

// GDAL's cache of decoded blocks held to kBlockCacheBytes while it makes a COG: the blocks it
// reads of bands kept in files would otherwise stay in memory, up to a share of the machine's.
constexpr GIntBig kBlockCacheBytes = GIntBig{8} << 20;

class BlockCacheLimit {
 public:
  BlockCacheLimit() : previous_(GDALGetCacheMax64()) { GDALSetCacheMax64(std::min(previous_, kBlockCacheBytes)); }
  ~BlockCacheLimit() { GDALSetCacheMax64(previous_); }
  BlockCacheLimit(const BlockCacheLimit&) = delete;
  BlockCacheLimit& operator=(const BlockCacheLimit&) = delete;

 private:
  GIntBig previous_;
};

// The COG of the dataset source() makes, written to output and renamed over its target with the
// style of classes beside it.
core::Status commitCog(core::StagedOutputPath& output, const std::optional<viewer::ClassScale>& classes,
                       const std::function<Dataset()>& source) {
  core::OutputFile style;
  if (classes) {
    if (core::Status s = style.open(qgisStylePathBeside(output.target())); !s) return s;
    if (core::Status s = style.write(qgisStyle(*classes)); !s) return s;
  }
  {
    const GdalSession gdal(GdalSession::WorkFiles::InMemory);
    const BlockCacheLimit cache;
    const Dataset dataset = source();
    if (!dataset || !writeCog(dataset, output.temporary()) || gdal.failed()) {
      return geoTiffFailure(output.target(), gdal.reason());
    }
  }
  if (core::Status s = output.commit(); !s) return s;
  return classes ? style.commit() : core::Status{};
}

}  // namespace

MapGeoreference csvCellCentres(const core::CellGrid& grid) noexcept {
  const double width = exports::cellStepDegrees(grid.cellWidth);
  const double height = exports::cellStepDegrees(grid.cellHeight);
  return {exports::cellLongitudeDegrees(grid.westLon, grid.cellWidth, 0) - width / 2,
          exports::cellLatitudeDegrees(grid.northLat, grid.cellHeight, 0) + height / 2, width, height};
}

std::vector<float> storedToBandValues(std::span<const std::int16_t> stored) {
  std::vector<float> values(stored.size());
  std::ranges::transform(stored, values.begin(), bandValueOf);
  return values;
}

core::Status writeGeoTiffMap(const std::filesystem::path& target, const FloatGrid& grid,
                             const MapGeoreference& georeference, const BandDescription& band) {
  const auto cells = static_cast<std::size_t>(std::max(grid.columns, 0)) * static_cast<std::size_t>(std::max(grid.rows, 0));
  if (cells == 0 || grid.values.size() != cells) return geoTiffFailure(target, {});
  core::StagedOutputPath output;
  if (core::Status s = openOutput(output, target); !s) return s;
  return commitCog(output, band.classes, [&] { return memoryDataset(grid, band, georeference); });
}

core::Status GeoTiffBandWriter::failure(std::string reason) const { return geoTiffFailure(output_.target(), std::move(reason)); }

core::Status GeoTiffBandWriter::open(const std::filesystem::path& target, int columns, int rows,
                                     const MapGeoreference& georeference) {
  if (columns <= 0 || rows <= 0) return geoTiffFailure(target, {});
  if (core::Status s = openOutput(output_, target); !s) return s;
  columns_ = columns;
  rows_ = rows;
  georeference_ = georeference;
  return {};
}

core::Status GeoTiffBandWriter::add(std::span<const std::int16_t> stored, const BandDescription& band) {
  if (stored.size() != static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) return failure({});
  if (!core::canHoldOpen(files_.size() + 1 + static_cast<std::size_t>(kPooledSources))) return failure(core::systemReason(EMFILE));
  core::StagedOutputPath file;
  if (core::Status s = file.open(output_.target()); !s) return failure(s.details.reason);
  {
    const GdalSession gdal(GdalSession::WorkFiles::InMemory);
    if (!writeBandFile(file.temporary(), columns_, rows_, stored) || gdal.failed()) return failure(gdal.reason());
  }
  files_.push_back(std::move(file));
  descriptions_.push_back(band);
  core::testKillPoint();
  return {};
}

core::Status GeoTiffBandWriter::commit() {
  if (files_.empty()) return failure({});
  const core::Status written = commitCog(output_, descriptions_.front().classes, [&] {
    Dataset dataset = virtualDataset(columns_, rows_, files_);
    if (dataset && !reference(dataset, georeference_, descriptions_)) dataset.reset();
    return dataset;
  });
  files_.clear();
  descriptions_.clear();
  return written;
}

}  // namespace ombrix::gis
