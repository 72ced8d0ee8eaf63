#pragma once
// The frames of the area window: the checks of the period and the area, the grid check over
// every archive file of the period, and one pass that decodes each kept record and hands on the
// cells of the area window (or only those a consumer reads) as frame k = f x S + j with the
// record's stamp. The RMD writer, the NetCDF export and the analyses consume this stream; memory
// stays at two archive files, a row of the grid and a few runs of frames, whatever the period.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/operation_callbacks.h"
#include "core/period_check.h"
#include "core/problem.h"
#include "core/rap_archive.h"
#include "core/region_table.h"
#include "core/rmd_file.h"
#include "core/time_stamp.h"

namespace ombrix::core {

struct AreaFrameLayout {
  GridDescription grid;  // the reference: the first archive file's
  AreaWindow window;
  // The header of the window (edges, size, step fields); frameCount is left to the writer.
  RmdHeader header;
  int framesPerDay = 0;  // S
  int eraDivisor = 0;    // k of the step fields
  std::int64_t days = 0;
  // The figure of the earth the source's grid definition names, as a GRIB2 shape-of-the-earth
  // code (code table 3.2); 255 where the source names none (the archive's files).
  int earthShapeCode = 255;
  // Set between plan and stream by a consumer that reads only some cells of each frame: those
  // cells, as row-major indices of the window in strictly ascending order. Every frame then holds
  // these cells only, in this order; empty: every cell of the window.
  std::vector<std::uint32_t> cellsRead;
  // Set between plan and stream by a consumer of whole windows that wants them decoded on two
  // worker threads a few frames ahead of it, as a list of cells always is, rather than on its own
  // thread between its frames. No consumer of the program sets it: on the 2-core machine a whole
  // 全国 frame cost more to hand from one core to the other than to decode row by row, for the RMD
  // writer, the NetCDF cube and the duration maxima alike (docs/performance.md, where the
  // benchmarks that set it are named).
  bool wholeWindowsAhead = false;
  std::int64_t frameCount() const noexcept { return days * framesPerDay; }
  std::size_t frameCellCount() const noexcept { return cellsRead.empty() ? header.cellCount() : cellsRead.size(); }
};

// The checks that need no input file: a period of calendar days, the end not before the start,
// and an area whose edges are in order. Decides days, framesPerDay and eraDivisor.
Status planPeriodAndArea(const PeriodDates& period, const AreaBounds& area, AreaFrameLayout& layout);

// The archive's check before planPeriodAndArea: a catalogue that fits the period.
Status checkCatalogue(const std::vector<std::string>& archiveFiles, const PeriodDates& period);

// Reads every archive file's header: all must share the first file's grid.
Status readReferenceGrid(const std::vector<std::string>& files, GridDescription& reference);

// The window of area on layout.grid: the grid must overlap the area and have step fields that
// fit. Decides the window and the header.
Status fitAreaWindow(const AreaBounds& area, AreaFrameLayout& layout);

// Receives frame k (row-major window cells, or the layout's cellsRead) with the stamp of the
// record it came from.
using AreaFrameSink =
    std::function<Status(std::int64_t k, const TimeStamp& stamp, std::span<const std::int16_t> cells)>;

// Decodes every kept record of the files (at most S per file) and hands on its window (or the
// layout's cellsRead) in order: on two worker threads a few runs of records ahead when the layout
// lists cells or asks for wholeWindowsAhead, else on the caller's thread between frames; the sink
// and the callbacks run on the caller's thread. One step of callbacks per archive file, before
// its first frame is handed on: (files begun, file count). Stops at the first failure in order (a
// file that cannot be read or decoded, the sink's), and when the caller cancels.
Status streamAreaFrames(const std::vector<std::string>& files, const AreaFrameLayout& layout,
                        const OperationCallbacks& callbacks, const AreaFrameSink& sink);

}  // namespace ombrix::core
