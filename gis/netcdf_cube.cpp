#include "gis/netcdf_cube.h"

#include <hdf5.h>
#include <netcdf.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <string_view>

#include "core/fault_injection.h"
#include "core/input_file.h"
#include "export/csv_number_format.h"
#include "gis/netcdf_chunk.h"
#include "gis/netcdf_chunk_pipeline.h"

namespace ombrix::gis {

namespace {

constexpr std::int64_t kJapanOffsetMinutes = 9 * 60;
constexpr std::int16_t kFill = -1;
constexpr double kHourMinutes = 60;  // each value is the rain of the hour ending at its time

constexpr std::string_view kJstComment =
    "Time stamps were stored in Japan Standard Time (UTC+9) and have been converted to UTC.";
constexpr std::string_view kUtcComment = "Time stamps were stored in UTC and are written unchanged.";

// HDF5 closes the files still open when the process ends, and closing a file whose writes
// failed frees it while its identifier stays registered: the next close, at exit, crashes. A
// failed file is therefore abandoned open (see Frames::abandon()) and HDF5 is kept from
// closing files at exit. Set before anything starts HDF5.
[[maybe_unused]] const bool kNoHdf5ExitHandler = H5dont_atexit() >= 0;

// Errors are reported through the status; HDF5 keeps one automatic printer per thread.
void quietHdf5() { H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); }

// A library's words for a failure, followed by the system's when it set errno.
std::string withSystemReason(std::string text, int error) {
  return error == 0 ? text : text.append(": ").append(core::systemReason(error));
}

// HDF5's words for the innermost error of its stack.
std::string hdf5Reason() {
  std::string description;
  H5Ewalk2(
      H5E_DEFAULT, H5E_WALK_UPWARD,
      [](unsigned n, const H5E_error2_t* error, void* text) {
        if (n == 0 && error->desc != nullptr) *static_cast<std::string*>(text) = error->desc;
        return herr_t{0};
      },
      &description);
  return description;
}

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
  const std::size_t chunk[3] = {1, static_cast<std::size_t>(layout.grid.rows), static_cast<std::size_t>(layout.grid.columns)};
  const float scale = 0.1f;
  int status = nc_def_var(file, "rain", NC_SHORT, 3, dimensions, &rain);
  if (status == NC_NOERR) status = nc_def_var_chunking(file, rain, NC_CHUNKED, chunk);
  if (status == NC_NOERR) status = nc_def_var_deflate(file, rain, 1, 1, kDeflateLevel);
  if (status == NC_NOERR) status = nc_def_var_fill(file, rain, 0, &kFill);
  if (status == NC_NOERR) status = nc_put_att_float(file, rain, "scale_factor", NC_FLOAT, 1, &scale);
  if (status == NC_NOERR) status = putText(file, rain, "units", "mm h-1");
  if (status == NC_NOERR) status = putText(file, rain, "standard_name", "lwe_precipitation_rate");
  if (status == NC_NOERR) status = putText(file, rain, "long_name", "1-hour rainfall ending at the time");
  if (status == NC_NOERR) status = putText(file, rain, "cell_methods", "time: mean (interval: 60 minutes)");
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

// The grid mapping with the figure of the earth (a sphere by its radius).
int defineCrs(int file, const EarthShape& earth) {
  int crs = -1;
  const double meridian = 0;
  int status = nc_def_var(file, "crs", NC_INT, 0, nullptr, &crs);
  if (status == NC_NOERR) status = putText(file, crs, "grid_mapping_name", "latitude_longitude");
  if (status == NC_NOERR) status = nc_put_att_double(file, crs, "longitude_of_prime_meridian", NC_DOUBLE, 1, &meridian);
  if (earth.inverseFlattening == 0) {
    if (status == NC_NOERR) status = nc_put_att_double(file, crs, "earth_radius", NC_DOUBLE, 1, &earth.semiMajorAxis);
  } else {
    if (status == NC_NOERR) status = nc_put_att_double(file, crs, "semi_major_axis", NC_DOUBLE, 1, &earth.semiMajorAxis);
    if (status == NC_NOERR) {
      status = nc_put_att_double(file, crs, "inverse_flattening", NC_DOUBLE, 1, &earth.inverseFlattening);
    }
  }
  if (status == NC_NOERR) status = putText(file, crs, "comment", earth.statement);
  return status;
}

// The bounds of each time: [t - 60 min, t].
int defineTimeBounds(int file, int time, int timeDimension) {
  int dimensions[2] = {timeDimension, -1};
  int bounds = -1;
  int status = nc_def_dim(file, "nv", 2, &dimensions[1]);
  if (status == NC_NOERR) status = nc_def_var(file, "time_bnds", NC_DOUBLE, 2, dimensions, &bounds);
  if (status == NC_NOERR) status = putText(file, time, "bounds", "time_bnds");
  return status;
}

std::vector<double> positions(int count, double (*position)(std::int32_t, std::int32_t, int), std::int32_t edge,
                              std::int32_t step) {
  std::vector<double> values(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = position(edge, step, i);
  return values;
}

// Creates the file with every variable, attribute and coordinate but no frames and no times.
int defineCube(const std::filesystem::path& path, const CubeLayout& layout) {
  int file = -1;
  int status = nc_create(path.c_str(), NC_NETCDF4 | NC_NOCLOBBER, &file);
  if (status != NC_NOERR) return status;
  int dimensions[3];
  int time = -1;
  int latitude = -1;
  int longitude = -1;
  int rain = -1;
  status = defineAxis(file, "time", static_cast<int>(layout.frames), "minutes since 1970-01-01 00:00:00", "time", "T",
                      dimensions[0], time);
  if (status == NC_NOERR) status = putText(file, time, "calendar", "standard");
  if (status == NC_NOERR) status = defineTimeBounds(file, time, dimensions[0]);
  if (status == NC_NOERR) {
    status = defineAxis(file, "lat", layout.grid.rows, "degrees_north", "latitude", "Y", dimensions[1], latitude);
  }
  if (status == NC_NOERR) {
    status = defineAxis(file, "lon", layout.grid.columns, "degrees_east", "longitude", "X", dimensions[2], longitude);
  }
  if (status == NC_NOERR) status = defineCrs(file, layout.earth);
  if (status == NC_NOERR) status = defineRain(file, dimensions, layout, rain);
  if (status == NC_NOERR) status = defineGlobals(file, layout);
  if (status == NC_NOERR) status = nc_enddef(file);
  if (status == NC_NOERR) {
    status = nc_put_var_double(
        file, latitude,
        positions(layout.grid.rows, exports::cellLatitudeDegrees, layout.grid.northLat, layout.grid.cellHeight).data());
  }
  if (status == NC_NOERR) {
    status = nc_put_var_double(
        file, longitude,
        positions(layout.grid.columns, exports::cellLongitudeDegrees, layout.grid.westLon, layout.grid.cellWidth).data());
  }
  const int closed = nc_close(file);
  return status == NC_NOERR ? closed : status;
}

// NetCDF-C creates files by name only: the file is defined under a hidden name beside the
// target, a few kilobytes, copied into output at once and removed. A process killed meanwhile
// leaves it to the next writer's cleanup. A failure's status gives its reason.
core::Status defineInto(core::StagedOutputPath& output, const CubeLayout& layout) {
  const std::filesystem::path named = core::temporarySibling(output.target());
  errno = 0;
  const int defined = defineCube(named, layout);
  const int definitionError = errno;
  const std::optional<core::Bytes> image = defined == NC_NOERR ? core::readWholeFile(named) : std::nullopt;
  std::error_code ignored;
  std::filesystem::remove(named, ignored);
  if (defined != NC_NOERR) {
    return {core::Problem::NetcdfNotWritten, output.target(),
            {.reason = withSystemReason(nc_strerror(defined), definitionError)}};
  }
  return image ? output.write(*image) : core::Status{core::Problem::NetcdfNotWritten, output.target()};
}

// An HDF5 identifier, closed when it goes unless close() was called.
class Hdf5Id {
 public:
  using Close = herr_t (*)(hid_t);
  Hdf5Id(hid_t id, Close closeFunction) : id_(id), close_(closeFunction) {}
  ~Hdf5Id() { close(); }
  Hdf5Id(const Hdf5Id&) = delete;
  Hdf5Id& operator=(const Hdf5Id&) = delete;

  hid_t get() const noexcept { return id_; }
  bool valid() const noexcept { return id_ >= 0; }
  // Closes the identifier; a file only once everything in it is flushed (see Frames).
  bool close() noexcept {
    const bool closed = id_ < 0 || close_(id_) >= 0;
    id_ = H5I_INVALID_HID;
    return closed;
  }
  // Forgets the identifier without closing it: HDF5 keeps what it holds until the process ends.
  void release() noexcept { id_ = H5I_INVALID_HID; }

 private:
  hid_t id_;
  Close close_;
};

// HDF5's C-stream driver: its sec2 driver resolves the name of a file opened through a link,
// which fails for an unnamed file's /proc/self/fd link.
hid_t streamAccess() {
  const hid_t access = H5Pcreate(H5P_FILE_ACCESS);
  if (access >= 0 && H5Pset_fapl_stdio(access) < 0) {
    H5Pclose(access);
    return H5I_INVALID_HID;
  }
  return access;
}

// The file at path opened by HDF5 for writing.
hid_t openFile(const std::filesystem::path& path) {
  const Hdf5Id access(streamAccess(), H5Pclose);
  return access.valid() ? H5Fopen(path.c_str(), H5F_ACC_RDWR, access.get()) : H5I_INVALID_HID;
}

}  // namespace

std::optional<std::int64_t> stampMinutes(const core::TimeStamp& s) noexcept {
  using namespace std::chrono;
  const year_month_day date{year{s.year}, month{s.month}, day{s.day}};
  if (!date.ok() || s.hour > 23 || s.minute > 59) return std::nullopt;
  return static_cast<std::int64_t>(sys_days{date}.time_since_epoch().count()) * 1440 + s.hour * 60 + s.minute;
}

// The file reopened through HDF5. A write that fails may leave HDF5 unable to close the file
// cleanly (see kNoHdf5ExitHandler): the file is closed only after everything in it was flushed,
// and is otherwise abandoned.
struct NetcdfCube::Frames {
  std::filesystem::path path;
  Hdf5Id file;
  Hdf5Id rain;
  Hdf5Id time;
  Hdf5Id timeBounds;
  std::string reason;  // HDF5's words for the first failure
  ChunkPipeline pipeline;  // declared last: gone before the dataset it writes to closes

