#include "ui/directory_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "ui/app_look.h"

namespace ombrix::ui {

QString DirectoryList::startDirectory() {
  for (const QString& candidate : {QDir::currentPath(), QDir::homePath()}) {
    if (QDir(candidate).isReadable()) return candidate;
  }
  return QDir::rootPath();
}

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentStep = 2;  // spaces per level

QString withIndent(const QString& name, int depth) { return QString(depth * kIndentStep, QLatin1Char(' ')) + name; }

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryList::openItem);
}

bool DirectoryList::openDirectory(const QString& path) {
  const QFileInfo info(path);
  if (!info.isDir() || !QDir(path).isReadable()) {
    emit openFailed(path);
    return false;
  }
  openPath_ = QDir::cleanPath(info.absoluteFilePath());
  fill();
  return true;
}

void DirectoryList::openItem(QListWidgetItem* item) { openDirectory(item->data(kPathRole).toString()); }

void DirectoryList::fill() {
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The open path, root first: "/", then each folder down to the open one.
  QStringList parts = openPath_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString path = QStringLiteral("/");
  auto* root = new QListWidgetItem(openIcon, path, this);
  root->setData(kPathRole, path);
  int depth = 1;
  for (const QString& part : parts) {
    path = path.endsWith(QLatin1Char('/')) ? path + part : path + QLatin1Char('/') + part;
    auto* item = new QListWidgetItem(openIcon, withIndent(part, depth++), this);
    item->setData(kPathRole, path);
  }
  setCurrentRow(count() - 1);
  const QDir open(openPath_);
  const QStringList folders = open.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::LocaleAware);
  for (const QString& folder : folders) {
    auto* item = new QListWidgetItem(closedIcon, withIndent(folder, depth), this);
    item->setData(kPathRole, open.filePath(folder));
  }
}

DirectoryList* addDirectoryList(QWidget* parent, Place place, MessageSink& messages) {
  auto* list = new DirectoryList(parent);
  list->setObjectName(QStringLiteral("Dir1"));
  list->setFont(controlFont());
  list->setGeometry(place.left, place.top, place.width, place.height);
  QObject::connect(list, &DirectoryList::openFailed, list,
                   [&messages](const QString& path) {
                     messages.report({core::Problem::CannotOpenFolder, path.toStdString()});
                   });
  return list;
}

}  // namespace ombrix::ui
