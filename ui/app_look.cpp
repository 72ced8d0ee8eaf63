#include "ui/app_look.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/qt_texts_ja.h"

namespace ombrix::ui {

namespace {
#include "ui/ombrix_icon.xpm"
}  // namespace

void registerFontSubstitutions() {
  QFont::insertSubstitution(QString::fromUtf8(kGothicFamily), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QString::fromUtf8(kArialFamily), QStringLiteral("Liberation Sans"));
  // The heavy face is asked for by weight (explicitFont with bold) on the same family.
  QFont::insertSubstitution(QString::fromUtf8(kArialBlackFamily), QStringLiteral("Liberation Sans"));
}

// Qt's own texts (standard buttons, file dialogs) in Japanese, like the rest of the program.
void installJapaneseQtTexts() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
  QCoreApplication::installTranslator(new MissingQtTextsJa(QCoreApplication::instance()));
}

void prepareApplication() {
  registerFontSubstitutions();
  installJapaneseQtTexts();
  QApplication::setFont(controlFont());
  QApplication::setWindowIcon(appIcon());
}

QFont explicitFont(const char* family, double points, bool bold, bool underline) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(points);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setItalic(false);
  font.setUnderline(underline);
  font.setStrikeOut(false);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QFont controlFont() { return explicitFont(kGothicFamily, 9.0); }

QFont captionFont() { return explicitFont(kGothicFamily, 12.0, true); }

QPixmap emblemPixmap() { return QPixmap(ombrix_icon_xpm); }

QIcon appIcon() { return QIcon(emblemPixmap()); }

void prepareWindow(QWidget& window, const QString& objectName, const QString& caption, int clientWidth,
                   int clientHeight) {
  window.setObjectName(objectName);
  window.setWindowTitle(caption);
  window.setWindowIcon(appIcon());
  window.setFont(controlFont());
  window.setFixedSize(clientWidth, clientHeight);
}

void bringUp(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace ombrix::ui
