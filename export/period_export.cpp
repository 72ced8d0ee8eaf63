#include "export/period_export.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <set>
#include <vector>

#include "core/number_text.h"
#include "core/output_file.h"
#include "core/progress_step.h"
#include "core/region_table.h"
#include "core/rmd_file.h"
#include "export/csv_file_writer.h"
#include "export/csv_number_format.h"
#include "export/point_table.h"
#include "viewer/frame_loading.h"

namespace ombrix::exports {

namespace {

namespace fs = std::filesystem;

// Cells read per frame at a time: bounds memory at framesPerDay x 128 KiB whatever the grid.
constexpr std::size_t kCellsPerChunk = std::size_t{1} << 16;

bool nameTaken(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// Renames the finished set to its name unless something of that name has appeared meanwhile.
bool renameIfFree(const fs::path& from, const fs::path& to, bool& taken) {
  taken = false;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) {
    taken = true;
    return false;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (nameTaken(to)) {
    taken = true;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The temporary folder the set is built in, removed with its contents unless it was renamed.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const fs::path& target) : path_(core::temporarySibling(target)) {
    core::removeStaleTemporaries(target);
  }
  ~TemporaryFolder() {
    if (!path_.empty()) {
      std::error_code ignored;
      fs::remove_all(path_, ignored);
    }
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  bool create() { return ::mkdir(path_.c_str(), 0777) == 0; }
  const fs::path& path() const noexcept { return path_; }
  void release() noexcept { path_.clear(); }

 private:
  fs::path path_;
};

// The files of the set. Each is written as an unnamed file beside the target and held open;
// only when all are complete is the temporary folder made, the files named in it and the folder
// renamed to the target, so a killed export leaves nothing. Where the file system cannot make
// unnamed files, or more files would be open than allowed, the folder is made first and each
// file is named in it as soon as it is complete.
class SetFiles {
 public:
  SetFiles(const fs::path& target, std::size_t count)
      : target_(target),
        work_(target),
        unnamed_(core::canHoldOpen(count) && core::canMakeUnnamedFiles(target.parent_path())) {}

  // Makes the temporary folder now unless the files are held unnamed.
  core::Status begin() { return unnamed_ ? core::Status{} : createFolder(); }
  core::Status open(CsvFileWriter& out, std::string_view name) {
    if (!unnamed_) return out.open(work_.path() / name, target_ / name);
    return out.openUnnamedIn(target_.parent_path(), work_.path() / name, target_ / name);
  }
  core::Status finish(CsvFileWriter& out) {
    if (!unnamed_) return out.finish();
    return out.complete(held_.emplace_back());
  }

  // Renames the temporary folder, the held files named in it first, to the target unless
  // something of that name has appeared meanwhile.
  core::Status publish() {
    if (core::Status s = nameHeldFiles(); !s) return s;
    bool taken = false;
    if (!renameIfFree(work_.path(), target_, taken)) {
      return {taken ? core::Problem::ExportTargetExists : core::Problem::CannotCreateFolder, target_};
    }
    work_.release();
    return {};
  }

 private:
  core::Status createFolder() {
    if (work_.create()) return {};
    return core::Status{core::Problem::CannotCreateFolder, target_};
  }

  core::Status nameHeldFiles() {
    if (!unnamed_) return {};
    if (core::Status s = createFolder(); !s) return s;
    for (core::OutputFile& file : held_) {
      if (core::Status s = file.commit(); !s) return {s.problem, target_ / file.target().filename(), s.details};
    }
    return {};
  }

  fs::path target_;
  TemporaryFolder work_;
  bool unnamed_;
  std::vector<core::OutputFile> held_;
};

// What the export needs of the open file, copied when it starts: the file open in the program
// may change while the export yields.
struct SetPlan {
  fs::path rmdPath;
  core::RmdHeader header;
  core::CellGrid grid;
  std::vector<std::int32_t> frameOffsets;
  std::vector<std::string> dayFileNames;  // one per whole block
  std::vector<std::string> headerLines;
  int framesPerDay = 0;
  int progressStep = 0;
};

SetPlan planSet(const core::RmdDataset& file, int progressWidth) {
  SetPlan plan;
  plan.rmdPath = file.path();
  plan.header = file.header();
  plan.grid = file.grid();
  const std::span<const core::FrameIndexEntry> index = file.frames();
  const int frames = file.frameCount();
  for (const core::FrameIndexEntry& entry : index) plan.frameOffsets.push_back(entry.frameOffset);
  plan.framesPerDay = core::framesPerDay(index[0].stamp.year, index[0].stamp.month);
  plan.progressStep = core::progressStep(progressWidth, frames, plan.framesPerDay);
  const int blocks = frames / plan.framesPerDay;
  for (int b = 0; b < blocks; ++b) {
    const int first = b * plan.framesPerDay;
    plan.dayFileNames.push_back(viewer::frameStamp(file, first).substr(0, 8) + ".CSV");
    std::string line = "ID,M,N,Keido,Ido";
    for (int k = first; k < first + plan.framesPerDay; ++k) {
      const core::TimeStamp& time = index[static_cast<std::size_t>(k)].stamp;
      line.append(",").append(core::twoDigits(time.hour)).append(":").append(core::twoDigits(time.minute));
    }
    plan.headerLines.push_back(std::move(line));
  }
  return plan;
}

// Writes the day files, then "FileList.txt", as the files of the set.
class SetWriter {
 public:
  SetWriter(const SetPlan& plan, SetFiles& files) : plan_(plan), files_(files), fields_(plan.grid) {}

  core::Status open() { return frames_.open(plan_.rmdPath); }

  core::Status writeDay(std::size_t block) {
    const std::string& name = plan_.dayFileNames[block];
    CsvFileWriter out;
    if (core::Status s = files_.open(out, name); !s) return s;
    out.appendLine(plan_.headerLines[block]);
    const std::size_t cells = plan_.header.cellCount();
    for (std::size_t first = 0; first < cells && !out.failed(); first += kCellsPerChunk) {
      const std::size_t count = std::min(kCellsPerChunk, cells - first);
      if (core::Status s = readChunk(block, first, count); !s) return s;
      writeLines(out, first, count);
    }
    return files_.finish(out);
  }

  core::Status writeList() {
    CsvFileWriter out;
    if (core::Status s = files_.open(out, kFileListName); !s) return s;
    for (const std::string& name : plan_.dayFileNames) out.appendLine(name);
    return files_.finish(out);
  }

 private:
  // The cells first .. first + count - 1 of every frame of the block, one read per frame.
  core::Status readChunk(std::size_t block, std::size_t first, std::size_t count) {
    const auto perDay = static_cast<std::size_t>(plan_.framesPerDay);
    chunk_.resize(perDay);
    for (std::size_t f = 0; f < perDay; ++f) {
      const std::int32_t offset = plan_.frameOffsets[block * perDay + f];
      if (core::Status s = frames_.read(plan_.header, offset, {first, count}, chunk_[f]); !s) return s;
    }
    return {};
  }

  void writeLines(CsvFileWriter& out, std::size_t first, std::size_t count) {
    const int perDay = plan_.framesPerDay;
    const std::size_t lineLength = fields_.maxLength() + 7 * static_cast<std::size_t>(perDay) + kCommaValueSlack + 2;
    int row = static_cast<int>(first / static_cast<std::size_t>(fields_.columns()));
    int column = static_cast<int>(first % static_cast<std::size_t>(fields_.columns()));
    for (std::size_t i = 0; i < count; ++i) {
      char* end = fields_.write(out.room(lineLength), row, column);
      for (const std::vector<std::int16_t>& frame : chunk_) end = writeCommaValue(end, frame[i]);
      *end++ = '\r';
      *end++ = '\n';
      out.advance(end);
      if (++column == fields_.columns()) {
        column = 0;
        ++row;
      }
    }
  }

  const SetPlan& plan_;
  SetFiles& files_;
  CellFieldTexts fields_;
  core::RmdFrameReader frames_;
  std::vector<std::vector<std::int16_t>> chunk_;  // one range of cells per frame of the day
};

// The first day file name that two blocks share (a hand-edited or damaged index), if any:
// the second day would silently replace the first.
std::optional<std::string> repeatedDayName(const SetPlan& plan) {
  std::set<std::string> seen;
  for (const std::string& name : plan.dayFileNames) {
    if (!seen.insert(name).second) return name;
  }
  return std::nullopt;
}

}  // namespace

std::string periodLabel(const core::RmdDataset& file) {
  std::string label = viewer::frameStamp(file, 0);
  label.resize(std::min<std::size_t>(label.size(), 8));
  label += viewer::frameStamp(file, file.frameCount() - 1);
  label.resize(std::min<std::size_t>(label.size(), 16));
  return label;
}

PeriodExportResult exportPeriod(const core::RmdDataset& file, std::string_view areaText, int progressWidth,
                                const core::OperationCallbacks& callbacks) {
  PeriodExportResult result;
  const auto refuse = [&](core::Status status) {
    result.status = std::move(status);
    return result;
  };
  if (!file.isOpen() || file.frameCount() == 0) return refuse({core::Problem::NoFramesOpen});
  result.periodLabel = periodLabel(file);
  result.folder = file.path().parent_path() / (std::string(core::regionCodeForName(areaText)) + result.periodLabel);
  if (nameTaken(result.folder)) return refuse({core::Problem::ExportTargetExists, result.folder});

  const SetPlan plan = planSet(file, progressWidth);
  result.halfHourly = plan.framesPerDay == 48 ? 1 : 0;
  if (const auto repeated = repeatedDayName(plan)) return refuse({core::Problem::RepeatedDayDate, *repeated});
  SetFiles files(result.folder, plan.dayFileNames.size() + 1);
  if (core::Status s = files.begin(); !s) return refuse(s);
  SetWriter writer(plan, files);
  if (core::Status s = writer.open(); !s) return refuse(s);
  for (std::size_t b = 0; b < plan.dayFileNames.size(); ++b) {
    if (core::Status s = callbacks.step(static_cast<int>(b) * plan.progressStep, progressWidth); !s) return refuse(s);
    if (core::Status s = writer.writeDay(b); !s) return refuse(s);
  }
  if (core::Status s = writer.writeList(); !s) return refuse(s);
  if (core::Status s = files.publish(); !s) return refuse(s);
  if (callbacks.yield) callbacks.yield();
  if (callbacks.progress) callbacks.progress(progressWidth, progressWidth);
  return result;
}

}  // namespace ombrix::exports
