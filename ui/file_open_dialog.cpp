#include "ui/file_open_dialog.h"

#include <QDir>

#include "core/messages.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"

namespace ombrix::ui {

namespace {

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;


}  // namespace

FileOpenDialog::FileOpenDialog(MessageSink& messages, QWidget* parent) : QWidget(parent, Qt::Window) {
  prepareWindow(*this, QStringLiteral("FileOpen"), QStringLiteral("前処理済みデータを開く"), kClientWidth,
                kClientHeight);
  directoryList_ = addDirectoryList(this, {8, 8, 217, 289}, messages);
  // The directory list refills itself whenever it opens a folder, by a double-click or
  // otherwise; the file list follows it then.
  connect(directoryList_->model(), &QAbstractItemModel::modelReset, this, &FileOpenDialog::listFiles);

  fileList_ = new QListWidget(this);
  fileList_->setObjectName(QStringLiteral("File1"));
  fileList_->setFont(controlFont());
  fileList_->setGeometry(232, 8, 217, 217);
  fileList_->setSelectionMode(QAbstractItemView::SingleSelection);
  // Clicks and the keyboard both choose a file.
  connect(fileList_, &QListWidget::itemSelectionChanged, this, [this] { chosenText_->setText(chosenName()); });

  chosenText_ = addTextBox(this, QStringLiteral("Text1"), {232, 232, 217, 22});
  chosenText_->setReadOnly(true);
  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("選択"), {288, 272, 73, 25}), &QPushButton::clicked,
          this, &FileOpenDialog::select);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("戻る"), {368, 272, 81, 25}), &QPushButton::clicked,
          this, &FileOpenDialog::back);
  directoryList_->openStartDirectory();
}

// The directory list empties itself as it is destroyed, after this dialog's members.
FileOpenDialog::~FileOpenDialog() { directoryList_->model()->disconnect(this); }

QString FileOpenDialog::chosenName() const {
  const QList<QListWidgetItem*> chosen = fileList_->selectedItems();
  return chosen.isEmpty() ? QString() : chosen.front()->text();
}

void FileOpenDialog::select() {
  const QString name = chosenName();
  chosenText_->setText(name);
  emit openRequested(folder(), name);
}

void FileOpenDialog::back() { hide(); }

void FileOpenDialog::showEvent(QShowEvent* event) {
  listFiles();  // files written since the folder was opened show up
  QWidget::showEvent(event);
}

void FileOpenDialog::listFiles() {
  // A refresh of the same folder keeps the file chosen there.
  const QString chosen = folder() == listedFolder_ ? chosenName() : QString();
  listedFolder_ = folder();
  fileList_->clear();
  // ".RMD" in any letter case (files copied from other systems often come in lower case);
  // hidden files (the temporary files of a run still writing) never show.
  QDir open(folder());
  open.setNameFilters({QStringLiteral("*.RMD")});
  open.setFilter(QDir::Files);
  open.setSorting(QDir::Name);
  for (const QString& name : open.entryList()) {
    if (name.startsWith(QLatin1Char('.'))) continue;
    auto* item = new QListWidgetItem(name, fileList_);
    if (name == chosen) item->setSelected(true);
  }
}

}  // namespace ombrix::ui
