#include "gis/geotiff_map.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/fault_injection.h"
#include "core/output_file.h"
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

// The bands as an in-memory dataset with the georeference, each band's nodata value and
// description.
Dataset memoryDataset(int columns, int rows, std::span<const MapBand> bands, const MapGeoreference& g) {
  Dataset dataset(GDALCreate(GDALGetDriverByName("MEM"), "", columns, rows, 0, GDT_Float32, nullptr));
  if (!dataset) return dataset;
  bool added = true;
  for (const MapBand& band : bands) added = added && addBand(dataset, band.values);
  double transform[6] = {g.westEdge, g.cellWidth, 0, g.northEdge, 0, -g.cellHeight};
  OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
  bool referenced = added && OSRImportFromEPSG(wgs84, 4326) == OGRERR_NONE &&
                    GDALSetGeoTransform(dataset.get(), transform) == CE_None &&
                    GDALSetSpatialRef(dataset.get(), wgs84) == CE_None;
  OSRDestroySpatialReference(wgs84);
  for (int b = 0; referenced && b < static_cast<int>(bands.size()); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset.get(), b + 1);
    referenced = GDALSetRasterNoDataValue(band, kMapNoData) == CE_None &&
                 describeBand(band, bands[static_cast<std::size_t>(b)].description);
  }
  if (!referenced) dataset.reset();
  return dataset;
}

bool writeCog(const Dataset& source, const std::filesystem::path& path) {
  char** options = CSLSetNameValue(nullptr, "COMPRESS", "DEFLATE");
  Dataset written(
      GDALCreateCopy(GDALGetDriverByName("COG"), path.c_str(), source.get(), FALSE, options, killPoint, nullptr));
  CSLDestroy(options);
  return written != nullptr;
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
  for (std::size_t i = 0; i < stored.size(); ++i) {
    values[i] = stored[i] < 0 ? kMapNoData : static_cast<float>(stored[i] * 0.1);
  }
  return values;
}

core::Status writeGeoTiffMap(const std::filesystem::path& target, const FloatGrid& grid,
                             const MapGeoreference& georeference, const BandDescription& band) {
  const MapBand bands[] = {{grid.values, band}};
  return writeGeoTiffBands(target, grid.columns, grid.rows, bands, georeference);
}

core::Status writeGeoTiffBands(const std::filesystem::path& target, int columns, int rows,
                               std::span<const MapBand> bands, const MapGeoreference& georeference) {
  const auto failure = [&](std::string reason) {
    return core::Status(core::Problem::GeoTiffNotWritten, target, {.reason = std::move(reason)});
  };
  const auto cells = static_cast<std::size_t>(std::max(columns, 0)) * static_cast<std::size_t>(std::max(rows, 0));
  if (cells == 0 || bands.empty() ||
      std::ranges::any_of(bands, [cells](const MapBand& band) { return band.values.size() != cells; })) {
    return failure({});
  }
  core::StagedOutputPath output;
  if (core::Status s = output.open(target); !s) {
    return s.problem == core::Problem::OutputIsFolder ? s : failure(s.details.reason);
  }
  const std::optional<viewer::ClassScale>& classes = bands.front().description.classes;
  core::OutputFile style;
  if (classes) {
    if (core::Status s = style.open(qgisStylePathBeside(target)); !s) return s;
    if (core::Status s = style.write(qgisStyle(*classes)); !s) return s;
  }
  {
    const GdalSession gdal(GdalSession::WorkFiles::InMemory);
    const Dataset source = memoryDataset(columns, rows, bands, georeference);
    if (!source || !writeCog(source, output.temporary()) || gdal.failed()) return failure(gdal.reason());
  }
  if (core::Status s = output.commit(); !s) return s;
  return classes ? style.commit() : core::Status{};
}

}  // namespace ombrix::gis
