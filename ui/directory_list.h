#pragma once
// A directory list: the open directory's path from the root, one folder per line, followed by
// the folders inside it. A double-click opens a folder; a single click only highlights it.
#include <QListWidget>
#include <QString>

#include "ui/control_factory.h"
#include "ui/message_sink.h"

namespace ombrix::ui {

class DirectoryList final : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // Opens a directory as a double-click on it would; false when it cannot be read.
  bool openDirectory(const QString& path);
  // Where a new list starts: the process's current directory, or the home directory (then the
  // root) when that cannot be listed.
  static QString startDirectory();
  // Opens the start directory.
  void openStartDirectory() { openDirectory(startDirectory()); }
  // The open directory: absolute, no trailing separator except for the root "/".
  const QString& openPath() const noexcept { return openPath_; }

 signals:
  void openFailed(const QString& path);

 private:
  void fill();
  void openItem(QListWidgetItem* item);

  QString openPath_;
};

// A dialog's directory list Dir1 at place inside parent, in the controls' font; a folder it
// cannot open is named to messages. It lists nothing until it opens a directory.
DirectoryList* addDirectoryList(QWidget* parent, Place place, MessageSink& messages);

}  // namespace ombrix::ui
