#include "core/problem.h"

#include <string>

#include "core/messages.h"

namespace ombrix::core {

namespace {

using messages::Text;

std::string plain(Text text) { return std::string(text); }

// The text followed by the path it names.
std::string withSubject(Text text, const std::filesystem::path& subject) {
  return std::string(text) + subject.string();
}

// The text followed by the path it names, then the reason given for the failure, if any.
std::string withReason(Text text, const Status& s) {
  std::string shown = withSubject(text, s.subject);
  if (s.details.reason.empty()) return shown;
  return shown.append(messages::kReasonPrefix).append(s.details.reason).append(messages::kReasonSuffix);
}

// The text, the file's path, then "（n行目）".
std::string atLine(Text text, const Status& s) {
  return withSubject(text, s.subject)
      .append(messages::kLineNumberPrefix)
      .append(std::to_string(s.details.line))
      .append(messages::kLineNumberSuffix);
}

// "開始日" + "の月" + the reason.
std::string periodField(Text row, Text field, Text reason) {
  return std::string(row).append(field).append(reason);
}

// The reason, then the most days and the days of the period.
std::string mostDays(Text reason, const Status& s) {
  return std::string(reason)
      .append(messages::kMostDaysPrefix)
      .append(std::to_string(s.details.mostDays))
      .append(messages::kMostDaysMiddle)
      .append(std::to_string(s.details.periodDays))
      .append(messages::kMostDaysSuffix);
}

// The time asked for, then the file's first and last times when it has any.
std::string noFrameAtTime(const Status& s) {
  const Details& d = s.details;
  std::string text = std::string(messages::kNoFrameAtTime).append(d.timeAsked);
  if (d.firstTime.empty()) return text;
  return text.append(messages::kFileTimesOpen)
      .append(d.firstTime)
      .append(messages::kFileTimesBetween)
      .append(d.lastTime)
      .append(messages::kFileTimesClose);
}

std::string archiveMalformed(Text check, const Status& s) {
  return withSubject(messages::kArchiveFileMalformed, s.subject).append(check);
}

}  // namespace

bool silent(Problem problem) noexcept {
  return problem == Problem::None || problem == Problem::NoMapShown || problem == Problem::NoFramesOpen;
}

std::string message(const Status& s) {
  namespace m = messages;
  switch (s.problem) {
    case Problem::None:
    case Problem::NoMapShown:
    case Problem::NoFramesOpen:
      return {};

    case Problem::AreaNotSet: return plain(m::kAreaNotSet);
    case Problem::PeriodNotSet: return plain(m::kPeriodNotSet);
    case Problem::ArchiveDirectoryNotSet: return plain(m::kArchiveDirNotSet);

    case Problem::NorthLatNotNumber: return plain(m::kNorthLatNotNumber);
    case Problem::WestLonNotNumber: return plain(m::kWestLonNotNumber);
    case Problem::SouthLatNotNumber: return plain(m::kSouthLatNotNumber);
    case Problem::EastLonNotNumber: return plain(m::kEastLonNotNumber);
    case Problem::CannotOpenFolder: return withSubject(m::kCannotOpenFolder, s.subject);

    case Problem::PeriodStartYearNotNumber:
      return periodField(m::kPeriodStartRow, m::kPeriodYearField, m::kPeriodFieldNotNumber);
    case Problem::PeriodStartMonthNotNumber:
      return periodField(m::kPeriodStartRow, m::kPeriodMonthField, m::kPeriodFieldNotNumber);
    case Problem::PeriodStartMonthOutOfRange:
      return periodField(m::kPeriodStartRow, m::kPeriodMonthField, m::kPeriodMonthOutOfRange);
    case Problem::PeriodStartDayNotNumber:
      return periodField(m::kPeriodStartRow, m::kPeriodDayField, m::kPeriodFieldNotNumber);
    case Problem::PeriodEndYearNotNumber:
      return periodField(m::kPeriodEndRow, m::kPeriodYearField, m::kPeriodFieldNotNumber);
    case Problem::PeriodEndMonthNotNumber:
      return periodField(m::kPeriodEndRow, m::kPeriodMonthField, m::kPeriodFieldNotNumber);
    case Problem::PeriodEndMonthOutOfRange:
      return periodField(m::kPeriodEndRow, m::kPeriodMonthField, m::kPeriodMonthOutOfRange);
    case Problem::PeriodEndDayNotNumber:
      return periodField(m::kPeriodEndRow, m::kPeriodDayField, m::kPeriodFieldNotNumber);
    case Problem::PeriodMixedFormats: return plain(m::kMixedFormats);
    case Problem::PeriodEndBeforeStart: return plain(m::kEndBeforeStart);
    case Problem::PeriodMissingFile: return plain(m::kMissingFile);
    case Problem::PeriodDayNotInCalendar: return plain(m::kDayNotInCalendar);

    case Problem::PeriodDoesNotMatchCatalogue: return plain(m::kPeriodDoesNotMatchCatalogue);
    case Problem::AreaInverted: return plain(m::kAreaInverted);
    case Problem::ArchiveGridsDiffer: return plain(m::kGridMismatch);
    case Problem::AreaOutsideGrid: return plain(m::kAreaOutsideGrid);
    case Problem::GridSpacingTooLarge: return plain(m::kGridSpacingTooLarge);
    case Problem::PeriodTooLong: return mostDays(m::kPeriodTooLong, s);
    case Problem::PeriodTooLongForArea: return mostDays(m::kPeriodTooLongForArea, s);
    case Problem::NoDayFitsArea: return plain(m::kNoDayFitsArea);
    case Problem::OutputExists: return withSubject(m::kOutputExists, s.subject);
    case Problem::OutputIsInput: return withSubject(m::kOutputIsInput, s.subject);

    case Problem::ArchiveFileUnreadable: return withSubject(m::kArchiveFileUnreadable, s.subject);
    case Problem::ArchiveRecordCountInvalid: return archiveMalformed(m::kArchiveRecordCountInvalid, s);
    case Problem::ArchiveDirectoryEntryInvalid: return archiveMalformed(m::kArchiveDirectoryEntryInvalid, s);
    case Problem::ArchiveGridDescriptionInvalid: return archiveMalformed(m::kArchiveGridInvalidInFile, s);
    case Problem::ArchiveLevelTableInvalid: return archiveMalformed(m::kArchiveLevelTableInvalid, s);
    case Problem::ArchiveRunTableInvalid: return archiveMalformed(m::kArchiveRunTableInvalid, s);
    case Problem::ArchiveRecordStreamInvalid:
    case Problem::ArchiveLevelOutOfTable:
    case Problem::ArchiveRunOutOfTable:
    case Problem::ArchiveRunPastGrid:
    case Problem::ArchiveStreamTruncated:
      return archiveMalformed(m::kArchiveRecordStreamInvalid, s);

    case Problem::EncodeGridInvalid: return withSubject(m::kArchiveGridInvalid, s.subject);
    case Problem::EncodeRecordSizeMismatch: return withSubject(m::kArchiveRecordSizeMismatch, s.subject);
    case Problem::EncodeTooManyLevels: return withSubject(m::kArchiveTooManyLevels, s.subject);
    case Problem::EncodeTooManyRecords: return withSubject(m::kArchiveTooManyRecords, s.subject);

    case Problem::CannotCreateFile: return withReason(m::kCannotCreateFile, s);
    case Problem::CannotWriteFile: return withReason(m::kCannotWriteFile, s);
    case Problem::CannotCreateFolder: return withSubject(m::kCannotCreateFolder, s.subject);
    case Problem::OutputIsFolder: return withSubject(m::kOutputIsFolder, s.subject);
    case Problem::UnexpectedError: return plain(m::kUnexpectedError).append(s.details.reason);

    case Problem::RmdFileMissing:
    case Problem::RmdFileUnopenable:
      return plain(m::kFileNotFound);
    case Problem::NotRmdFile: return withSubject(m::kNotRmdFile, s.subject);
    case Problem::RmdFileGone: return withSubject(m::kRmdFileGone, s.subject);
    case Problem::RmdFileTruncated: return withSubject(m::kRmdFileTruncated, s.subject);

    case Problem::NoFileOpen: return plain(m::kNoFileOpen);
    case Problem::FrameNotInFile: return plain(m::kFrameNotInFile);
    case Problem::FrameNumberNotInFile:
      return plain(m::kFrameNumberNotInFile).append(std::to_string(s.details.frameCount));
    case Problem::NoFrameAtTime: return noFrameAtTime(s);
    case Problem::ChooseDifferentTimes: return plain(m::kChooseDifferentTimes);
    case Problem::TimesNotInOrder: return plain(m::kTimesNotInOrder);
    case Problem::CannotEncodePng: return withSubject(m::kCannotEncodePng, s.subject);

    case Problem::ExportTargetExists: return withSubject(m::kExportTargetExists, s.subject);
    case Problem::RepeatedDayDate: return withSubject(m::kRepeatedDayDate, s.subject);
    case Problem::FileListMissing: return plain(m::kFileListMissing);
    case Problem::FileListEmpty: return plain(m::kFileListEmpty);
    case Problem::FileListUnreadable: return withSubject(m::kFileListUnreadable, s.subject);
    case Problem::DayFilesMissing: return plain(m::kDayFilesMissing);
    case Problem::DayFileUnreadable: return withSubject(m::kDayFileUnreadable, s.subject);
    case Problem::DayFileTooShort: return withSubject(m::kDayFileTooShort, s.subject);
    case Problem::FileListLineInvalid: return atLine(m::kFileListLineInvalid, s);
    case Problem::DayFileHeaderInvalid: return atLine(m::kDayFileHeaderInvalid, s);
    case Problem::DayFileFieldCount: return atLine(m::kDayFileFieldCount, s);
    case Problem::DayFileNotNumber: return atLine(m::kDayFileNotNumber, s);
    case Problem::DayFileIdMismatch: return atLine(m::kDayFileIdMismatch, s);
    case Problem::DayFileLineCut: return atLine(m::kDayFileLineCut, s);
    case Problem::CellIdNotWhole: return plain(m::kCellIdNotWhole);
    case Problem::CellIdOutOfRange: return plain(m::kCellIdOutOfRange);
    case Problem::CellIdNotEntered: return plain(m::kCellIdNotEntered);

    case Problem::Grib2NotRainfall: return withSubject(m::kNotGrib2Rainfall, s.subject);
    case Problem::Grib2Truncated: return withSubject(m::kGrib2Truncated, s.subject);
    case Problem::Grib2UnsupportedGrid:
    case Problem::Grib2UnsupportedProduct:
    case Problem::Grib2UnsupportedPacking:
      return withSubject(m::kGrib2Unsupported, s.subject);
    case Problem::Grib2BadStructure:
    case Problem::Grib2RunDigitBeforeLevel:
    case Problem::Grib2RunPastGrid:
    case Problem::Grib2RunsTooFewCells:
      return withSubject(m::kGrib2Corrupt, s.subject);
    case Problem::Grib2Unreadable: return withSubject(m::kGrib2Unreadable, s.subject);
    case Problem::Grib2NotOnHalfHour: return withSubject(m::kGrib2NotOnHalfHour, s.subject);
    case Problem::Grib2DuplicateTime: return withSubject(m::kGrib2DuplicateTime, s.subject);
    case Problem::Grib2GridDiffers: return withSubject(m::kGrib2GridDiffers, s.subject);
    case Problem::Grib2GridTooLarge: return withSubject(m::kGrib2GridTooLarge, s.subject);
    case Problem::Grib2InputMissing: return withSubject(m::kGrib2InputMissing, s.subject);
    case Problem::Grib2NoInputFiles: return plain(m::kGrib2NoInputFiles);
    case Problem::Grib2NoFileInPeriod: return plain(m::kGrib2NoFileInPeriod);
    case Problem::Grib2PeriodGridDiffers: return withSubject(m::kGrib2PeriodGridDiffers, s.subject);
    case Problem::Grib2NoDayWritten: return plain(m::kGrib2NoDayWritten);
    case Problem::Grib2SlotDiffers: return withSubject(m::kGrib2SlotDiffers, s.subject);
    case Problem::Grib2DayFileDiffers: return withSubject(m::kGrib2DayFileDiffers, s.subject);
    case Problem::Grib2DayFileKept: return withSubject(m::kGrib2DayFileKept, s.subject);
    case Problem::ImportDayFileUndecodable: return withSubject(m::kArchiveFileMalformed, s.subject);

    case Problem::PolygonFileUnreadable: return withReason(m::kPolygonFileUnreadable, s);
    case Problem::PolygonFileEmpty: return withSubject(m::kPolygonFileEmpty, s.subject);
    case Problem::PolygonFileNotPolygon: return withSubject(m::kPolygonFileNotPolygon, s.subject);
    case Problem::PolygonNameFieldUnknown: return plain(m::kPolygonNameFieldUnknown).append(s.details.name);
    case Problem::PolygonNotTransformable: return withReason(m::kPolygonNotTransformable, s);
    case Problem::PolygonCrsUnknown: return plain(m::kPolygonCrsUnknown).append(s.details.name);
    case Problem::PolygonOutsideGrid: return plain(m::kPolygonOutsideGrid).append(s.details.name);
    case Problem::PolygonCoordinateNotFinite: return plain(m::kPolygonCoordinateNotFinite).append(s.details.name);
    case Problem::PolygonRingWithoutArea: return plain(m::kPolygonRingWithoutArea).append(s.details.name);
    case Problem::PointOutsideGrid: return plain(m::kPointOutsideGrid);
    case Problem::DurationHoursInvalid: return plain(m::kDurationHoursInvalid);
    case Problem::DurationLongerThanRange:
      return plain(m::kDurationLongerThanRange)
          .append(std::to_string(s.details.hours))
          .append(m::kDurationLongerSuffix);

    case Problem::NetcdfNotWritten: return withReason(m::kNetcdfNotWritten, s);
    case Problem::GeoTiffNotWritten: return withReason(m::kGeoTiffNotWritten, s);
    case Problem::NoFrameWithTime: return withSubject(m::kNoFrameWithTime, s.subject);

    case Problem::Cancelled: return plain(m::kCancelled);
    case Problem::UsageError: return s.details.reason;
  }
  return {};
}

std::string message(Notice notice, const std::filesystem::path& subject) {
  switch (notice) {
    case Notice::CsvSetWritten: return plain(messages::kCsvWritten);
    case Notice::PointTableWritten:
      return withSubject(messages::kTableWrittenPrefix, subject).append(messages::kTableWrittenSuffix);
    case Notice::ArealCsvWritten: return withSubject(messages::kArealWritten, subject);
    case Notice::NetcdfWritten: return withSubject(messages::kNetcdfWritten, subject);
  }
  return {};
}

}  // namespace ombrix::core
