#include "ui/qt/user_actions.h"

#include <optional>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ui/app/action_replay.h"
#include "ui/qt/gbk_text.h"
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

namespace {

// The runner's actions on this binding's widgets.
class QtActionDriver final : public app::ActionDriver {
 public:
  explicit QtActionDriver(SettingsWindow& window) : window_(window) {}

  void Press(Button button) override { ButtonOf(button)->click(); }
  bool IsShown(Button button) const override { return !ButtonOf(button)->isHidden(); }
  void SelectTab(int tab) override { window_.Tabs()->setCurrentIndex(tab); }
  std::optional<app::TransferResult> Transfer(app::FileChoice choice,
                                              const std::string& file) override {
    app::GivenFileChooser chooser(file);
    window_.UseFileChooser(&chooser);
    const auto transfer = choice == app::FileChoice::kImport ? window_.Import()
                                                             : window_.Export();
    window_.UseFileChooser(nullptr);
    return transfer;
  }

  ControlKind KindOf(int templateId, int id) const override {
    QWidget* control = Control(templateId, id);
    if (!control) return ControlKind::kNone;
    if (qobject_cast<QRadioButton*>(control)) return ControlKind::kRadioButton;
    if (qobject_cast<QAbstractButton*>(control)) return ControlKind::kCheckBox;
    return ControlKind::kOther;
  }
  bool IsShown(int templateId, int id) const override {
    return !Control(templateId, id)->isHidden();
  }
  bool IsEnabled(int templateId, int id) const override {
    return Control(templateId, id)->isEnabled();
  }
  bool IsChecked(int templateId, int id) const override {
    return qobject_cast<QAbstractButton*>(Control(templateId, id))->isChecked();
  }
  void Click(int templateId, int id) override {
    qobject_cast<QAbstractButton*>(Control(templateId, id))->click();
  }
  void Type(int templateId, int id, const std::string& text) override {
    TypeText(Control(templateId, id), FromUtf8Whole(text));
  }

 private:
  QPushButton* ButtonOf(Button button) const {
    switch (button) {
      case Button::kSave: return window_.SaveButton();
      case Button::kApply: return window_.ApplyButton();
      case Button::kExit: break;
    }
    return window_.ExitButton();
  }
  QWidget* Control(int templateId, int id) const {
    QtPageControls* page = window_.PageByTemplate(templateId);
    return page ? page->Widget(id) : nullptr;
  }

  SettingsWindow& window_;
};

}  // namespace

bool ApplyUserAction(SettingsWindow& window, const UserAction& action, std::string* note) {
  QtActionDriver driver(window);
  return app::ReplayAction(driver, action, note);
}

}  // namespace lumiq::ui::qt
