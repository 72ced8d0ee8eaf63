#include "ui/qt_texts_ja.h"

#include <array>
#include <cstring>

namespace ombrix::ui {

namespace {

struct Text {
  const char* context;
  const char* source;
  const char* japanese;
};

constexpr std::array<Text, 6> kTexts{{
    {"QAbstractFileIconProvider", "Folder", "フォルダー"},
    {"QAbstractFileIconProvider", "File Folder", "フォルダー"},
    {"QAbstractFileIconProvider", "File", "ファイル"},
    {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Unknown", "不明"},
}};

}  // namespace

QString MissingQtTextsJa::translate(const char* context, const char* sourceText, const char*, int) const {
  if (context == nullptr || sourceText == nullptr) return {};
  for (const Text& text : kTexts) {
    if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0) {
      return QString::fromUtf8(text.japanese);
    }
  }
  return {};
}

}  // namespace ombrix::ui