  Frames(const std::filesystem::path& where, std::size_t cellsPerFrame)
      : path(where),
        file(openFile(path), H5Fclose),
        rain(file.valid() ? H5Dopen2(file.get(), "rain", H5P_DEFAULT) : H5I_INVALID_HID, H5Dclose),
        time(file.valid() ? H5Dopen2(file.get(), "time", H5P_DEFAULT) : H5I_INVALID_HID, H5Dclose),
        timeBounds(file.valid() ? H5Dopen2(file.get(), "time_bnds", H5P_DEFAULT) : H5I_INVALID_HID, H5Dclose),
        pipeline(cellsPerFrame, [this](std::int64_t frame, std::span<const std::uint8_t> chunk) {
          const hsize_t offset[3] = {static_cast<hsize_t>(frame), 0, 0};
          const bool written =
              check([&] { return H5Dwrite_chunk(rain.get(), H5P_DEFAULT, 0, offset, chunk.size(), chunk.data()); });
          core::testKillPoint();
          return written;
        }) {
    if (!opened()) reason = hdf5Reason();
  }
  ~Frames() { abandon(); }

  bool opened() const noexcept { return rain.valid() && time.valid() && timeBounds.valid(); }

  // Makes an HDF5 call; a failure keeps HDF5's words and the system's.
  template <typename Call>
  bool check(const Call& call) {
    errno = 0;
    const herr_t result = call();
    if (result < 0 && reason.empty()) reason = withSystemReason(hdf5Reason(), errno);
    return result >= 0;
  }

