#include "ui/overwrite_dialog.h"

#include "ui/app_look.h"
#include "ui/control_factory.h"

namespace ombrix::ui {

OverwriteDialog::OverwriteDialog(QWidget* parent) : QWidget(parent, Qt::Window) {
  prepareWindow(*this, QStringLiteral("OverWrite"), QStringLiteral("ファイルが存在します。上書きしますか？"), 353, 57);
  connect(addButton(this, QStringLiteral("Command1"), QStringLiteral("上書保存"), {48, 16, 113, 25}),
          &QPushButton::clicked, this, &OverwriteDialog::overwrite);
  connect(addButton(this, QStringLiteral("Command2"), QStringLiteral("処理を中止"), {192, 16, 113, 25}),
          &QPushButton::clicked, this, &OverwriteDialog::cancel);
}

void OverwriteDialog::overwrite() {
  hide();
  emit overwriteChosen();
}

void OverwriteDialog::cancel() { hide(); }

}  // namespace ombrix::ui
