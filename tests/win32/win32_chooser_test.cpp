// The Win32 connect dialog with two scanners plugged in: the chooser the
// dialog manager makes of template 103, and Enter, a double click and
// Escape in it.

#include <gtest/gtest.h>

#include <windows.h>

#include "res/ids/app_ids.h"
#include "sim/demo_configuration.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "ui/win32/config_app.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/message_sink.h"

namespace lumiq::ui::win32 {
namespace {

class Messages final : public MessageSink {
 public:
  void Show(HWND /*owner*/, const std::string& utf8) override { texts.push_back(utf8); }
  std::vector<std::string> texts;
};

// Delivers the queued messages as the application's loop does for a
// modeless dialog.
void PumpThrough(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

class Win32Chooser : public ::testing::Test {
 protected:
  Win32Chooser() : dialog_(GetModuleHandleW(nullptr), messages_) {
    InitControls();
    for (int i = 0; i < 2; ++i) {
      sim::SeedDemoScanner(scanners_[i]);
      scanners_[i].Set("deviceno", i == 0 ? "A-1" : "B-2");
      platform_.AddScanner(&scanners_[i]);
    }
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
  }
  ChooserDialog* OpenChooser() {
    EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kChoosing);
    for (sim::SimulatedScanner& scanner : scanners_) scanner.ClearReceived();
    return dialog_.Chooser();
  }
  void Key(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    PumpThrough(GetParent(target));
  }
  // Connected to this scanner alone, once.
  void ExpectConnectedTo(int index) {
    EXPECT_EQ(messages_.texts, std::vector<std::string>{"连接设备成功!"});
    ASSERT_NE(dialog_.Settings(), nullptr);
    EXPECT_NE(dialog_.Settings()->Handle(), nullptr);
    ASSERT_FALSE(scanners_[index].Received().empty());
    int handshakes = 0;
    for (const sim::ReceivedCommand& command : scanners_[index].Received()) {
      handshakes += command.command == 0x01;
    }
    EXPECT_EQ(handshakes, 1);
    EXPECT_TRUE(scanners_[1 - index].Received().empty());
  }

  sim::SimulatedScanner scanners_[2];
  sim::SimPlatform platform_;
  sim::PluggedPlatform plugged_{&platform_};
  Messages messages_;
  ConnectDialog dialog_;
};

TEST_F(Win32Chooser, ListsTheScannersInTemplate103) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  HWND window = chooser->Handle();
  RECT client;
  GetClientRect(window, &client);
  RECT units = {0, 0, 300, 140};
  MapDialogRect(window, &units);
  EXPECT_EQ(client.right, units.right);
  EXPECT_EQ(client.bottom, units.bottom);
  EXPECT_EQ(SendMessageW(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  wchar_t caption[32] = {};
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(caption, L"选择设备");
  EXPECT_EQ(chooser->Rows(), (std::vector<std::string>{"端口 1-1  设备号 A-1  固件版本 V2.0.7",
                                                       "端口 1-2  设备号 B-2  固件版本 V2.0.7"}));
  EXPECT_EQ(SendMessageW(chooser->List(), LB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(dialog_.Settings(), nullptr);
}

TEST_F(Win32Chooser, EnterConnectsTheSelectedScanner) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  HWND list = chooser->List();
  SetFocus(list);
  Key(list, VK_DOWN);
  Key(list, VK_RETURN);
  EXPECT_EQ(dialog_.Chooser(), nullptr);
  ExpectConnectedTo(1);
}

TEST_F(Win32Chooser, ADoubleClickConnectsTheRowClicked) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  HWND list = chooser->List();
  RECT item = {};
  ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(messages_.texts.empty());  // one click only selects
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  ExpectConnectedTo(1);
}

TEST_F(Win32Chooser, EscapeGoesBackWithoutConnecting) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  SetFocus(chooser->List());
  Key(chooser->List(), VK_ESCAPE);
  EXPECT_EQ(dialog_.Chooser(), nullptr);
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_TRUE(scanners_[0].Received().empty() && scanners_[1].Received().empty());
}

}  // namespace
}  // namespace lumiq::ui::win32
