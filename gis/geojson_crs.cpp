#include "gis/geojson_crs.h"

#include <cpl_json.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::gis {

namespace {

// A declared value longer than this is no authority code.
constexpr std::size_t kLongestCrs = 4096;

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EQUALN(text.data(), prefix.data(), static_cast<int>(prefix.size()));
}

// What follows the last separator of an authority code written as AUTHORITY:CODE, as an OGC URN
// (urn:ogc:def:crs:AUTHORITY:VERSION:CODE) or as an OGC URL (.../def/crs/AUTHORITY/VERSION/CODE).
std::optional<std::string_view> codeOf(std::string_view name, std::string_view authority) {
  for (const std::string_view form : {"", "urn:ogc:def:crs:", "urn:x-ogc:def:crs:"}) {
    const std::string prefix = std::string(form) + std::string(authority) + ":";
    if (!startsWith(name, prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    return form.empty() ? rest : rest.substr(rest.find(':') == std::string_view::npos ? rest.size() : rest.find(':') + 1);
  }
  for (const std::string_view scheme : {"http://www.opengis.net/def/crs/", "https://www.opengis.net/def/crs/"}) {
    const std::string prefix = std::string(scheme) + std::string(authority) + "/";
    if (!startsWith(name, prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) return rest.substr(slash + 1);
  }
  return std::nullopt;
}

bool knownEpsg(long long code) {
  if (code <= 0 || code > 999'999'999) return false;
  OGRSpatialReference reference;
  return reference.importFromEPSG(static_cast<int>(code)) == OGRERR_NONE;
}

bool knownName(std::string_view name) {
  if (const auto code = codeOf(name, "EPSG")) {
    long long value = 0;
    const auto [end, error] = std::from_chars(code->data(), code->data() + code->size(), value);
    return error == std::errc() && end == code->data() + code->size() && knownEpsg(value);
  }
  const auto code = codeOf(name, "OGC");
  return code && (*code == "CRS84" || *code == "CRS83" || *code == "CRS27");
}

// The value of one "crs" member, as the JSON text that followed the colon.
bool knownCrs(const std::string& value) {
  CPLJSONDocument document;
  if (!document.LoadMemory("{\"crs\":" + value + "}")) return true;  // GDAL refuses the file itself
  const CPLJSONObject crs = document.GetRoot().GetObj("crs");
  if (crs.GetType() == CPLJSONObject::Type::Null) return true;
  if (crs.GetType() != CPLJSONObject::Type::Object) return false;
  const std::string type = crs.GetString("type");
  const CPLJSONObject properties = crs.GetObj("properties");
  if (EQUAL(type.c_str(), "name")) return knownName(properties.GetString("name"));
  if (EQUAL(type.c_str(), "OGC")) return knownName(properties.GetString("urn"));
  if (EQUAL(type.c_str(), "EPSG")) return knownEpsg(properties.GetLong("code"));
  return false;
}

// Reads JSON text a character at a time, skipping comments (GDAL's parser accepts them), and
// collects the text of the value of every member called "crs".
class CrsScanner {
 public:
  // A block of the text: the characters that cannot change what is collected are passed over.
  void feed(std::string_view text) {
    for (std::size_t i = next(text, 0); i < text.size(); i = next(text, i + 1)) feed(text[i]);
  }

  void feed(char c) {
    switch (mode_) {
      case Mode::Code:
        if (c == '/') mode_ = Mode::Slash;
        else code(c);
        return;
      case Mode::Slash:
        if (c == '*' || c == '/') {
          mode_ = c == '*' ? Mode::Block : Mode::Line;
          return;
        }
        mode_ = Mode::Code;
        code('/');
        return feed(c);
      case Mode::Block: mode_ = c == '*' ? Mode::BlockStar : Mode::Block; return;
      case Mode::BlockStar: mode_ = c == '/' ? Mode::Code : c == '*' ? Mode::BlockStar : Mode::Block; return;
      case Mode::Line: mode_ = c == '\n' ? Mode::Code : Mode::Line; return;
      case Mode::String: return string(c);
      case Mode::Escape:
        keep(c);
        mode_ = Mode::String;
        if (c != 'u') name(c);
        else mode_ = Mode::Unicode, hexLeft_ = 4, unicode_ = 0;
        return;
      case Mode::Unicode: return unicode(c);
    }
  }

  // The values collected once the text is read; a value cut off by the end counts too.
  std::vector<std::string> values() {
    if (capturing_) finishValue();
    return std::move(values_);
  }

 private:
  enum class Mode { Code, Slash, Block, BlockStar, Line, String, Escape, Unicode };

  void keep(char c) {
    if (capturing_) value_.push_back(c);
  }

  // The first character from i that may change the scanner's state: inside comments, their end;
  // outside a captured value, a string's quote or escape once its start is known, and between
  // strings, a quote or a comment's slash unless a name waits for its colon.
  std::size_t next(std::string_view text, std::size_t i) const {
    std::size_t found = i;
    if (mode_ == Mode::Block) found = text.find('*', i);
    else if (mode_ == Mode::Line) found = text.find('\n', i);
    else if (capturing_) found = i;
    else if (mode_ == Mode::String && text_.size() >= 4) found = text.find_first_of(quote_ == '"' ? "\\\"" : "\\'", i);
    else if (mode_ == Mode::Code && !awaitingColon_) found = text.find_first_of("/\"'", i);
    return std::min(found, text.size());
  }

  // A character of the string being read: four tell "crs" from any other name.
  void name(char c) {
    if (text_.size() < 4) text_.push_back(c);
  }

  void string(char c) {
    keep(c);
    if (c == '\\') mode_ = Mode::Escape;
    else if (c != quote_) name(c);
    else {
      mode_ = Mode::Code;
      awaitingColon_ = !capturing_;
    }
  }

  // A \uXXXX escape: the letters it may spell in a key are kept, anything else is a '?'.
  void unicode(char c) {
    keep(c);
    const int letter = std::tolower(static_cast<unsigned char>(c));
    const int digit = std::isdigit(letter) ? letter - '0' : std::isxdigit(letter) ? letter - 'a' + 10 : 0;
    unicode_ = unicode_ * 16 + digit;
    if (--hexLeft_ > 0) return;
    name(unicode_ < 0x80 ? static_cast<char>(unicode_) : '?');
    mode_ = Mode::String;
  }

  // A character outside strings and comments.
  void code(char c) {
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (capturing_) return captured(c, space);
    if (space) return;
    if (c == ':' && awaitingColon_ && text_ == "crs") {
      capturing_ = true;
      depth_ = 0;
      value_.clear();
    } else if (c == '"' || c == '\'') {
      startString(c);
    }
    awaitingColon_ = false;
  }

  void captured(char c, bool space) {
    if (!space && depth_ == 0 && !value_.empty() && (c == ',' || c == '}' || c == ']')) return finishValue();
    value_.push_back(c);
    if (value_.size() > kLongestCrs) return finishValue();
    if (c == '"' || c == '\'') startString(c);
    else if (c == '{' || c == '[') ++depth_;
    else if ((c == '}' || c == ']') && --depth_ <= 0) finishValue();
  }

  void startString(char quote) {
    mode_ = Mode::String;
    quote_ = quote;
    text_.clear();
  }

  void finishValue() {
    capturing_ = false;
    values_.push_back(std::move(value_));
    value_.clear();
  }

  Mode mode_ = Mode::Code;
  char quote_ = '"';
  int hexLeft_ = 0;
  int unicode_ = 0;
  std::string text_;  // the start of the last string read, escapes resolved
  bool awaitingColon_ = false;
  bool capturing_ = false;
  int depth_ = 0;
  std::string value_;
  std::vector<std::string> values_;
};

// The declared value as the message shows it.
std::string shown(std::string value) {
  const std::size_t first = value.find_first_not_of(" \t\r\n");
  value.erase(0, first == std::string::npos ? value.size() : first);
  if (value.size() > 200) value.resize(200);
  return value;
}

// Whether the text may hold a member called "crs": the name written out, or an escape, which may
// spell it ("\u0063rs"). Most files hold neither, and need no scanner.
bool mayDeclareCrs(VSILFILE* file) {
  std::array<char, 65536> buffer;
  std::size_t kept = 0;  // the last two characters of the previous block: a name across blocks
  for (std::size_t read; (read = VSIFReadL(buffer.data() + kept, 1, buffer.size() - kept, file)) > 0;) {
    const std::string_view text(buffer.data(), kept + read);
    if (text.find("crs") != std::string_view::npos || text.find('\\') != std::string_view::npos) return true;
    kept = std::min<std::size_t>(2, text.size());
    std::memmove(buffer.data(), text.data() + text.size() - kept, kept);
  }
  return false;
}

bool readAsGeoJson(const std::filesystem::path& path) {
  static const char* const geoJson[] = {"GeoJSON", nullptr};
  return GDALIdentifyDriverEx(path.c_str(), GDAL_OF_VECTOR, geoJson, nullptr) != nullptr;
}

}  // namespace

core::Status checkGeoJsonCrs(const std::filesystem::path& path) {
  const std::unique_ptr<VSILFILE, int (*)(VSILFILE*)> file(VSIFOpenL(path.c_str(), "rb"), VSIFCloseL);
  if (!file || !mayDeclareCrs(file.get()) || VSIFSeekL(file.get(), 0, SEEK_SET) != 0) return {};
  CrsScanner scanner;
  std::array<char, 65536> buffer;
  for (std::size_t read; (read = VSIFReadL(buffer.data(), 1, buffer.size(), file.get())) > 0;) {
    scanner.feed(std::string_view(buffer.data(), read));
  }
  // GDAL's identification is asked only about a refused value: most declarations are known.
  for (std::string& value : scanner.values()) {
    if (value.size() <= kLongestCrs && knownCrs(value)) continue;
    if (!readAsGeoJson(path)) return {};
    return {core::Problem::PolygonCrsUnknown, path, {.name = shown(std::move(value))}};
  }
  return {};
}

}  // namespace ombrix::gis
