#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "res/i18n/language.h"
#include "ui/app/connect_steps.h"
#include "ui/app/settings_session.h"
#include "ui/app/test_scan.h"
#include "ui/app/user_action.h"

namespace lumiq::ui::app {

// lumiq-headless: the application, unseen, on the simulated scanner (or on
// the real devices with --hid). It connects as "连接设备" does, applies the
// given user actions to the settings window in order, and prints every
// message box on stdout, the rows of the scanner chooser when it opens, and
// the scans of the test-scan window. Options, actions, printed lines and exit statuses
// are the same whichever binding runs underneath.

inline constexpr int kRunCompleted = 0;
inline constexpr int kRunConnectFailed = 1;
inline constexpr int kRunUsageError = 2;
inline constexpr int kRunOutputFailed = 3;

// Chinese unless asked: a run's output must not depend on the machine.
enum class LanguageRequest { kChinese, kEnglish, kSystem };

struct HeadlessOptions {
  std::vector<std::string> seeds;  // one simulated scanner each, in plug-in order
  int demoScanners = 0;            // --scanners: that many with the demo configuration
  std::string trace;
  std::string screenshots;
  int silentFrom = 0;
  int paceMicros = 0;  // each simulated report's crossing time
  bool hid = false;
  LanguageRequest language = LanguageRequest::kChinese;
  std::vector<UserAction> actions;
};

const char* HeadlessUsage();

// 0 when parsed; -1 when help was asked for and printed; otherwise the exit
// status to end with, the reason printed on stderr.
int ParseHeadlessOptions(int argc, char** argv, HeadlessOptions* options);

// Prints a usage error on stderr and returns kRunUsageError.
int UsageError(const std::string& message);

// A message box, printed instead of shown (OK is implied).
void PrintMessage(std::string_view text);

// A question a window asks, printed with the answer the last answer: action
// gave (discard without one), which it returns.
SettingsSession::CloseAnswer AnswerQuestion(std::string_view text);

// A scan of the test-scan window, printed as it is shown: "SCAN text MATCH"
// or "SCAN text DIFFERS where".
void PrintScan(const ScanReport& report);

// One picture of a window, as a binding takes it.
struct Screenshot {
  std::string name;  // the file's name in the --screenshots folder
  std::string png;
  std::string error;
};

// Writes `shots` into `folder` (made when missing) through the writer for
// files a program only creates, so that no link planted in the folder is
// written through. false, with each reason on stderr, when one was not
// written.
bool WriteScreenshots(const std::string& folder, const std::vector<Screenshot>& shots);

// The windows of one binding, driven by the runner.
class HeadlessHost {
 public:
  virtual ~HeadlessHost() = default;
  // Shows the connect dialog and connects as its button does: kConnected
  // when the settings window is open, kChoosing when the scanner chooser
  // is. Both are kept (not modal) until the next connect; the settings
  // window also until Close or exit.
  virtual ConnectOutcome Connect() = 0;
  // Presses "打开配置文件..." and gives `file` to its file dialog: kConnected
  // when a settings window on the file is open (kept as Connect's is).
  virtual ConnectOutcome OpenFile(const std::string& file) = 0;
  // The rows the chooser's list shows, while it is open; empty otherwise.
  virtual std::vector<std::string> ChooserRows() const = 0;
  // Selects row `row` (from 0) of the open chooser and presses Enter.
  virtual void Pick(int row) = 0;
  // Whether a settings window is open.
  virtual bool HasSettings() const = 0;
  // Carries out one action on the settings window; false with `note` when
  // it changed nothing.
  virtual bool Apply(const UserAction& action, std::string* note) = 0;
  // Pictures connect.png, about.png and settings-tab0.png ..
  // settings-tab4.png (the last ones only with a settings window), and
  // testscan.png while the test-scan window is open, as PNG
  // bytes; the runner writes them. A picture that could not be taken has no
  // bytes and says why in `error`.
  virtual std::vector<Screenshot> TakeScreenshots() = 0;
  // Ends the settings window as its close box would, but without asking
  // about unsaved edits of a file: nothing more is sent or written.
  virtual void CloseSettings() = 0;
};

// The language a request stands for; `systemLanguage` is the binding's
// reading of the system, as its application makes it.
i18n::Language ChosenLanguage(LanguageRequest request, i18n::Language (*systemLanguage)());

// The whole runner. `makeHost` is called once the options, the language
// (i18n::CurrentLanguage) and the scanner are ready; it returns nullptr
// (having said why) when the binding cannot run, and the runner then ends
// with kRunOutputFailed.
int HeadlessMain(int argc, char** argv, i18n::Language (*systemLanguage)(),
                 const std::function<std::unique_ptr<HeadlessHost>()>& makeHost);

}  // namespace lumiq::ui::app
