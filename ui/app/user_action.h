#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumiq::ui::app {

// What a user does in the settings window, written as one word:
//   check:TEMPLATE:ID  uncheck:TEMPLATE:ID  text:TEMPLATE:ID=TEXT
//   tab:N  save  exit  import:FILE  export:FILE  apply
//   answer:save  answer:discard  answer:cancel
//   channel:OUTPUT  testscan  keys:TEXT  serial:TEXT
// and, around the settings window:
//   connect  open:FILE  pick:N  unplug:N  plug:N
// TEMPLATE is a page's template id (130, 131, 132, 133, 137), ID a control
// of that page; TEXT is UTF-8. import: and export: press "导入配置..." or
// "导出配置..." and give FILE to the file dialog. connect presses "连接设备"
// again; pick:N chooses the Nth row of the scanner chooser (from 1) and
// presses Enter; unplug:N and plug:N pull and plug the Nth simulated scanner.
// open:FILE presses "打开配置文件..." and gives FILE to its file dialog;
// apply presses "应用到设备..." of a window on a file. answer: is the
// answer to the next question a window asks (closing a file with unsaved
// edits); without one the runner answers discard.
// channel:OUTPUT presses "更改输出方式..." and chooses the channel that
// `io_outputs` OUTPUT names (com1, hid0, wifi0, bluetooth0). testscan presses
// "扫描测试..."; keys:TEXT types TEXT at its window as a keyboard scanner
// would, serial:TEXT sends it on the scanner's serial port, each one scan
// ended by a pause; \r, \n, \t, \\ and \xNN stand for those bytes.
// Each binding carries the action out on its own controls, as the user's
// mouse and keyboard would.
struct UserAction {
  enum class Kind {
    kCheck, kUncheck, kText, kTab, kSave, kExit, kImport, kExport,
    kConnect, kPick, kUnplug, kPlug,
    kOpen, kApply, kAnswer,
    kChannel, kTestScan, kKeys, kSerial,
  };
  Kind kind = Kind::kSave;
  int templateId = 0;
  int controlId = 0;
  int tab = 0;
  int number = 0;    // pick:, unplug:, plug:
  // UTF-8; the file of import:, export: and open:, answer:'s word, the
  // channel of channel:; the bytes of keys: and serial:, escapes resolved.
  std::string text;
};

// False for the actions done outside the settings window.
bool NeedsSettingsWindow(UserAction::Kind kind);

// Parses and checks one action against the templates: the page and control
// must exist and suit the action. nullopt with `error` set otherwise.
std::optional<UserAction> ParseUserAction(const std::string& word, std::string* error);

// Why an action changed nothing, in the words both bindings print.
inline constexpr char kNoSuchControl[] = "no such control";
inline constexpr char kControlHidden[] = "the control is hidden";
inline constexpr char kControlDisabled[] = "the control is disabled";
inline constexpr char kNotAButton[] = "not a check box or radio button";
inline constexpr char kRadioNeverUnchecked[] = "a click never unchecks a radio button";
inline constexpr char kTransferFailed[] = "the file was refused or could not be written";
inline constexpr char kNoSettingsWindow[] = "the settings window has ended";
inline constexpr char kNoChooser[] = "no scanner chooser is open";
inline constexpr char kNoSuchChoice[] = "the chooser has no such row";
inline constexpr char kSettingsWindowOpen[] = "the settings window is open";
inline constexpr char kNotAFileWindow[] = "the window shows no profile file";
inline constexpr char kNoTestScanWindow[] = "the test scan window is not open";
inline constexpr char kNotWatchingKeyboard[] = "the test scan window does not watch the keyboard";
inline constexpr char kNoSerialPortOpen[] = "the test scan window has no serial port open";

// A question a window asks, as one line of output: "QUESTION " and the text
// as MessageLine writes it, then " -> " and the answer given.
std::string QuestionLine(std::string_view text, std::string_view answer);

// A message box as one line of output: "MESSAGE " and the UTF-8 text, line
// breaks written as \n.
std::string MessageLine(std::string_view text);

// One row of the scanner chooser as one line of output: "CHOICE N TEXT".
std::string ChoiceLine(int number, std::string_view text);

}  // namespace lumiq::ui::app
