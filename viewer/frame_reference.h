#pragma once
// A frame as a user names it in a command: by its 0-based number ("12") or by the stored, local
// time of its stamp ("2005-07-02T12:30"). A range of frames is "S:E", each end named either way.
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "core/problem.h"
#include "core/rmd_dataset.h"
#include "core/time_stamp.h"

namespace ombrix::viewer {

struct FrameReference {
  std::optional<int> number;  // named by number
  core::TimeStamp time;       // named by time, when there is no number
  bool operator==(const FrameReference&) const = default;
};

// A whole number, or "YYYY-MM-DDThh:mm" (or "YYYY-MM-DD hh:mm", as info prints it) of a real
// date, an hour 0-23 and a minute 0-59, or 24:00; nothing for any other text. An impossible time
// is thus no frame reference at all (a usage error), never a time the file merely lacks.
std::optional<FrameReference> parseFrameReference(std::string_view text);

// "S:E" split at the colon that leaves a frame reference on either side; nothing when there is
// no such colon.
std::optional<std::pair<std::string_view, std::string_view>> splitFrameRange(std::string_view text);

// The number of the referenced frame in the open file: a number inside the frame index as it is,
// a time as the first frame stamped with it. Refused with a message that shows which frames the
// file holds, frame unchanged, when there is no such frame.
core::Status resolveFrame(std::span<const core::FrameIndexEntry> frames, const FrameReference& reference, int& frame);
// The same in an open file; NoFileOpen for a dataset that names no file.
core::Status resolveFrame(const core::RmdDataset& file, const FrameReference& reference, int& frame);

}  // namespace ombrix::viewer
