#pragma once

#include <optional>
#include <string>

#include <cstdint>
#include <vector>

#include "ui/app/profile_transfer.h"
#include "ui/app/scan_capture.h"
#include "ui/app/user_action.h"

namespace lumiq::ui::app {

// What the runner's actions need of a settings window, each binding on its
// own widgets: a control is named by its page's template id and its id.
class ActionDriver {
 public:
  enum class Button { kSave, kExit, kApply };
  enum class ControlKind { kNone, kCheckBox, kRadioButton, kOther };

  virtual ~ActionDriver() = default;

  // A click on the window's push button.
  virtual void Press(Button button) = 0;
  virtual bool IsShown(Button button) const = 0;
  // The tab header clicked: the tab's page shows.
  virtual void SelectTab(int tab) = 0;
  // "导入配置..." or "导出配置..." pressed, its file dialog answered with
  // `file` (UTF-8, as typed into it); nullopt when no file was chosen.
  virtual std::optional<TransferResult> Transfer(FileChoice choice, const std::string& file) = 0;
  // "更改输出方式..." pressed, its dialog answered with the channel whose
  // `io_outputs` is `output`; nullopt when nothing was switched.
  virtual std::optional<TransferResult> SwitchChannel(const std::string& output) = 0;
  // "扫描测试..." pressed: its window opens and stays.
  virtual void OpenTestScan() = 0;
  // Keys typed at the test-scan window, one character each (UTF-8) at the
  // scanner's pace, then the pause that ends the scan; false with `note`
  // when no test-scan window watches the keyboard.
  virtual bool ScanKeys(const std::vector<std::string>& keys, std::string* note) = 0;
  // Bytes on the scanner's serial port, then the pause; false with `note`
  // when the test-scan window has no port open.
  virtual bool ScanSerial(const std::string& bytes, std::string* note) = 0;

  virtual ControlKind KindOf(int templateId, int id) const = 0;
  virtual bool IsShown(int templateId, int id) const = 0;
  virtual bool IsEnabled(int templateId, int id) const = 0;
  virtual bool IsChecked(int templateId, int id) const = 0;
  // The user's mouse on the control.
  virtual void Click(int templateId, int id) = 0;
  // The user's typing that replaces the control's text (UTF-8), keystroke
  // by keystroke through the control's own input checks.
  virtual void Type(int templateId, int id, const std::string& text) = 0;
};

// Carries the action out as the user's mouse and keyboard would: a check
// box is clicked when its state differs, a radio button clicked checks it
// and clears its group (no click unchecks one), typing replaces the text. A
// hidden or disabled control takes nothing. Returns false, with `note`,
// when the action changed nothing for that reason.
bool ReplayAction(ActionDriver& driver, const UserAction& action, std::string* note);

// The characters of `utf8`, one key each.
std::vector<std::string> KeystrokesOf(const std::string& utf8);

// Milliseconds between the runner's keys: the key timing the window
// expects, so that a scan typed by the runner comes at the scanner's pace.
uint32_t RunnerKeyIntervalMs(const KeyTiming& timing);

}  // namespace lumiq::ui::app
