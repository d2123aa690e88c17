#include "ui/app/user_action.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "res/dialog_template.h"
#include "profile/gbk_text.h"
#include "ui/app/output_channels.h"
#include "ui/app/page_tabs.h"
#include "ui/app/scan_text.h"

namespace lumiq::ui::app {

namespace {

bool ParseNumber(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  *value = std::atoi(text.c_str());
  return true;
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
  if (word == "connect") {
    action.kind = UserAction::Kind::kConnect;
    return action;
  }
  if (word == "apply") {
    action.kind = UserAction::Kind::kApply;
    return action;
  }
  if (word.rfind("answer:", 0) == 0) {
    action.kind = UserAction::Kind::kAnswer;
    action.text = word.substr(7);
    if (action.text != "save" && action.text != "discard" && action.text != "cancel") {
      return Fail(error, "answer: needs save, discard or cancel: " + word);
    }
    return action;
  }
  if (word == "testscan") {
    action.kind = UserAction::Kind::kTestScan;
    return action;
  }
  if (word.rfind("channel:", 0) == 0) {
    action.kind = UserAction::Kind::kChannel;
    action.text = word.substr(8);
    if (!FindOutputChannel(action.text)) {
      return Fail(error, "channel: needs com1, hid0, wifi0 or bluetooth0: " + word);
    }
    return action;
  }
  for (const auto& [prefix, kind] : {std::pair{"keys:", UserAction::Kind::kKeys},
                                     std::pair{"serial:", UserAction::Kind::kSerial}}) {
    const std::string verb(prefix);
    if (word.rfind(verb, 0) != 0) continue;
    action.kind = kind;
    const std::optional<std::string> bytes = UnescapeScanText(word.substr(verb.size()));
    if (!bytes || bytes->empty()) {
      return Fail(error, verb + " needs a TEXT, its escapes \\r \\n \\t \\\\ \\xNN: " + word);
    }
    // Keys are characters a keyboard types, not bytes.
    if (kind == UserAction::Kind::kKeys && !profile::IsUtf8(*bytes)) {
      return Fail(error, "keys: types characters; \\x80 and above are no character: " + word);
    }
    action.text = *bytes;
    return action;
  }
  for (const auto& [prefix, kind] : {std::pair{"pick:", UserAction::Kind::kPick},
                                     std::pair{"unplug:", UserAction::Kind::kUnplug},
                                     std::pair{"plug:", UserAction::Kind::kPlug}}) {
    const std::string verb(prefix);
    if (word.rfind(verb, 0) != 0) continue;
    action.kind = kind;
    if (!ParseNumber(word.substr(verb.size()), &action.number) || action.number < 1) {
      return Fail(error, verb + " needs a number from 1 on: " + word);
    }
    return action;
  }
  for (const auto& [prefix, kind] : {std::pair{"import:", UserAction::Kind::kImport},
                                     std::pair{"export:", UserAction::Kind::kExport},
                                     std::pair{"open:", UserAction::Kind::kOpen}}) {
    const std::string verb(prefix);
    if (word.rfind(verb, 0) != 0) continue;
    action.kind = kind;
    action.text = word.substr(verb.size());
    if (action.text.empty()) return Fail(error, verb + " needs a FILE: " + word);
    return action;
  }
  if (word.rfind("tab:", 0) == 0) {
    action.kind = UserAction::Kind::kTab;
    if (!ParseNumber(word.substr(4), &action.tab) || action.tab >= kPageCount) {
      return Fail(error,
                  "tab: needs a tab index 0 to " + std::to_string(kPageCount - 1) + ": " + word);
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
    action.text = rest.substr(equals + 1);
    rest.resize(equals);
  } else {
    return Fail(error, "unknown action: " + word);
  }

  const size_t second = rest.find(':');
  if (second == std::string::npos || !ParseNumber(rest.substr(0, second), &action.templateId) ||
      !ParseNumber(rest.substr(second + 1), &action.controlId)) {
    return Fail(error, verb + ": needs TEMPLATE:ID: " + word);
  }
  if (TabOfTemplate(action.templateId) < 0) {
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

bool NeedsSettingsWindow(UserAction::Kind kind) {
  switch (kind) {
    case UserAction::Kind::kConnect:
    case UserAction::Kind::kPick:
    case UserAction::Kind::kUnplug:
    case UserAction::Kind::kPlug:
    case UserAction::Kind::kOpen:
    case UserAction::Kind::kAnswer:
      return false;
    default:
      return true;
  }
}

std::string ChoiceLine(int number, std::string_view text) {
  return "CHOICE " + std::to_string(number) + " " + std::string(text);
}

std::string QuestionLine(std::string_view text, std::string_view answer) {
  return "QUESTION " + MessageLine(text).substr(8) + " -> " + std::string(answer);
}

std::string MessageLine(std::string_view text) {
  std::string line = "MESSAGE ";
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace lumiq::ui::app
