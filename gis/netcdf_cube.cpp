#include "gis/netcdf_cube.h"

#include <netcdf.h>

#include <chrono>
#include <ctime>
#include <string_view>

#include "export/csv_number_format.h"

namespace ombrix::gis {

namespace {

constexpr std::int64_t kJapanOffsetMinutes = 9 * 60;
constexpr std::int16_t kFill = -1;
constexpr int kDeflateLevel = 1;

constexpr std::string_view kJstComment =
    "Time stamps were stored in Japan Standard Time (UTC+9) and have been converted to UTC.";
constexpr std::string_view kUtcComment = "Time stamps were stored in UTC and are written unchanged.";

int putText(int file, int variable, const char* name, std::string_view text) {
  return nc_put_att_text(file, variable, name, text.size(), text.data());
}

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// A coordinate variable with its CF attributes and values.
int defineAxis(int file, const char* name, int length, const char* units, const char* standardName, const char* axis,
               int& dimension, int& variable) {
  int status = nc_def_dim(file, name, static_cast<std::size_t>(length), &dimension);
  if (status == NC_NOERR) status = nc_def_var(file, name, NC_DOUBLE, 1, &dimension, &variable);
  if (status == NC_NOERR) status = putText(file, variable, "units", units);
  if (status == NC_NOERR) status = putText(file, variable, "standard_name", standardName);
  if (status == NC_NOERR) status = putText(file, variable, "axis", axis);
  return status;
}

int defineRain(int file, const int dimensions[3], const CubeLayout& layout, int& rain) {
  const std::size_t chunk[3] = {1, static_cast<std::size_t>(layout.rows), static_cast<std::size_t>(layout.cols)};
  const float scale = 0.1f;
  int status = nc_def_var(file, "rain", NC_SHORT, 3, dimensions, &rain);
  if (status == NC_NOERR) status = nc_def_var_chunking(file, rain, NC_CHUNKED, chunk);
  if (status == NC_NOERR) status = nc_def_var_deflate(file, rain, 1, 1, kDeflateLevel);
  if (status == NC_NOERR) status = nc_def_var_fill(file, rain, 0, &kFill);
  if (status == NC_NOERR) status = nc_put_att_float(file, rain, "scale_factor", NC_FLOAT, 1, &scale);
  if (status == NC_NOERR) status = putText(file, rain, "units", "mm h-1");
  if (status == NC_NOERR) status = putText(file, rain, "standard_name", "lwe_precipitation_rate");
  if (status == NC_NOERR) status = putText(file, rain, "long_name", "1-hour rainfall ending at the time");
  if (status == NC_NOERR) status = putText(file, rain, "grid_mapping", "crs");
  return status;
}

int defineGlobals(int file, const CubeLayout& layout) {
  const std::string history = utcNow() + " " + layout.history;
  int status = putText(file, NC_GLOBAL, "Conventions", "CF-1.8");
  if (status == NC_NOERR) status = putText(file, NC_GLOBAL, "title", layout.title);
  if (status == NC_NOERR) status = putText(file, NC_GLOBAL, "source", layout.source);
  if (status == NC_NOERR) status = putText(file, NC_GLOBAL, "history", history);
  if (status == NC_NOERR) status = putText(file, NC_GLOBAL, "comment", layout.stampsUtc ? kUtcComment : kJstComment);
  return status;
}

std::vector<double> positions(int count, double (*position)(std::int32_t, std::int32_t, int), std::int32_t edge,
                              std::int32_t step) {
  std::vector<double> values(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = position(edge, step, i);
  return values;
}

}  // namespace

std::optional<std::int64_t> stampMinutes(const core::TimeStamp& s) noexcept {
  using namespace std::chrono;
  const year_month_day date{year{s.year}, month{s.month}, day{s.day}};
  if (!date.ok() || s.hour > 23 || s.minute > 59) return std::nullopt;
  return static_cast<std::int64_t>(sys_days{date}.time_since_epoch().count()) * 1440 + s.hour * 60 + s.minute;
}

NetcdfCube::NetcdfCube() = default;

NetcdfCube::~NetcdfCube() {
  if (file_ >= 0) nc_close(file_);
}

core::Status NetcdfCube::failure() {
  if (file_ >= 0) nc_close(file_);
  file_ = -1;
  const std::filesystem::path target = output_ ? output_->target() : std::filesystem::path();
  output_.reset();
  return {core::Problem::NetcdfNotWritten, target};
}

core::Status NetcdfCube::create(const std::filesystem::path& target, const CubeLayout& layout) {
  layout_ = layout;
  output_ = std::make_unique<core::StagedOutputPath>(target);
  if (layout.rows <= 0 || layout.cols <= 0 || layout.frames <= 0) return failure();
  const std::int64_t shift = layout.stampsUtc ? 0 : kJapanOffsetMinutes;
  times_.resize(static_cast<std::size_t>(layout.frames));
  for (std::size_t i = 0; i < times_.size(); ++i) {
    times_[i] =
        static_cast<double>(layout.firstSlotMinutes + static_cast<std::int64_t>(i) * layout.intervalMinutes - shift);
  }
  frame_.resize(static_cast<std::size_t>(layout.rows) * static_cast<std::size_t>(layout.cols));

  int dimensions[3];
  int latitude = -1;
  int longitude = -1;
  int crs = -1;
  int status = nc_create(output_->temporary().c_str(), NC_NETCDF4 | NC_NOCLOBBER, &file_);
  if (status != NC_NOERR) file_ = -1;
  if (status == NC_NOERR) {
    status = defineAxis(file_, "time", static_cast<int>(layout.frames), "minutes since 1970-01-01 00:00:00", "time",
                        "T", dimensions[0], timeVariable_);
  }
  if (status == NC_NOERR) status = putText(file_, timeVariable_, "calendar", "standard");
  if (status == NC_NOERR) {
    status = defineAxis(file_, "lat", layout.rows, "degrees_north", "latitude", "Y", dimensions[1], latitude);
  }
  if (status == NC_NOERR) {
    status = defineAxis(file_, "lon", layout.cols, "degrees_east", "longitude", "X", dimensions[2], longitude);
  }
  if (status == NC_NOERR) status = nc_def_var(file_, "crs", NC_INT, 0, nullptr, &crs);
  if (status == NC_NOERR) status = putText(file_, crs, "grid_mapping_name", "latitude_longitude");
  if (status == NC_NOERR) status = defineRain(file_, dimensions, layout, rainVariable_);
  if (status == NC_NOERR) status = defineGlobals(file_, layout);
  if (status == NC_NOERR) status = nc_enddef(file_);
  if (status == NC_NOERR) {
    status = nc_put_var_double(
        file_, latitude,
        positions(layout.rows, exports::cellLatitudeDegrees, layout.northLat, layout.cellHeight).data());
  }
  if (status == NC_NOERR) {
    status = nc_put_var_double(
        file_, longitude,
        positions(layout.cols, exports::cellLongitudeDegrees, layout.westLon, layout.cellWidth).data());
  }
  return status == NC_NOERR ? core::Status() : failure();
}

core::Status NetcdfCube::writeFrame(std::int64_t i, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
  if (file_ < 0 || i < 0 || i >= layout_.frames || cells.size() != frame_.size()) return failure();
  if (const auto minutes = stampMinutes(stamp)) {
    times_[static_cast<std::size_t>(i)] = static_cast<double>(*minutes - (layout_.stampsUtc ? 0 : kJapanOffsetMinutes));
  }
  for (std::size_t c = 0; c < cells.size(); ++c) frame_[c] = cells[c] < 0 ? kFill : cells[c];
  const std::size_t start[3] = {static_cast<std::size_t>(i), 0, 0};
  const std::size_t count[3] = {1, static_cast<std::size_t>(layout_.rows), static_cast<std::size_t>(layout_.cols)};
  if (nc_put_vara_short(file_, rainVariable_, start, count, frame_.data()) != NC_NOERR) return failure();
  return {};
}

core::Status NetcdfCube::commit() {
  if (file_ < 0 || nc_put_var_double(file_, timeVariable_, times_.data()) != NC_NOERR) return failure();
  const int closed = nc_close(file_);
  file_ = -1;
  if (closed != NC_NOERR) return failure();
  core::Status status = output_->commit();
  output_.reset();
  return status;
}

}  // namespace ombrix::gis
