#pragma once
// UTF-8 texts of the layers below (messages, names, paths) as Qt strings.
#include <QString>
#include <string_view>

namespace ombrix::ui {

inline QString qtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ombrix::ui
