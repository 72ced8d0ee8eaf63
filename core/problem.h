#pragma once
// What became of an operation: every refusal and failure the program can report is a value of
// Problem, and one function, message(), turns a Status (a problem with the file it concerns and
// the few values its text shows) into the user's text. No other code puts a message together:
// operations return a Status (or a small struct of what they produce plus a Status) and the
// windows and the batch tool only show message(status).
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace ombrix::core {

enum class Problem {
  None,  // success

  // -- Silent: refused without a word to the user (message() is empty) --
  NoMapShown,    // the current-display exports before a map is drawn
  NoFramesOpen,  // the whole-period export without an open file

  // -- Analysis conditions: missing before a preprocessing run --
  AreaNotSet,
  PeriodNotSet,
  ArchiveDirectoryNotSet,

  // -- Condition dialogs: typed coordinates and folders (CannotOpenFolder: subject) --
  NorthLatNotNumber,
  WestLonNotNumber,
  SouthLatNotNumber,
  EastLonNotNumber,
  CannotOpenFolder,

  // -- Period: typed texts (row and field named), then the check of the archive --
  PeriodStartYearNotNumber,
  PeriodStartMonthNotNumber,
  PeriodStartMonthOutOfRange,
  PeriodStartDayNotNumber,
  PeriodEndYearNotNumber,
  PeriodEndMonthNotNumber,
  PeriodEndMonthOutOfRange,
  PeriodEndDayNotNumber,
  PeriodMixedFormats,
  PeriodEndBeforeStart,
  PeriodMissingFile,
  PeriodDayNotInCalendar,  // a date of the period that is no day of the calendar

  // -- Preprocessing run and the reads of the archive that share its checks --
  PeriodDoesNotMatchCatalogue,
  AreaInverted,
  ArchiveGridsDiffer,
  AreaOutsideGrid,
  GridSpacingTooLarge,
  PeriodTooLong,         // details: the most days, the days of the period
  PeriodTooLongForArea,  // details: the most days, the days of the period
  NoDayFitsArea,
  OutputExists,  // subject: the file a command would replace without --force
  OutputIsInput,  // subject: the output path, which names a file the command reads

  // -- Archive files (.RAP), reading (subject: the file) --
  ArchiveFileUnreadable,
  ArchiveRecordCountInvalid,
  ArchiveDirectoryEntryInvalid,
  ArchiveGridDescriptionInvalid,
  ArchiveLevelTableInvalid,
  ArchiveRunTableInvalid,
  ArchiveRecordStreamInvalid,  // a record that cannot be decoded into the grid
  // The same, as the decoder tells why: a code names a level, or a run-table entry, that the
  // file does not have; a run goes past the last cell; the stream ends before the last cell.
  ArchiveLevelOutOfTable,
  ArchiveRunOutOfTable,
  ArchiveRunPastGrid,
  ArchiveStreamTruncated,

  // -- Archive files (.RAP), writing (subject, where given: the file) --
  EncodeGridInvalid,
  EncodeRecordSizeMismatch,
  EncodeTooManyLevels,
  EncodeTooManyRecords,

  // -- Writing files and folders (subject: the file or folder; details of the file problems
  // here and of the GIS exports: the system's or the library's reason, where it gave one) --
  CannotCreateFile,
  CannotWriteFile,
  CannotCreateFolder,
  OutputIsFolder,  // the target of a file is a folder
  UnexpectedError,  // details: what happened, as far as it is known

  // -- Preprocessed files (.RMD): opening and reading --
  RmdFileMissing,     // no file at the path chosen: the viewer forgets its open file
  RmdFileUnopenable,  // a file that cannot be opened: nothing changes
  NotRmdFile,         // subject: the file
  RmdFileGone,        // subject: the file
  RmdFileTruncated,   // subject: the file

  // -- Viewer: frames of the open file, folded ranges, rendered maps --
  NoFileOpen,
  FrameNotInFile,
  FrameNumberNotInFile,  // details: the file's frame count
  NoFrameAtTime,         // details: the time asked for, then the file's first and last times if any
  ChooseDifferentTimes,
  TimesNotInOrder,
  CannotEncodePng,  // subject: the picture

  // -- CSV exports and the point time-series table (subject: the file or folder) --
  ExportTargetExists,
  RepeatedDayDate,  // subject: the day file's name
  FileListMissing,
  FileListEmpty,
  FileListUnreadable,
  DayFilesMissing,
  DayFileUnreadable,
  DayFileTooShort,
  FileListLineInvalid,  // details (here and below): the line, from 1
  DayFileHeaderInvalid,
  DayFileFieldCount,
  DayFileNotNumber,
  DayFileIdMismatch,
  DayFileLineCut,
  CellIdNotWhole,
  CellIdOutOfRange,
  CellIdNotEntered,

  // -- Analysed rainfall fields (GRIB2): reading and import (subject: the file or folder) --
  Grib2NotRainfall,         // no "GRIB" indicator of edition 2
  Grib2Truncated,           // the message is longer than the bytes present
  Grib2BadStructure,        // section lengths, order or the end marker do not fit together
  Grib2UnsupportedGrid,     // not a regular latitude/longitude grid in scanning mode 0
  Grib2UnsupportedProduct,  // another product, a second message, or a file too large to read
  Grib2UnsupportedPacking,
  // The run-length stream does not fill the grid exactly: a length digit before any level, a
  // run past the last cell, or too few cells.
  Grib2RunDigitBeforeLevel,
  Grib2RunPastGrid,
  Grib2RunsTooFewCells,
  Grib2Unreadable,
  Grib2NotOnHalfHour,
  Grib2DuplicateTime,
  Grib2GridDiffers,
  Grib2GridTooLarge,
  Grib2InputMissing,
  Grib2NoFileInPeriod,
  Grib2PeriodGridDiffers,  // another grid than the period's first message
  Grib2NoInputFiles,
  Grib2NoDayWritten,
  Grib2SlotDiffers,
  Grib2DayFileDiffers,
  Grib2DayFileKept,
  ImportDayFileUndecodable,  // a record of the day file already there does not decode

  // -- Areal rainfall over polygons, point series and duration maxima --
  PolygonFileUnreadable,     // subject: the file
  PolygonFileEmpty,          // subject: the file
  PolygonFileNotPolygon,     // subject: the file
  PolygonNameFieldUnknown,   // details: the field
  PolygonNotTransformable,   // subject: the file
  PolygonCrsUnknown,         // subject: the file; details: the coordinate system it declares
  PolygonOutsideGrid,        // details: the polygon's name
  PolygonCoordinateNotFinite,  // details: the polygon's name
  PolygonRingWithoutArea,      // details: the polygon's name
  PointOutsideGrid,
  DurationHoursInvalid,
  DurationLongerThanRange,  // details: the hours; no window of that many hours fits the frames

  // -- GIS exports: NetCDF cubes and GeoTIFF maps (subject: the file) --
  NetcdfNotWritten,
  GeoTiffNotWritten,
  NoFrameWithTime,

  // -- Long operations --
  Cancelled,  // the caller asked the operation to stop: nothing was written, targets kept
  // -- The batch tool's command line --
  UsageError,  // details: what is wrong with it, in the tool's words or its option parser's
};

// The one result shape: success (Problem::None) or what went wrong, with what the message names.
struct Status {
  Status() = default;
  Status(Problem what, std::filesystem::path about = {}, std::vector<std::string> values = {})
      : problem(what), subject(std::move(about)), details(std::move(values)) {}

  Problem problem = Problem::None;
  std::filesystem::path subject;     // the file or folder the message names, if it names one
  std::vector<std::string> details;  // the other values it shows, in their order (a line, a count)

  explicit operator bool() const noexcept { return problem == Problem::None; }
};

// Whether a problem is refused without a word: its message is empty.
bool silent(Problem problem) noexcept;

// The user's text for a status: empty on success and for a silent problem.
std::string message(const Status& status);

// What a finished operation tells the user, worded by message() like the problems.
enum class Notice {
  CsvSetWritten,      // the whole-period CSV set
  PointTableWritten,  // subject: the table
  ArealCsvWritten,    // subject: the CSV file
  NetcdfWritten,      // subject: the NetCDF file
};

std::string message(Notice notice, const std::filesystem::path& subject = {});

}  // namespace ombrix::core