  bool write(const Hdf5Id& dataset, const std::vector<double>& values) {
    return check([&] { return H5Dwrite(dataset.get(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()); });
  }

  bool close(const std::vector<double>& times) {
    std::vector<double> bounds;
    for (const double t : times) bounds.insert(bounds.end(), {t - kHourMinutes, t});
    const bool flushed = pipeline.finish() && write(time, times) && write(timeBounds, bounds) &&
                         check([&] { return H5Fflush(file.get(), H5F_SCOPE_GLOBAL); });
    if (!flushed) return false;
    bool closed = rain.close();
    closed = time.close() && closed;
    closed = timeBounds.close() && closed;
    return file.close() && closed;
  }

  // Leaves the file to HDF5 unclosed, emptied so that it holds no room on the disk.
  void abandon() noexcept {
    if (!file.valid()) return;
    [[maybe_unused]] const int emptied = ::truncate(path.c_str(), 0);
    rain.release();
    time.release();
    timeBounds.release();
    file.release();
  }
};

NetcdfCube::NetcdfCube() = default;

NetcdfCube::~NetcdfCube() = default;

core::Status NetcdfCube::failure(std::string reason) {
  if (frames_ && reason.empty()) reason = frames_->reason;
  frames_.reset();
  const std::filesystem::path target = output_ ? output_->target() : std::filesystem::path();
  output_.reset();
  return {core::Problem::NetcdfNotWritten, target, {.reason = std::move(reason)}};
}

core::Status NetcdfCube::create(const std::filesystem::path& target, const CubeLayout& layout) {
  layout_ = layout;
  quietHdf5();
  output_ = std::make_unique<core::StagedOutputPath>();
  if (core::Status s = output_->open(target); !s) {
    return s.problem == core::Problem::OutputIsFolder ? s : failure(s.details.reason);
  }
  if (layout.grid.rows <= 0 || layout.grid.columns <= 0 || layout.frames <= 0) return failure();
  const std::int64_t shift = layout.stampsUtc ? 0 : kJapanOffsetMinutes;
  times_.resize(static_cast<std::size_t>(layout.frames));
  for (std::size_t i = 0; i < times_.size(); ++i) {
    times_[i] =
        static_cast<double>(layout.firstSlotMinutes + static_cast<std::int64_t>(i) * layout.intervalMinutes - shift);
  }
  if (core::Status s = defineInto(*output_, layout); !s) return failure(s.details.reason);
  frames_ = std::make_unique<Frames>(output_->temporary(),
                                     static_cast<std::size_t>(layout.grid.rows) * static_cast<std::size_t>(layout.grid.columns));
  return frames_->opened() ? core::Status{} : failure();
}

core::Status NetcdfCube::writeFrame(std::int64_t i, const core::TimeStamp& stamp, std::span<const std::int16_t> cells) {
  const auto cellsPerFrame = static_cast<std::size_t>(layout_.grid.rows) * static_cast<std::size_t>(layout_.grid.columns);
  if (!frames_ || i < 0 || i >= layout_.frames || cells.size() != cellsPerFrame) return failure();
  if (const auto minutes = stampMinutes(stamp)) {
    times_[static_cast<std::size_t>(i)] = static_cast<double>(*minutes - (layout_.stampsUtc ? 0 : kJapanOffsetMinutes));
  }
  return frames_->pipeline.push(i, cells) ? core::Status{} : failure();
}

core::Status NetcdfCube::commit() {
  if (!frames_ || !frames_->close(times_)) return failure();
  frames_.reset();
  core::Status status = output_->commit();
  output_.reset();
  return status;
}

}  // namespace ombrix::gis
