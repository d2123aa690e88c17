// The Win32 test-scan window and channel switch on the real settings
// window: a keyboard scanner's characters reach the list through the dialog
// manager, Escape and Tab included, and become scans; the page's
// "更改输出方式..." rebuilds the pages and sends nothing.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/ids/app_ids.h"
#include "res/ids/output_method_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/sim_fixture.h"
#include "ui/win32/config_app.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/settings_window.h"

namespace lumiq::ui::win32 {
namespace {

class Recorded final : public MessageSink {
 public:
  void Show(HWND, const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

class Win32TestScan : public ::testing::Test {
 protected:
  Win32TestScan() : dialog_(GetModuleHandleW(nullptr), messages_) {
    InitControls();
    sim::SeedDemoScanner(rig_.scanner());
    rig_.scanner().Set("io_outputs", "hid0");
    rig_.scanner().Set("nfcable", "0");
    rig_.scanner().Set("codepostfix", "");
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
    EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kConnected);
    SettingsWindow& settings = *dialog_.Settings();
    settings.UseSerialPorts(&serial_);
    settings.SetRunTestScanModally(false);
    settings.SetScanListener(
        [this](const app::ScanReport& report) { lines_.push_back(report.RunnerLine()); });
    Pump();
    rig_.scanner().ClearReceived();
    messages_.shown.clear();
  }
  // The modeless windows' loop: each dialog manager first.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      SettingsWindow* settings = dialog_.Settings();
      TestScanWindow* scan = settings ? settings->TestScan() : nullptr;
      if (scan && IsDialogMessageW(scan->Handle(), &message)) continue;
      if (settings && settings->Handle() && IsDialogMessageW(settings->Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // A character key: its character, as the keyboard's translation gives it.
  void Type(HWND focus, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(focus, WM_CHAR, c, 1);
    Pump();
  }
  // A key the dialog manager would act on: down and up, the character left
  // to the translation, as from the keyboard.
  void Press(HWND focus, UINT key) {
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  test::SimScannerFixture rig_;
  Recorded messages_;
  ConnectDialog dialog_;
  app::FedSerialPorts serial_;
  std::vector<std::string> lines_;
};

TEST_F(Win32TestScan, TheKeyboardsCharactersAreScansEvenEscapeAndTab) {
  SettingsWindow& settings = *dialog_.Settings();
  SendMessageW(GetDlgItem(settings.Handle(), res::kSettingsTestScanButton), BM_CLICK, 0, 0);
  TestScanWindow* scan = settings.TestScan();
  ASSERT_NE(scan, nullptr);
  ASSERT_EQ(scan->Session().Channel(), app::ScanChannel::kKeyboard);
  scan->UseClock([] { return 500u; });
  HWND list = scan->Scans();
  Type(list, L"SN:42");
  Press(list, VK_RETURN);
  scan->EndScan();
  Type(list, L"SN:7");
  Press(list, VK_TAB);
  Press(list, VK_ESCAPE);
  scan->EndScan();

  ASSERT_NE(settings.TestScan(), nullptr);  // Escape was the scanner's
  EXPECT_EQ(lines_, (std::vector<std::string>{
                        "SCAN SN:42<CR> MATCH",
                        "SCAN SN:7<TAB><ESC> DIFFERS 结尾应为 <CR>，实际为 无"}));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(rig_.Trace().empty());

  SendMessageW(GetDlgItem(scan->Handle(), res::kTestScanCloseButton), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(settings.TestScan(), nullptr);
}

TEST_F(Win32TestScan, ThePageButtonSwitchesTheChannelAndSaveSendsIt) {
  SettingsWindow& settings = *dialog_.Settings();
  app::GivenChannelChooser chooser("com1");
  settings.UseChannelChooser(&chooser);
  HWND button = settings.PageControlsAt(1)->Control(res::output_method::kChangeChannelButton);
  ASSERT_NE(button, nullptr);
  SendMessageW(button, BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(settings.PageControlsAt(1)->IsChecked(res::output_method::kComOutput));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].find("io_outputs: hid0 → com1"), std::string::npos);
  EXPECT_TRUE(rig_.Sets().empty());

  SendMessageW(GetDlgItem(settings.Handle(), res::kSettingsTestScanButton), BM_CLICK, 0, 0);
  ASSERT_NE(settings.TestScan(), nullptr);
  EXPECT_TRUE(settings.TestScan()->Session().PortOpen());
  serial_.Feed("SN:5\r");
  settings.TestScan()->EndScan();
  EXPECT_EQ(lines_, (std::vector<std::string>{"SCAN SN:5<CR> MATCH"}));

  SendMessageW(GetDlgItem(settings.Handle(), res::kSettingsSaveButton), BM_CLICK, 0, 0);
  EXPECT_EQ(rig_.scanner().Value("io_outputs"), "com1");
}

}  // namespace
}  // namespace lumiq::ui::win32
