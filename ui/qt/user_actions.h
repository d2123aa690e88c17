#pragma once

#include <optional>
#include <string>

#include <QString>

class QWidget;

namespace lumiq::ui::qt {

class SettingsWindow;

// What a user does in the settings window, written as one word:
//   check:TEMPLATE:ID  uncheck:TEMPLATE:ID  text:TEMPLATE:ID=TEXT
//   tab:N  save  exit
// TEMPLATE is a page's template id (130, 131, 132, 133, 137), ID a control
// of that page; TEXT is UTF-8.
struct UserAction {
  enum class Kind { kCheck, kUncheck, kText, kTab, kSave, kExit };
  Kind kind = Kind::kSave;
  int templateId = 0;
  int controlId = 0;
  int tab = 0;
  QString text;
};

// Parses and checks one action against the templates: the page and control
// must exist and suit the action. nullopt with `error` set otherwise.
std::optional<UserAction> ParseUserAction(const std::string& word, std::string* error);

// Carries the action out as the user's mouse and keyboard would: a check
// box is clicked when its state differs, a radio button clicked checks it
// and clears its group (no click unchecks one), typing replaces the text and
// a number-only edit drops what is not a digit. A disabled or hidden control
// takes nothing. Returns false, with `note`, when the action changed nothing
// for that reason.
bool ApplyUserAction(SettingsWindow& window, const UserAction& action, std::string* note);

// Typing that replaces the text of an edit or of a combo box's edit field,
// one character at a time through the edit's own input checks.
void TypeText(QWidget* control, const QString& text);

// A message box as one line of output: "MESSAGE " and the text, line breaks
// written as \n.
std::string MessageLine(const QString& text);

}  // namespace lumiq::ui::qt
