#pragma once
// Every text the program shows the user, in one place, so the wording can be checked against
// what the program promises. core::message() (core/problem.h) puts the messages together: texts
// followed by a path are joined with it directly (no space).
#include <string_view>

namespace ombrix::messages {

using Text = std::string_view;

inline constexpr Text kAppTitle = "Ombrix";

// ---- Analysis conditions ----
inline constexpr Text kAreaNotSet = "解析条件：領域の設定を行ってください。";
inline constexpr Text kPeriodNotSet = "解析条件：期間の設定を行ってください。";
inline constexpr Text kArchiveDirNotSet = "解析条件：アメダスデータ保存ディレクトリの指定を行ってください。";

// ---- Period check ----
inline constexpr Text kMixedFormats = "記録データの書式が異なる期間です。";
inline constexpr Text kEndBeforeStart = "解析開始時間より終了時間の方が過去のものとなっています。";
inline constexpr Text kMissingFile = "指定期間内のデータファイルがありません。";
inline constexpr Text kDayNotInCalendar = "解析期間に存在しない日付が指定されています。";

// ---- Preprocessing run ----
inline constexpr Text kPleaseWait = "しばらくお待ちください。";
inline constexpr Text kGridMismatch = "データファイルで異なる領域となっています。解析できません。";
inline constexpr Text kPreprocessingDone = "前処理が終わりました";

// ---- Opening a preprocessed file ----
inline constexpr Text kFileNotFound = "ファイルが存在しません";

// ---- Accumulation and maximum ----
inline constexpr Text kChooseDifferentTimes = "異なる開始時刻と終了時刻を選んでください。";
inline constexpr Text kTimesNotInOrder = "開始時刻と終了時刻の選択が適切ではありません。";
inline constexpr Text kComputationDone = "計算終了";
inline constexpr Text kAccumulatedCaption = "Accumulated rainfall";
inline constexpr Text kMaximumCaption = "Max. rainfall";

// ---- CSV exports ----
inline constexpr Text kExportTargetExists = "出力先が存在します。";  // + folder path
inline constexpr Text kCsvWritten = "CSVファイルを出力しました。";

// ---- Point time-series table ----
inline constexpr Text kFileListMissing = "データファイルリスト(FileList.txt)が存在しません。";
inline constexpr Text kFileListFound = "OK";
inline constexpr Text kAskCellId = "出力するIDを入れてください";
inline constexpr Text kDayFilesMissing = "CSVファイルが不足しています。";
inline constexpr Text kTableWrittenPrefix = "CSVファイル:";  // + path
inline constexpr Text kTableWrittenSuffix = "を作成しました。";

// ---- Version window ----
inline constexpr Text kInternetNeeded = "インターネットに接続環境でご利用いただけます．";

// ---- Our own wording (situations the program must refuse in an orderly way) ----
// Each module adds its texts below, in its own section, in the same polite style.

// -- Reading preprocessed files (followed by the path) --
inline constexpr Text kNotRmdFile = "前処理済みデータとして読み込めないファイルです。";
inline constexpr Text kRmdFileGone = "前処理済みデータファイルが見つかりません。";
inline constexpr Text kRmdFileTruncated = "前処理済みデータファイルが途中で終わっています。";

// -- Writing files (followed by the path) --
inline constexpr Text kCannotCreateFile = "ファイルを作成できません。";
inline constexpr Text kCannotWriteFile = "ファイルの書き込みに失敗しました。ディスクの空き容量と書き込み権限を確認してください。";
inline constexpr Text kOutputIsFolder = "同じ名前のフォルダーがあるため、ファイルを作成できません。";
// The reason the system or a library gave for a failed write, after the path.
inline constexpr Text kReasonPrefix = "（詳細：";
inline constexpr Text kReasonSuffix = "）";
inline constexpr Text kUnexpectedError = "予期しないエラーが発生したため、処理を中止しました：";  // + what happened

// -- Archive files: reading and writing (followed by the path where noted) --
inline constexpr Text kArchiveFileUnreadable = "アメダスデータファイルを読み込めません。";  // + path
inline constexpr Text kArchiveFileMalformed = "アメダスデータファイルの内容が正しくないため、解析できません。";  // + path + one of:
inline constexpr Text kArchiveRecordCountInvalid = "（記録数Nが不正です。）";
inline constexpr Text kArchiveDirectoryEntryInvalid = "（記録の索引が不正です。）";
inline constexpr Text kArchiveGridInvalidInFile = "（メッシュの定義が不正です。）";
inline constexpr Text kArchiveLevelTableInvalid = "（値の表が不正です。）";
inline constexpr Text kArchiveRunTableInvalid = "（連続値の表が不正です。）";
inline constexpr Text kArchiveRecordStreamInvalid = "（記録のデータが不正です。）";
inline constexpr Text kArchiveTooManyLevels = "値の種類が256を超えるため、アメダスデータファイルを作成できません。";
inline constexpr Text kArchiveRecordSizeMismatch = "記録の大きさがメッシュの数と一致しないため、アメダスデータファイルを作成できません。";
inline constexpr Text kArchiveGridInvalid = "メッシュの数と間隔が正しくないため、アメダスデータファイルを作成できません。";
inline constexpr Text kArchiveTooManyRecords = "記録の数が32767を超えるため、アメダスデータファイルを作成できません。";

// -- Period dialog: typed texts. A refusal is the row and field name ("開始日" + "の月"), then
// the reason. --
inline constexpr Text kPeriodStartRow = "開始日";
inline constexpr Text kPeriodEndRow = "終了日";
inline constexpr Text kPeriodYearField = "の年";
inline constexpr Text kPeriodMonthField = "の月";
inline constexpr Text kPeriodDayField = "の日";
inline constexpr Text kPeriodFieldNotNumber = "には数字を入力してください。";
inline constexpr Text kPeriodMonthOutOfRange = "には1から12までの数字を入力してください。";

// -- Preprocessing run and batch tool preprocess command --
inline constexpr Text kPeriodDoesNotMatchCatalogue =
    "解析期間とデータファイルの一覧が一致しません。期間の設定をやり直してください。";
inline constexpr Text kAreaInverted =
    "解析領域の西端が東端より東、または北端が南端より南にあります。領域の設定を見直してください。";
inline constexpr Text kAreaOutsideGrid = "解析領域がデータファイルの範囲と重なっていません。領域の設定を見直してください。";
inline constexpr Text kGridSpacingTooLarge = "データファイルのメッシュ間隔が大きすぎるため、解析できません。";
// The two size refusals continue with kMostDaysPrefix, the most days, kMostDaysMiddle, the
// days of the period and kMostDaysSuffix.
inline constexpr Text kPeriodTooLong = "解析期間が長すぎるため、1つのファイルに保存できません。";
inline constexpr Text kPeriodTooLongForArea =
    "解析期間と領域の組み合わせが大きすぎるため、1つのファイルに保存できません。この領域では";
inline constexpr Text kMostDaysPrefix = "1つのファイルに保存できるのは";
inline constexpr Text kMostDaysMiddle = "日までです（指定された期間は";
inline constexpr Text kMostDaysSuffix = "日）。期間を分けて処理してください。";
inline constexpr Text kNoDayFitsArea = "解析領域が大きすぎるため、1日分のデータも1つのファイルに保存できません。領域を小さくしてください。";
// Followed by the path.
inline constexpr Text kOutputExists = "出力ファイルが既に存在します。上書きする場合は --force を指定してください：";
// Followed by the path.
inline constexpr Text kOutputIsInput = "出力先が入力ファイルと同じファイルです。別の出力先を指定してください：";

// -- Viewer: frames of the open file, rendered maps --
inline constexpr Text kNoFileOpen = "前処理済みデータファイルが開かれていません。ファイルを開いてください。";
inline constexpr Text kFrameNotInFile = "選択された時刻のデータはありません。時刻を一覧から選んでください。";
// A frame named in a command: followed by the file's frame count.
inline constexpr Text kFrameNumberNotInFile = "指定された番号のフレームはファイルにありません。0以上、フレーム数未満の番号を指定してください。フレーム数：";
// Followed by the time asked for, then the file's first and last times between the two texts below.
inline constexpr Text kNoFrameAtTime = "指定された時刻のデータはファイルにありません：";
inline constexpr Text kFileTimesOpen = "（ファイルの時刻は";
inline constexpr Text kFileTimesBetween = "～";
inline constexpr Text kFileTimesClose = "）";
inline constexpr Text kCannotEncodePng = "画像を作成できません。";  // + path

// -- CSV exports and the point time-series table --
inline constexpr Text kCannotCreateFolder = "フォルダーを作成できません。書き込み権限と空き容量を確認してください：";  // + path
inline constexpr Text kFileListEmpty = "データファイルリスト(FileList.txt)にCSVファイルが記載されていません。";
inline constexpr Text kCellIdNotWhole = "IDは0以上の整数で入力してください。";
inline constexpr Text kCellIdOutOfRange = "入力されたIDのメッシュはデータにありません。0以上、メッシュ数未満のIDを入力してください。";
inline constexpr Text kRepeatedDayDate = "同じ日付の日が複数あるため、日ごとのCSVファイルを出力できません：";  // + day file name
inline constexpr Text kDayFileTooShort = "CSVファイルの行が不足しています。";  // + path
inline constexpr Text kDayFileUnreadable = "CSVファイルを読み込めません。";      // + path
inline constexpr Text kFileListUnreadable = "データファイルリスト(FileList.txt)を読み込めません。";  // + path
// A damaged set: the reason, the file's path, then kLineNumberPrefix, the line (from 1) and
// kLineNumberSuffix.
inline constexpr Text kFileListLineInvalid = "データファイルリスト(FileList.txt)に日ごとのCSVファイル名ではない行があります。";
inline constexpr Text kDayFileHeaderInvalid = "CSVファイルの見出し行が不正です。";
inline constexpr Text kDayFileFieldCount = "CSVファイルの行の項目数が見出し行と一致しません。";
inline constexpr Text kDayFileNotNumber = "CSVファイルの行に数値ではない項目があります。";
inline constexpr Text kDayFileIdMismatch = "CSVファイルの行のIDが行の位置と一致しません。";
inline constexpr Text kDayFileLineCut = "CSVファイルが行の途中で終わっています。";
inline constexpr Text kLineNumberPrefix = "（";
inline constexpr Text kLineNumberSuffix = "行目）";

// -- Analysed rainfall fields (GRIB2): reading and import (followed by the path) --
inline constexpr Text kNotGrib2Rainfall = "気象庁の解析雨量（GRIB2）として読み込めないファイルです。";
inline constexpr Text kGrib2Truncated = "GRIB2ファイルが途中で終わっています。";
inline constexpr Text kGrib2Unsupported = "対応していない形式のGRIB2ファイルです。";
inline constexpr Text kGrib2Corrupt = "GRIB2ファイルの内容が壊れています。";
inline constexpr Text kGrib2Unreadable = "GRIB2ファイルを読み込めません。";
inline constexpr Text kGrib2NotOnHalfHour = "雨量の終了時刻が正時または30分ではないため、取り込めないファイルです。";
inline constexpr Text kGrib2DuplicateTime = "同じ時刻の雨量が既にあるため、読み飛ばしたファイルです。";
inline constexpr Text kGrib2GridDiffers = "同じ日のほかのファイルとメッシュが異なるため、読み飛ばしたファイルです。";
inline constexpr Text kGrib2GridTooLarge = "メッシュの数が多すぎるため、取り込めないファイルです。";
inline constexpr Text kGrib2InputMissing = "指定されたファイルまたはフォルダーが見つかりません。";
inline constexpr Text kGrib2NoInputFiles = "取り込むGRIB2ファイルが見つかりません。";  // no path
inline constexpr Text kGrib2NoFileInPeriod = "指定期間内のGRIB2ファイルがありません。";  // no path
inline constexpr Text kGrib2PeriodGridDiffers = "期間内のほかのファイルとメッシュが異なるため、読み飛ばしたファイルです。";
inline constexpr Text kGrib2NoDayWritten = "アメダスデータファイルを1日分も作成できませんでした。";  // no path
inline constexpr Text kGrib2SlotDiffers = "アメダスデータファイルにある同じ時刻の雨量と値が異なるため、読み飛ばしたファイルです（置き換えるには --replace を指定してください）：";
inline constexpr Text kGrib2DayFileDiffers = "アメダスデータファイルのメッシュまたは時刻が取り込むファイルと異なります：";
inline constexpr Text kGrib2DayFileKept = "既にあるアメダスデータファイルに追加できないため、この日のファイルは取り込みませんでした（置き換えるには --replace を指定してください）：";
// The summary after an import (followed by a count, or by a day file's path, a space and times).
inline constexpr Text kImportSummaryDays = "作成したアメダスデータファイル（日数）：";
inline constexpr Text kImportSummaryImported = "取り込んだ時刻の数：";
inline constexpr Text kImportSummaryIdentical = "読み飛ばしたファイル（同じ雨量が既にある）：";
inline constexpr Text kImportSummaryConflicting = "読み飛ばしたファイル（既にある雨量と値が異なる）：";
inline constexpr Text kImportSummaryRefused = "読み飛ばしたファイル（読み込めない、または取り込めない）：";
inline constexpr Text kImportSummaryMissing = "雨量のない時刻：";

// -- Condition dialogs: typed coordinates and folders --
inline constexpr Text kNorthLatNotNumber = "左上座標値の緯度に数値を入力してください。";
inline constexpr Text kWestLonNotNumber = "左上座標値の経度に数値を入力してください。";
inline constexpr Text kSouthLatNotNumber = "右下座標値の緯度に数値を入力してください。";
inline constexpr Text kEastLonNotNumber = "右下座標値の経度に数値を入力してください。";
inline constexpr Text kCannotOpenFolder = "このフォルダーを開くことができません。";  // + path

// -- Viewer window: the point table's ID prompt --
inline constexpr Text kCellIdNotEntered = "IDが入力されなかったため、雨量テーブルを出力できません。";

// -- Areal rainfall over polygons, point series and duration maxima --
inline constexpr Text kPolygonFileUnreadable = "ポリゴンファイルを読み込めません。";  // + path
inline constexpr Text kPolygonFileEmpty = "ポリゴンファイルに多角形がありません。";  // + path
inline constexpr Text kPolygonFileNotPolygon = "ポリゴンファイルに多角形以外の図形が含まれているため、解析できません。";  // + path
inline constexpr Text kPolygonNameFieldUnknown = "ポリゴンファイルに指定された名前の属性がありません：";  // + field
inline constexpr Text kPolygonCrsUnknown = "ポリゴンファイルの座標系を特定できません。EPSGコードで指定してください：";  // + declared system
inline constexpr Text kPolygonNotTransformable = "ポリゴンの座標を経度・緯度に変換できません。";  // + path
inline constexpr Text kPolygonOutsideGrid = "ポリゴンがデータファイルの範囲と重なっていません：";  // + polygon name
inline constexpr Text kPolygonCoordinateNotFinite = "ポリゴンの座標に数値ではない値（無限大など）が含まれています：";  // + polygon name
inline constexpr Text kPolygonRingWithoutArea = "ポリゴンに面積のない境界線（一直線上の点など）が含まれています：";  // + polygon name
inline constexpr Text kPointOutsideGrid = "指定された地点はデータファイルの範囲外です。";
inline constexpr Text kDurationHoursInvalid = "時間数は1から32767までの整数で入力してください。";
inline constexpr Text kDurationLongerThanRange = "選択された時刻の範囲が短いため、最大";  // + H + kDurationLongerSuffix
inline constexpr Text kDurationLongerSuffix = "時間雨量を計算できません。";
inline constexpr Text kArealWritten = "流域平均雨量のCSVファイルを出力しました：";  // + path
inline constexpr Text kAskDurationHours = "最大何時間雨量の地図を作成しますか。時間数（1～32767）を入れてください";
inline constexpr Text kChoosePolygonFile = "流域ポリゴンファイルを選んでください";
inline constexpr Text kPolygonFileFilter = "ベクターファイル (*.shp *.geojson *.json *.gpkg);;すべてのファイル (*)";
inline constexpr Text kDurationCaptionPrefix = "Max. ";         // + H
inline constexpr Text kDurationCaptionSuffix = "-hour rainfall";
// The map's tooltip: "緯度 35.6 経度 139.5 値 12.3 mm/h".
inline constexpr Text kTipLatitude = "緯度 ";
inline constexpr Text kTipLongitude = "経度 ";
inline constexpr Text kTipValue = "値 ";
inline constexpr Text kTipNoData = "欠測";
inline constexpr Text kUnitRate = "mm/h";
inline constexpr Text kUnitDepth = "mm";
// Titles of a map in its legend and in a GIS file's metadata; the data credit.
inline constexpr Text kTitleFrame = "1時間雨量";
inline constexpr Text kTitleSum = "累積雨量";
inline constexpr Text kTitleMaximum = "最大1時間雨量";
inline constexpr Text kTitleDurationPrefix = "最大";  // + H
inline constexpr Text kTitleDurationSuffix = "時間雨量";
inline constexpr Text kDataCredit = "気象庁提供";
inline constexpr Text kLegendUnitPrefix = "単位：";  // + unit

// -- GIS exports: NetCDF cubes and GeoTIFF maps --
inline constexpr Text kNetcdfNotWritten = "NetCDFファイルを作成できません。";   // + path
inline constexpr Text kGeoTiffNotWritten = "GeoTIFFファイルを作成できません。";  // + path
inline constexpr Text kNetcdfWritten = "NetCDFファイルを出力しました。";         // + path
inline constexpr Text kGeoTiffWritten = "GeoTIFFファイルを出力しました。";       // + path
inline constexpr Text kNoFrameWithTime =
    "時刻の記録されたフレームがないため、時刻軸を作成できません。";  // + path

// -- Long operations --
inline constexpr Text kCancelled = "中断しました。";

}  // namespace ombrix::messages
