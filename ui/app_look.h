#pragma once
// The look every window shares: the program's fonts and their substitutes on this platform,
// the emblem, and the fixed-size window frame.
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace ombrix::ui {

// The window layouts name Windows fonts; map them to the free fonts that stand in for them.
// Call once before the first window is created.
void registerFontSubstitutions();
// The substitutions, the default control font and the emblem as the application's icon.
void prepareApplication();

inline constexpr const char* kGothicFamily = "ＭＳ Ｐゴシック";
inline constexpr const char* kArialFamily = "Arial";
inline constexpr const char* kArialBlackFamily = "Arial Black";

// A font with every attribute set explicitly, so that a parent's font (a bold frame caption)
// never leaks into the control that carries it.
QFont explicitFont(const char* family, double points, bool bold = false, bool underline = false);
// The font of controls without a font of their own: regular 9-point gothic.
QFont controlFont();
// Frame and title captions: bold 12-point gothic (shown in blue).
QFont captionFont();

// The 32 x 32 emblem, a blue umbrella in rain, and the window icon made from it.
QPixmap emblemPixmap();
QIcon appIcon();

// Names the window, gives it its caption and the emblem, and fixes its client area.
void prepareWindow(QWidget& window, const QString& objectName, const QString& caption, int clientWidth,
                   int clientHeight);

// Shows a window without blocking the others, or brings it up again as it was.
void bringUp(QWidget& window);

}  // namespace ombrix::ui
