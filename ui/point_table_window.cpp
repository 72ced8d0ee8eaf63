#include "ui/point_table_window.h"

#include <QDir>
#include <QLabel>
#include <QStyle>

#include "core/messages.h"
#include "export/point_table.h"
#include "ui/app_look.h"
#include "ui/control_factory.h"
#include "ui/qt_text.h"

namespace ombrix::ui {

PointTableWindow::PointTableWindow(core::AnalysisConditions& conditions, MessageSink& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), conditions_(conditions), messages_(messages) {
  prepareWindow(*this, QStringLiteral("FilePathCSV"), QStringLiteral("CSVレーダアメダスデータのIDテーブルの出力"),
                kClientWidth, kClientHeight);
  // This window does without the program's emblem: the plain window icon of the platform.
  setWindowIcon(style()->standardIcon(QStyle::SP_TitleBarMenuButton));

  QGroupBox* frame = addFrame(this, QStringLiteral("Frame1"), QString(), {16, 8, 193, 249}, controlFont(), Qt::black);
  directoryList_ = addDirectoryList(frame, {8, 16, 177, 225}, messages);
  directoryList_->openStartDirectory();

  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("雨量テーブルデータの出力"), {216, 120, 161, 97}),
          &QPushButton::clicked, this, &PointTableWindow::buildTable);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("閉じる"), {216, 224, 161, 33}),
          &QPushButton::clicked, this, &PointTableWindow::closeWindow);
  QLabel* help = addLabel(this, QStringLiteral("Label1"),
                          QStringLiteral("CSV出力した期間フォルダーを指定してください。その後、下の抽出ボタンを押して"
                                         "IDを入力すると期間内の雨量テーブルCSＶファイルを出力できます。"),
                          {224, 16, 145, 89});
  help->setWordWrap(true);
  help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PointTableWindow::buildTable() {
  const QString folder = directoryList_->openPath();
  conditions_.archiveDir = folder.toStdString();
  const std::filesystem::path set = folder.toStdString();
  if (core::Status status = exports::checkFileList(set); !status) {
    messages_.report(status);
    return;
  }
  messages_.show(messages::kFileListFound);
  const std::optional<QString> answer = messages_.askText(qtText(messages::kAskCellId));
  if (!answer) {
    messages_.report({core::Problem::CellIdNotEntered});
    return;
  }
  const exports::PointTableResult table = exports::buildPointTable(set, answer->toStdString());
  messages_.report(table.status, core::Notice::PointTableWritten, table.path);
}

void PointTableWindow::closeWindow() { hide(); }

}  // namespace ombrix::ui
