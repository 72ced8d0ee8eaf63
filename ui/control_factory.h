#pragma once
// Controls placed at fixed pixel positions, each named and given its own font, so the windows
// read like their layout tables.
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace ombrix::ui {

// Left, top, width, height in pixels, relative to the parent.
struct Place {
  int left;
  int top;
  int width;
  int height;
};

// "Name_i": the object name of element i of a control array.
QString elementName(const char* name, int index);

QLabel* addLabel(QWidget* parent, const QString& name, const QString& caption, Place place);
// A text box showing a value the program fills; the user reads it, never edits it.
QLineEdit* addReadout(QWidget* parent, const QString& name, Place place);
QLineEdit* addTextBox(QWidget* parent, const QString& name, Place place);
QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, Place place);
// A drop-down list with a text field the user may type into.
QComboBox* addEditableList(QWidget* parent, const QString& name, Place place, const QStringList& items = {});
QRadioButton* addOptionButton(QWidget* parent, const QString& name, const QString& caption, Place place);
QCheckBox* addCheckBox(QWidget* parent, const QString& name, const QString& caption, Place place);
// A frame whose caption has captionFont in captionColour; its children keep their own fonts.
QGroupBox* addFrame(QWidget* parent, const QString& name, const QString& caption, Place place,
                    const QFont& font, const QColor& captionColour);
// A rectangle filled solidly with fill and outlined with border.
QFrame* addFilledBox(QWidget* parent, const QString& name, Place place, const QColor& fill, const QColor& border);
// A sunken picture box (plain drawing area).
QFrame* addPictureBox(QWidget* parent, const QString& name, Place place);

// The blue of captions and of the progress bars.
inline const QColor kCaptionBlue{0, 0, 255};

}  // namespace ombrix::ui
