#include "viewer/frame_accumulation.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/rmd_file.h"
#include "viewer/frame_loading.h"

namespace ombrix::viewer {

namespace {

constexpr int kLargestSum = 32767;

void startSum(const std::vector<std::int16_t>& frame, std::vector<std::int16_t>& field) { field = frame; }

// Adds the positive values; the sum stops at 32767 (a saturating add, as rain is never negative).
void addToSum(const std::vector<std::int16_t>& frame, std::vector<std::int16_t>& field) {
  const std::size_t n = field.size();
  const std::int16_t* in = frame.data();
  std::int16_t* out = field.data();
  std::size_t i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i rain = _mm_max_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), zero);
    __m128i* sum = reinterpret_cast<__m128i*>(out + i);
    _mm_storeu_si128(sum, _mm_adds_epi16(_mm_loadu_si128(sum), rain));
  }
#endif
  for (; i < n; ++i) {
    const int rain = std::max<int>(in[i], 0);
    out[i] = static_cast<std::int16_t>(std::min(out[i] + rain, kLargestSum));
  }
}

void startMaximum(const std::vector<std::int16_t>& frame, std::vector<std::int16_t>& field) {
  field.resize(frame.size());
  for (std::size_t i = 0; i < frame.size(); ++i) field[i] = std::max<std::int16_t>(frame[i], 0);
}

void raiseMaximum(const std::vector<std::int16_t>& frame, std::vector<std::int16_t>& field) {
  const std::size_t n = field.size();
  for (std::size_t i = 0; i < n; ++i) field[i] = std::max(field[i], frame[i]);
}

using Fold = void (*)(const std::vector<std::int16_t>& frame, std::vector<std::int16_t>& field);

// Reads frames s..e one at a time into one buffer and folds each into the field.
core::Status foldFrames(core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& result,
                        const FoldCallbacks& callbacks, Fold first, Fold later) {
  if (core::Status status = checkFrameRange(file, s, e); !status) return status;
  std::vector<std::int16_t> frame;
  std::vector<std::int16_t> field;
  for (int k = s; k <= e; ++k) {
    if (core::Status status = callbacks.steps.step(k - s, e - s + 1); !status) return status;
    if (core::Status status = file.readFrame(k, frame); !status) return status;
    (k == s ? first : later)(frame, field);
    if (callbacks.frameFolded) callbacks.frameFolded(k, field);
  }
  result = std::move(field);
  return {};
}

}  // namespace

core::Status checkFrameRange(const core::RmdDataset& file, int s, int e) {
  if (s == e) return {core::Problem::ChooseDifferentTimes};
  if (s > e) return {core::Problem::TimesNotInOrder};
  if (!file.isOpen()) return {core::Problem::NoFileOpen};
  if (s < 0 || e >= file.frameCount()) return {core::Problem::FrameNotInFile};
  return {};
}

core::Status accumulateFrames(core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& result,
                              const FoldCallbacks& callbacks) {
  return foldFrames(file, s, e, result, callbacks, startSum, addToSum);
}

core::Status maximumOfFrames(core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& result,
                             const FoldCallbacks& callbacks) {
  return foldFrames(file, s, e, result, callbacks, startMaximum, raiseMaximum);
}

namespace {
const char* foldSuffix(RangeFold fold) noexcept { return fold == RangeFold::Sum ? "-SUM" : "-MAX"; }
}  // namespace

std::string rangeLabel(const core::TimeStamp& first, const core::TimeStamp& last, RangeFold fold) {
  return frameStamp(first) + frameStamp(last) + foldSuffix(fold);
}

std::string rangeLabel(const core::RmdDataset& file, int s, int e, RangeFold fold) {
  return frameStamp(file, s) + frameStamp(file, e) + foldSuffix(fold);
}

std::string durationSuffix(int hours) {
  return foldSuffix(RangeFold::Maximum) + std::to_string(hours) + "H";
}

core::Status foldLabelled(RangeFold fold, core::RmdDataset& file, int s, int e, std::vector<std::int16_t>& cells,
                          std::string& label, const FoldCallbacks& callbacks) {
  std::vector<std::int16_t> field;
  const core::Status status = fold == RangeFold::Sum ? accumulateFrames(file, s, e, field, callbacks)
                                                     : maximumOfFrames(file, s, e, field, callbacks);
  if (!status) return status;
  cells = std::move(field);
  label = rangeLabel(file, s, e, fold);
  return status;
}

}  // namespace ombrix::viewer
