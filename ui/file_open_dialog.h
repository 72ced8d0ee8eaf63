#pragma once
// FileOpen: chooses a preprocessed file (*.RMD) from a folder. "選択" asks the main window to
// open the chosen file; the dialog stays up so that another file can be chosen.
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QWidget>

#include "ui/directory_list.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class FileOpenDialog final : public QWidget {
  Q_OBJECT

 public:
  FileOpenDialog(MessageSink& messages, QWidget* parent);
  ~FileOpenDialog() override;

  DirectoryList& directoryList() const noexcept { return *directoryList_; }
  QListWidget& fileList() const noexcept { return *fileList_; }

  // The folder the file list shows (the one open in the directory list).
  QString folder() const { return directoryList_->openPath(); }
  // The name highlighted in the file list; empty when none is.
  QString chosenName() const;

  void select();  // Command1 "選択"
  void back();    // Command2 "戻る"

 signals:
  // name is empty when no file is chosen.
  void openRequested(const QString& folder, const QString& name);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void listFiles();

  DirectoryList* directoryList_;
  QListWidget* fileList_;
  QLineEdit* chosenText_;  // Text1
  QString listedFolder_;
};

}  // namespace ombrix::ui
