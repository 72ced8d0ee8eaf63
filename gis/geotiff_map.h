#pragma once
// Maps as a Cloud Optimized GeoTIFF: a Float32 band per map, DEFLATE-compressed, in EPSG:4326,
// written unnamed (or under a temporary name) and renamed over the target when complete.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/output_file.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "viewer/intensity_classes.h"

namespace ombrix::gis {

inline constexpr float kMapNoData = -1.0f;

// Where a grid lies in degrees: the outer corner of its north-west cell and the cell size.
struct MapGeoreference {
  double westEdge = 0;
  double northEdge = 0;
  double cellWidth = 0;
  double cellHeight = 0;
};

// The georeference that puts every cell centre at the Keido and Ido the CSV exports write for
// it (in double precision): origin (Keido0 - dKeido/2, Ido0 + dIdo/2).
MapGeoreference csvCellCentres(const core::CellGrid& grid) noexcept;

// Row-major from the north-west cell; values equal to kMapNoData are nodata.
struct FloatGrid {
  int columns = 0;
  int rows = 0;
  std::span<const float> values;
};

// Stored values (0.1 mm/h or 0.1 mm) in the band's unit: value x 0.1, negatives as kMapNoData.
std::vector<float> storedToBandValues(std::span<const std::int16_t> stored);

// What the band holds, as GIS programs show it: the band's description and unit, and the
// metadata items TIME_JST, TIME_UTC and SOURCE. With classes, the style of those classes is
// written beside the map (see qgis_style.h), committed with it.
struct BandDescription {
  std::string description;
  std::string unit;
  std::string timeJst;
  std::string timeUtc;
  std::string source;
  std::optional<viewer::ClassScale> classes;
};

core::Status writeGeoTiffMap(const std::filesystem::path& target, const FloatGrid& grid,
                             const MapGeoreference& georeference, const BandDescription& band = {});

// A file of several maps written a band at a time: each band added is kept compressed in an
// unnamed file beside the target (see core::StagedOutputPath), not in memory, and commit() makes
// the COG of them all. Adding a band costs a tile of memory; GDAL, making the COG's tiles of all
// the bands (interleaved pixel by pixel) and their overviews, holds a part of every band at once
// (measured: about 2 MB a band on the 1 km national grid). Nothing is written to the target
// before commit(), and a writer dropped before leaves no file.
class GeoTiffBandWriter {
 public:
  // Refused: no cell, or a target that cannot be written (a folder).
  core::Status open(const std::filesystem::path& target, int columns, int rows, const MapGeoreference& georeference);
  // Band 1, 2, ...: stored values (row-major, 0.1 mm or 0.1 mm/h) in the band's unit as
  // storedToBandValues gives them, and what the band holds.
  core::Status add(std::span<const std::int16_t> stored, const BandDescription& band);
  // The bands as one file, each with its own description and metadata; the style written beside
  // it (when the first band has classes) is the first band's. Refused without a band.
  core::Status commit();

 private:
  core::Status failure(std::string reason) const;

  core::StagedOutputPath output_;
  int columns_ = 0;
  int rows_ = 0;
  MapGeoreference georeference_;
  std::vector<core::StagedOutputPath> files_;  // each band alone, a compressed tiled GeoTIFF
  std::vector<BandDescription> descriptions_;
};

}  // namespace ombrix::gis
