#pragma once
// Accumulated and maximum rainfall over a range of frames of an open file, one frame read at
// a time, and the label of such a map.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/operation_callbacks.h"
#include "core/problem.h"
#include "core/rmd_dataset.h"

namespace ombrix::viewer {

// Called while a range s..e is folded: one step of steps before every frame k (pending
// user-interface events run, progress(k - s, e - s + 1), then the question whether to stop), and
// frameFolded(k, partial field) after frame k is folded.
struct FoldCallbacks {
  core::OperationCallbacks steps;
  std::function<void(int frame, std::span<const std::int16_t> partial)> frameFolded;
};

// Checks a range s..e of frames: s < e, both within the file (NoFileOpen for a dataset that
// names no file).
core::Status checkFrameRange(const core::RmdDataset& file, int s, int e);

// Sum of frames s..e into result (row-major, gridCols x gridRows): frame s copied as it is,
// negative values included; later frames add only their values above 0. A sum beyond 32767
// stays at 32767. The frames are read through file, which the caller keeps as it is while the
// fold yields: a dataset of its own, so that a file opened meanwhile does not mix in. On a
// refusal or a cancel (Problem::Cancelled) result is unchanged.
core::Status accumulateFrames(core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& result,
                              const FoldCallbacks& callbacks = {});

// Maximum of frames s..e: frame s with negative values as 0, then every strictly greater value.
core::Status maximumOfFrames(core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& result,
                             const FoldCallbacks& callbacks = {});

enum class RangeFold { Sum, Maximum };

// The label of a folded map, which names its CSV file: the stamps of frames s and e followed by
// "-SUM" or "-MAX" (a duration maximum's ends in durationSuffix instead).
std::string rangeLabel(const core::TimeStamp& first, const core::TimeStamp& last, RangeFold fold);
std::string rangeLabel(const core::RmdDataset& file, int s, int e, RangeFold fold);
// The end of a duration maximum's label: "-MAX<H>H".
std::string durationSuffix(int hours);

// "Sum or maximum of a range with its label", as both front ends show it: accumulateFrames or
// maximumOfFrames as fold says into cells, and label set by rangeLabel. On a refusal cells and
// label are unchanged.
core::Status foldLabelled(RangeFold fold, core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& cells,
                          std::string& label, const FoldCallbacks& callbacks = {});

}  // namespace ombrix::viewer
