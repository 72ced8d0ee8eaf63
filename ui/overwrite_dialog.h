#pragma once
// OverWrite: the question asked when the file of the next preprocessing run exists already.
#include <QWidget>

namespace ombrix::ui {

class OverwriteDialog final : public QWidget {
  Q_OBJECT

 public:
  explicit OverwriteDialog(QWidget* parent);

  void overwrite();  // Command1 "上書保存": hides, the run dialog follows
  void cancel();     // Command2 "処理を中止": hides, nothing else happens

 signals:
  void overwriteChosen();
};

}  // namespace ombrix::ui
