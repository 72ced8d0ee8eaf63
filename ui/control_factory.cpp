#include "ui/control_factory.h"

#include <QFontMetrics>
#include <QPalette>

#include "ui/app_look.h"

namespace ombrix::ui {

namespace {

template <typename Control>
Control* placed(Control* control, const QString& name, Place place) {
  control->setObjectName(name);
  control->setFont(controlFont());
  control->setGeometry(place.left, place.top, place.width, place.height);
  return control;
}

QString rgb(const QColor& colour) {
  return QStringLiteral("rgb(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

}  // namespace

QString elementName(const char* name, int index) { return QStringLiteral("%1_%2").arg(QString::fromUtf8(name)).arg(index); }

QLabel* addLabel(QWidget* parent, const QString& name, const QString& caption, Place place) {
  return placed(new QLabel(caption, parent), name, place);
}

QLineEdit* addReadout(QWidget* parent, const QString& name, Place place) {
  QLineEdit* box = addTextBox(parent, name, place);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::NoFocus);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  box->setPalette(palette);
  // A value longer than the box shows its beginning ("35.12…"), never only its end.
  QObject::connect(box, &QLineEdit::cursorPositionChanged, box, [box](int, int position) {
    if (position != 0) box->setCursorPosition(0);
  });
  return box;
}

QLineEdit* addTextBox(QWidget* parent, const QString& name, Place place) {
  QLineEdit* box = placed(new QLineEdit(parent), name, place);
  box->setTextMargins(0, 0, 0, 0);
  return box;
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, Place place) {
  QPushButton* button = placed(new QPushButton(caption, parent), name, place);
  button->setAutoDefault(false);
  return button;
}

QComboBox* addEditableList(QWidget* parent, const QString& name, Place place, const QStringList& items) {
  QComboBox* list = placed(new QComboBox(parent), name, place);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->addItems(items);
  return list;
}

QRadioButton* addOptionButton(QWidget* parent, const QString& name, const QString& caption, Place place) {
  return placed(new QRadioButton(caption, parent), name, place);
}

QCheckBox* addCheckBox(QWidget* parent, const QString& name, const QString& caption, Place place) {
  return placed(new QCheckBox(caption, parent), name, place);
}

QGroupBox* addFrame(QWidget* parent, const QString& name, const QString& caption, Place place, const QFont& font,
                    const QColor& captionColour) {
  QGroupBox* frame = placed(new QGroupBox(caption, parent), name, place);
  frame->setFont(font);
  // The caption sits on the top line of the frame. Only the title sub-control is coloured: a
  // palette would pass the colour on to the children.
  const int captionMiddle = QFontMetrics(font).height() / 2;
  frame->setStyleSheet(QStringLiteral("QGroupBox#%1 { border: 1px solid rgb(160,160,160); margin-top: %3px; }"
                                      "QGroupBox#%1::title { subcontrol-origin: margin; subcontrol-position: top left;"
                                      " left: 6px; padding: 0px 2px; color: %2; }")
                           .arg(name, rgb(captionColour))
                           .arg(caption.isEmpty() ? 0 : captionMiddle));
  return frame;
}

QFrame* addFilledBox(QWidget* parent, const QString& name, Place place, const QColor& fill, const QColor& border) {
  QFrame* box = placed(new QFrame(parent), name, place);
  box->setStyleSheet(QStringLiteral("QFrame#%1 { background-color: %2; border: 1px solid %3; }")
                         .arg(name, rgb(fill), rgb(border)));
  return box;
}

QFrame* addPictureBox(QWidget* parent, const QString& name, Place place) {
  QFrame* box = placed(new QFrame(parent), name, place);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setLineWidth(1);
  return box;
}

}  // namespace ombrix::ui
