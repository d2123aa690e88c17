#include "ui/qt/user_actions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {

void TypeText(QWidget* control, const QString& text) {
  QLineEdit* edit = qobject_cast<QLineEdit*>(control);
  if (auto* combo = qobject_cast<QComboBox*>(control)) edit = combo->lineEdit();
  if (!edit) return;
  edit->selectAll();
  edit->del();
  // One character at a time, so the edit's input checks see each keystroke
  // (a number-only edit drops the ones that are not digits).
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    edit->insert(text.mid(i, length));
    i += length - 1;
  }
}

bool ApplyUserAction(SettingsWindow& window, const UserAction& action, std::string* note) {
  auto nothing = [note](const char* why) {
    if (note) *note = why;
    return false;
  };
  switch (action.kind) {
    case UserAction::Kind::kSave:
      window.SaveButton()->click();
      return true;
    case UserAction::Kind::kExit:
      window.ExitButton()->click();
      return true;
    case UserAction::Kind::kTab:
      window.Tabs()->setCurrentIndex(action.tab);
      return true;
    case UserAction::Kind::kImport:
    case UserAction::Kind::kExport: {
      // The button is pressed; the file dialog it opens answers with FILE.
      app::GivenFileChooser chooser(action.text);
      window.UseFileChooser(&chooser);
      const auto transfer = action.kind == UserAction::Kind::kImport ? window.Import()
                                                                     : window.Export();
      const bool ok = transfer && transfer->ok;
      window.UseFileChooser(nullptr);
      return ok || nothing(app::kTransferFailed);
    }
    case UserAction::Kind::kCheck:
    case UserAction::Kind::kUncheck:
    case UserAction::Kind::kText:
      break;
  }

  QtPageControls* page = window.PageByTemplate(action.templateId);
  QWidget* control = page ? page->Widget(action.controlId) : nullptr;
  if (!control) return nothing(app::kNoSuchControl);
  if (control->isHidden()) return nothing(app::kControlHidden);
  if (!control->isEnabled()) return nothing(app::kControlDisabled);

  if (action.kind == UserAction::Kind::kText) {
    TypeText(control, QString::fromStdString(action.text));
    return true;
  }
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (!button) return nothing(app::kNotAButton);
  const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
  if (action.kind == UserAction::Kind::kCheck) {
    if (radio || !button->isChecked()) button->click();
    return true;
  }
  if (radio) return nothing(app::kRadioNeverUnchecked);
  if (button->isChecked()) button->click();
  return true;
}

std::string MessageLine(const QString& text) { return app::MessageLine(text.toStdString()); }

}  // namespace lumiq::ui::qt
