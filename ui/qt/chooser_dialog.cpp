#include "ui/qt/chooser_dialog.h"

#include <utility>

#include <QListWidget>
#include <QPushButton>

#include "res/ids/app_ids.h"
#include "ui/qt/opening_focus.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

ChooserDialog::ChooserDialog(std::vector<app::ScannerChoice> choices, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kChooserTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(Translated(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));

  list_ = qobject_cast<QListWidget*>(controls_.Find(res::kChooserList));
  for (const app::ScannerChoice& choice : choices_) {
    list_->addItem(QString::fromStdString(choice.text));
  }
  list_->setCurrentRow(0);
  // A double click accepts; Enter reaches the dialog's default button (the
  // list's own activation is not used, or Enter would connect twice).
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  if (auto* ok = qobject_cast<QPushButton*>(controls_.Find(res::kChooserOkButton))) {
    connect(ok, &QPushButton::clicked, this, [this] {
      if (Chosen()) accept();
    });
  }
  if (auto* cancel = qobject_cast<QPushButton*>(controls_.Find(res::kChooserCancelButton))) {
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }
  FocusOnOpening(this, controls_);
}

const app::ScannerChoice* ChooserDialog::Chosen() const {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(choices_.size())) return nullptr;
  return &choices_[static_cast<size_t>(row)];
}

}  // namespace lumiq::ui::qt
