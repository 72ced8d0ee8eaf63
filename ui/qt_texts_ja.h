#pragma once
// Japanese for the texts of Qt's standard dialogs that Qt's own Japanese translation lacks (the
// file dialog's type column: "Folder", "File", "%1 File", "Drive", "Unknown").
#include <QTranslator>

namespace ombrix::ui {

class MissingQtTextsJa final : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                    int n = -1) const override;
  bool isEmpty() const override { return false; }
};

}  // namespace ombrix::ui
