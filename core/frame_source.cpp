#include "core/frame_source.h"

namespace ombrix::core {

FrameRequest frameRequestOf(const ArchiveSelection& selection) {
  FrameRequest request;
  request.period = selection.period.dates;
  request.area = selection.area;
  request.areaName = selection.areaName;
  request.archiveFiles = selection.period.files;
  return request;
}

Status ArchiveFrames::plan(const AreaBounds& area, AreaFrameLayout& layout) {
  if (Status s = checkCatalogue(request_.archiveFiles, request_.period); !s) return s;
  if (Status s = planPeriodAndArea(request_.period, area, layout); !s) return s;
  if (Status s = readReferenceGrid(request_.archiveFiles, layout.grid); !s) return s;
  return fitAreaWindow(area, layout);
}

Status ArchiveFrames::stream(const AreaFrameLayout& layout, const OperationCallbacks& callbacks,
                             const AreaFrameSink& sink) {
  return streamAreaFrames(request_.archiveFiles, layout, callbacks, sink);
}

Status streamEverySlot(FrameSource& source, const AreaFrameLayout& layout, const SlotClock& clock,
                       const OperationCallbacks& callbacks, const AreaFrameSink& sink) {
  std::vector<std::int16_t> noData;
  std::int64_t next = 0;
  const auto fillTo = [&](std::int64_t slot) {
    if (next < slot && noData.empty()) noData.assign(layout.frameCellCount(), -1);
    for (; next < slot; ++next) {
      if (Status s = sink(next, clock.slotTime(static_cast<int>(next)), noData); !s) return s;
    }
    return Status();
  };
  const Status streamed =
      source.stream(layout, callbacks, [&](std::int64_t k, const TimeStamp& stamp, std::span<const std::int16_t> cells) {
        if (Status s = fillTo(k); !s) return s;
        ++next;
        return sink(k, frameTime(stamp, clock.slotTime(static_cast<int>(k))), cells);
      });
  return streamed ? fillTo(layout.frameCount()) : streamed;
}

}  // namespace ombrix::core
