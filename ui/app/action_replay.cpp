#include "ui/app/action_replay.h"

#include <algorithm>

#include "profile/gbk_text.h"

namespace lumiq::ui::app {

std::vector<std::string> KeystrokesOf(const std::string& utf8) {
  std::vector<std::string> keys;
  for (size_t i = 0; i < utf8.size();) {
    char32_t character = 0;
    const size_t length = std::max<size_t>(1, profile::NextUtf8Character(utf8.substr(i), &character));
    keys.push_back(utf8.substr(i, length));
    i += length;
  }
  return keys;
}

uint32_t RunnerKeyIntervalMs(const KeyTiming& timing) {
  constexpr uint32_t kUsualIntervalMs = 30;
  return timing.IntervalMs().value_or(kUsualIntervalMs);
}

bool ReplayAction(ActionDriver& driver, const UserAction& action, std::string* note) {
  auto nothing = [note](const char* why) {
    if (note) *note = why;
    return false;
  };
  using Kind = UserAction::Kind;
  using ControlKind = ActionDriver::ControlKind;
  switch (action.kind) {
    case Kind::kSave:
      driver.Press(ActionDriver::Button::kSave);
      return true;
    case Kind::kExit:
      driver.Press(ActionDriver::Button::kExit);
      return true;
    case Kind::kApply:
      if (!driver.IsShown(ActionDriver::Button::kApply)) return nothing(kNotAFileWindow);
      driver.Press(ActionDriver::Button::kApply);
      return true;
    case Kind::kTab:
      driver.SelectTab(action.tab);
      return true;
    case Kind::kImport:
    case Kind::kExport: {
      // The button is pressed; the file dialog it opens answers with FILE.
      const auto transfer = driver.Transfer(
          action.kind == Kind::kImport ? FileChoice::kImport : FileChoice::kExport, action.text);
      return (transfer && transfer->ok) || nothing(kTransferFailed);
    }
    case Kind::kChannel: {
      const auto switched = driver.SwitchChannel(action.text);
      return (switched && switched->ok) || nothing(kNoSuchControl);
    }
    case Kind::kTestScan:
      driver.OpenTestScan();
      return true;
    case Kind::kKeys:
      return driver.ScanKeys(KeystrokesOf(action.text), note);
    case Kind::kSerial:
      return driver.ScanSerial(action.text, note);
    case Kind::kCheck:
    case Kind::kUncheck:
    case Kind::kText:
      break;
    case Kind::kConnect:
    case Kind::kPick:
    case Kind::kUnplug:
    case Kind::kPlug:
    case Kind::kOpen:
    case Kind::kAnswer:
      // Done outside the settings window, by the runner.
      return nothing(kNoSuchControl);
  }

  const int page = action.templateId;
  const int id = action.controlId;
  const ControlKind kind = driver.KindOf(page, id);
  if (kind == ControlKind::kNone) return nothing(kNoSuchControl);
  if (!driver.IsShown(page, id)) return nothing(kControlHidden);
  if (!driver.IsEnabled(page, id)) return nothing(kControlDisabled);

  if (action.kind == Kind::kText) {
    driver.Type(page, id, action.text);
    return true;
  }
  if (kind == ControlKind::kOther) return nothing(kNotAButton);
  const bool radio = kind == ControlKind::kRadioButton;
  if (action.kind == Kind::kCheck) {
    if (radio || !driver.IsChecked(page, id)) driver.Click(page, id);
    return true;
  }
  if (radio) return nothing(kRadioNeverUnchecked);
  if (driver.IsChecked(page, id)) driver.Click(page, id);
  return true;
}

}  // namespace lumiq::ui::app
