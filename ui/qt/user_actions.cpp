#include "ui/qt/user_actions.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "res/dialog_template.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {

namespace {

bool ParseNumber(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  *value = std::atoi(text.c_str());
  return true;
}

bool IsPageTemplate(int templateId) {
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    if (SettingsWindow::TemplateOfTab(tab) == templateId) return true;
  }
  return false;
}

std::optional<UserAction> Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return std::nullopt;
}

}  // namespace

std::optional<UserAction> ParseUserAction(const std::string& word, std::string* error) {
  UserAction action;
  if (word == "save") {
    action.kind = UserAction::Kind::kSave;
    return action;
  }
  if (word == "exit") {
    action.kind = UserAction::Kind::kExit;
    return action;
  }
  if (word.rfind("tab:", 0) == 0) {
    action.kind = UserAction::Kind::kTab;
    if (!ParseNumber(word.substr(4), &action.tab) || action.tab >= SettingsWindow::kPageCount) {
      return Fail(error, "tab: needs a tab index 0 to 4: " + word);
    }
    return action;
  }

  const size_t colon = word.find(':');
  if (colon == std::string::npos) return Fail(error, "unknown action: " + word);
  const std::string verb = word.substr(0, colon);
  std::string rest = word.substr(colon + 1);
  if (verb == "check") {
    action.kind = UserAction::Kind::kCheck;
  } else if (verb == "uncheck") {
    action.kind = UserAction::Kind::kUncheck;
  } else if (verb == "text") {
    action.kind = UserAction::Kind::kText;
    const size_t equals = rest.find('=');
    if (equals == std::string::npos) return Fail(error, "text: needs =TEXT: " + word);
    action.text = QString::fromUtf8(rest.substr(equals + 1));
    rest.resize(equals);
  } else {
    return Fail(error, "unknown action: " + word);
  }

  const size_t second = rest.find(':');
  if (second == std::string::npos || !ParseNumber(rest.substr(0, second), &action.templateId) ||
      !ParseNumber(rest.substr(second + 1), &action.controlId)) {
    return Fail(error, verb + ": needs TEMPLATE:ID: " + word);
  }
  if (!IsPageTemplate(action.templateId)) {
    return Fail(error, "not a settings page template: " + word);
  }
  const res::ControlTemplate* control =
      res::FindDialogTemplate(action.templateId)->Find(action.controlId);
  if (!control) return Fail(error, "the page has no such control: " + word);

  const bool button = control->kind == res::ControlKind::kCheckBox ||
                      control->kind == res::ControlKind::kRadioButton;
  const bool textual = control->kind == res::ControlKind::kEdit ||
                       control->kind == res::ControlKind::kComboBox;
  if (action.kind == UserAction::Kind::kText ? !textual : !button) {
    return Fail(error, "the control does not take this action: " + word);
  }
  return action;
}

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
    case UserAction::Kind::kCheck:
    case UserAction::Kind::kUncheck:
    case UserAction::Kind::kText:
      break;
  }

  QtPageControls* page = window.PageByTemplate(action.templateId);
  QWidget* control = page ? page->Widget(action.controlId) : nullptr;
  if (!control) return nothing("no such control");
  if (control->isHidden()) return nothing("the control is hidden");
  if (!control->isEnabled()) return nothing("the control is disabled");

  if (action.kind == UserAction::Kind::kText) {
    TypeText(control, action.text);
    return true;
  }
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (!button) return nothing("not a check box or radio button");
  const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
  if (action.kind == UserAction::Kind::kCheck) {
    if (radio || !button->isChecked()) button->click();
    return true;
  }
  if (radio) return nothing("a click never unchecks a radio button");
  if (button->isChecked()) button->click();
  return true;
}

std::string MessageLine(const QString& text) {
  std::string line = "MESSAGE ";
  for (char c : text.toStdString()) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace lumiq::ui::qt
