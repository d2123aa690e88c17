#include "ui/qt/about_dialog.h"

#include <QPushButton>

#include "res/ids/app_ids.h"
#include "ui/qt/opening_focus.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kAboutTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(Translated(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));
  if (auto* ok = qobject_cast<QPushButton*>(controls_.Find(res::kAboutOkButton))) {
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
  FocusOnOpening(this, controls_);
}

}  // namespace lumiq::ui::qt
