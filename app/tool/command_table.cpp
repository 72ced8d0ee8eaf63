#include "app/tool/command_table.h"

#include <array>

namespace ombrix::tool {

namespace {

constexpr std::array kCommands{
    ToolCommand{"areal", "areal mean rainfall of each polygon of a vector file, frame by frame", defineAreal},
    ToolCommand{"export-duration-max", "GeoTIFF of each cell's largest H-hour depth, by year or month with --by",
                defineExportDurationMax},
    ToolCommand{"export-frame", "CSV of one frame, beside the RMD file", defineExportFrame},
    ToolCommand{"export-geotiff", "Cloud Optimized GeoTIFF of a frame, an accumulation or a maximum",
                defineExportGeoTiff},
    ToolCommand{"export-max", "CSV of the maximum rain rate over a range of frames", defineExportMax},
    ToolCommand{"export-netcdf", "NetCDF-CF file of an RMD file's frames or straight from the archive",
                defineExportNetcdf},
    ToolCommand{"export-period", "one CSV file per day and FileList.txt, in a new folder", defineExportPeriod},
    ToolCommand{"export-sum", "CSV of the rainfall accumulated over a range of frames", defineExportSum},
    ToolCommand{"import-grib2", "analysed 1 km rainfall GRIB2 files as daily archive files", defineImportGrib2},
    ToolCommand{"info", "header, frame times and empty frames of a preprocessed file", defineInfo},
    ToolCommand{"make-sample", "the sample archive from the real rainfall fields", defineMakeSample},
    ToolCommand{"preprocess", "an RMD file from the archive for a region and a period of days", definePreprocess},
    ToolCommand{"render", "the map as the viewer draws it, as a PNG picture", defineRender},
    ToolCommand{"series", "rain rate of one cell in every frame", defineSeries},
    ToolCommand{"table", "rainfall table of one cell from a CSV set made by export-period", defineTable},
};

}  // namespace

std::span<const ToolCommand> commandTable() { return kCommands; }

}  // namespace ombrix::tool
