#pragma once
// What became of an operation: every refusal and failure the program can report is a value of
// Problem, and one function, message(), turns a Status (a problem with the file it concerns and
// the few values its text shows) into the user's text. No other code puts a message together:
// operations return a Status (or a small struct of what they produce plus a Status) and the
// windows and the batch tool only show message(status).
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

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
  PeriodTooLong,         // details: mostDays, periodDays
  PeriodTooLongForArea,  // details: mostDays, periodDays
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

  // -- Writing files and folders (subject: the file or folder; details.reason of the file
  // problems here and of the GIS exports: the system's or the library's words, where it gave any) --
  CannotCreateFile,
  CannotWriteFile,
  CannotCreateFolder,
  OutputIsFolder,  // the target of a file is a folder
  UnexpectedError,  // details.reason: what happened, as far as it is known

  // -- Preprocessed files (.RMD): opening and reading --
  RmdFileMissing,     // no file at the path chosen: the viewer forgets its open file
  RmdFileUnopenable,  // a file that cannot be opened: nothing changes
  NotRmdFile,         // subject: the file
  RmdFileGone,        // subject: the file
  RmdFileTruncated,   // subject: the file

  // -- Viewer: frames of the open file, folded ranges, rendered maps --
  NoFileOpen,
  FrameNotInFile,
  FrameNumberNotInFile,  // details.frameCount
  NoFrameAtTime,         // details: timeAsked, then firstTime and lastTime if the file has frames
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
  FileListLineInvalid,  // details.line (here and below), from 1
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
  PolygonFileUnreadable,     // subject: the file; details.reason: GDAL's words, if any
  PolygonFileEmpty,          // subject: the file
  PolygonFileNotPolygon,     // subject: the file
  PolygonNameFieldUnknown,   // details.name: the field
  PolygonNotTransformable,   // subject: the file; details.reason: GDAL's words, if any
  PolygonCrsUnknown,         // subject: the file; details.name: the coordinate system it declares
  PolygonOutsideGrid,        // details.name: the polygon's
  PolygonCoordinateNotFinite,  // details.name: the polygon's
  PolygonRingWithoutArea,      // details.name: the polygon's
  PointOutsideGrid,
  DurationHoursInvalid,
  DurationLongerThanRange,  // details.hours: no window of that many hours fits the frames

  // -- GIS exports: NetCDF cubes and GeoTIFF maps (subject: the file) --
  NetcdfNotWritten,
  GeoTiffNotWritten,
  NoFrameWithTime,

  // -- Long operations --
  Cancelled,  // the caller asked the operation to stop: nothing was written, targets kept
  // -- The batch tool's command line --
  UsageError,  // details.reason: what is wrong with it, in the tool's words or its option parser's
};

// The values a message shows besides its subject, each under its own name. A problem sets only
// those its text shows (noted beside it above), with designated initialisers:
//   {Problem::PeriodTooLong, {}, {.mostDays = 31, .periodDays = 40}}
// Positional braces ({"31", "40"}) do not compile, so no two values can change places unseen.
// Every member has an initialiser, so that a list may leave it out without a warning.
struct Details {
  struct OnlyNamed {
    explicit OnlyNamed() = default;
  };
  [[no_unique_address]] OnlyNamed onlyNamed{};

  // The system's or a library's words for a failure (the file problems and the GIS exports),
  // what happened (UnexpectedError), or what is wrong with the command line (UsageError).
  std::string reason{};
  std::int64_t line = 0;        // the file's line, from 1 (FileListLineInvalid and the day files)
  std::int64_t mostDays = 0;    // the most days one file can hold (PeriodTooLong*)
  std::int64_t periodDays = 0;  // the days of the period asked for (PeriodTooLong*)
  std::int64_t frameCount = 0;  // the open file's frames (FrameNumberNotInFile)
  std::string timeAsked{};        // NoFrameAtTime: the time asked for,
  std::string firstTime{};        // then the file's first and last times,
  std::string lastTime{};         // both empty for a file without frames
  // The polygon's name, the name field asked for, or the coordinate system a file declares.
  std::string name{};
  int hours = 0;  // the duration asked for (DurationLongerThanRange)
};

// The one result shape: success (Problem::None) or what went wrong, with what the message names.
struct Status {
  Status() = default;
  Status(Problem what, std::filesystem::path about = {}, Details values = {})
      : problem(what), subject(std::move(about)), details(std::move(values)) {}

  Problem problem = Problem::None;
  std::filesystem::path subject;  // the file or folder the message names, if it names one
  Details details;                // the other values it shows (a line, a count, a reason)

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
