// The Win32 windows against the simulated scanner: what the dialog manager
// made of the templates, the page layout, the system menu, and GBK text.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "res/ids/app_ids.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "sim/demo_configuration.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

class Recorder final : public MessageSink {
 public:
  void Show(HWND owner, const std::string& utf8) override {
    owners.push_back(owner);
    texts.push_back(utf8);
  }
  std::vector<HWND> owners;
  std::vector<std::string> texts;
};

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

class Win32Windows : public ::testing::Test {
 protected:
  Win32Windows() : dialog_(GetModuleHandleW(nullptr), messages_) {
    InitControls();
    sim::SeedDemoScanner(rig_.scanner());
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
  }
  SettingsWindow& Connected() {
    EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kConnected);
    return *dialog_.Settings();
  }

  test::SimScannerFixture rig_;
  Recorder messages_;
  ConnectDialog dialog_;
};

TEST_F(Win32Windows, ConnectDialogHasItsTemplateAndTheAboutEntry) {
  HWND window = dialog_.Handle();
  RECT client;
  GetClientRect(window, &client);
  RECT units = {0, 0, 320, 200};
  MapDialogRect(window, &units);
  EXPECT_EQ(client.right, units.right);
  EXPECT_EQ(client.bottom, units.bottom);
  EXPECT_EQ(GetWindowLongW(GetDlgItem(window, res::kConnectButton), GWL_STYLE) & BS_TYPEMASK,
            BS_DEFPUSHBUTTON);
  EXPECT_EQ(SendMessageW(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

  HMENU menu = GetSystemMenu(window, FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(GetMenuItemID(menu, static_cast<UINT>(count - 1)), 16u);
  EXPECT_EQ(MenuText(menu, static_cast<UINT>(count - 1)), L"关于 LumiqConfigTool(&A)...");
  EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
  EXPECT_NE(SendMessageW(window, WM_QUERYDRAGICON, 0, 0), 0);
}

TEST_F(Win32Windows, ConnectFailuresShowTheirMessagesOwnedByTheDialog) {
  rig_.scanner().Faults().silentFrom = 2;  // answers the handshake only
  EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kNoVersion);
  rig_.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kNoDevice);
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{
                                 "获取设备版本信息失败，请检查设备是否插入或重试!",
                                 "连接设备失败，请检查设备是否插入或重试!\n原因：设备没有应答。"}));
  EXPECT_EQ(messages_.owners, (std::vector<HWND>{dialog_.Handle(), dialog_.Handle()}));
  EXPECT_EQ(dialog_.Settings(), nullptr);
}

TEST_F(Win32Windows, PagesLoadSaveAndLieBelowTheTabHeaders) {
  // The same scanner read and written by the page logic alone.
  test::FakeSettingsWindow reference;
  rig_.Connect();
  PageSet referencePages = reference.Pages();
  LoadPages(referencePages);
  const std::vector<std::string> referenceLoad = rig_.Trace();
  rig_.scanner().ClearReceived();
  SavePages(reference.Pages());
  const std::vector<std::string> referenceSave = rig_.Trace();
  rig_.scanner().ClearReceived();

  SettingsWindow& settings = Connected();
  std::vector<std::string> load = rig_.Trace();
  ASSERT_GE(load.size(), 2u);
  EXPECT_EQ(load[0], "HANDSHAKE");
  EXPECT_EQ(load[1], "GET masterver");
  load.erase(load.begin(), load.begin() + 2);
  EXPECT_EQ(load, referenceLoad);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"连接设备成功!"});

  HWND tabs = settings.Tabs();
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), app::kPageCount);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
  RECT client;
  GetClientRect(tabs, &client);
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    wchar_t caption[32] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(WideToUtf8(caption), app::kPageTabs[tab].caption);

    HWND page = settings.PageWindow(tab);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), tabs);
    RECT placed;
    GetWindowRect(page, &placed);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, client.left);
    EXPECT_EQ(placed.top, client.top + 25);
    EXPECT_EQ(placed.right, client.right);
    EXPECT_EQ(placed.bottom, client.bottom);
    EXPECT_EQ((GetWindowLongW(page, GWL_STYLE) & WS_VISIBLE) != 0, tab == 0);

    // Every control shows what the page logic alone made of the values.
    const test::FakePageControls* fakes[] = {&reference.symbology, &reference.outputMethod,
                                             &reference.outputFormat, &reference.control,
                                             &reference.version};
    Win32PageControls& controls = *settings.PageControlsAt(tab);
    for (const res::ControlTemplate& control :
         res::FindDialogTemplate(app::kPageTabs[tab].templateId)->controls) {
      if (control.id == res::kNoId) continue;
      SCOPED_TRACE(control.id);
      EXPECT_EQ(controls.IsChecked(control.id), fakes[tab]->IsChecked(control.id));
      EXPECT_EQ(controls.IsShown(control.id), fakes[tab]->IsShown(control.id));
      EXPECT_EQ(controls.IsEnabled(control.id), fakes[tab]->IsEnabled(control.id));
      if (control.kind == res::ControlKind::kEdit || control.kind == res::ControlKind::kComboBox) {
        EXPECT_EQ(controls.Text(control.id), fakes[tab]->Text(control.id));
      }
    }
  }

  // A tab click shows its page alone; Save sends what the page logic sends.
  SendMessageW(tabs, TCM_SETCURSEL, 3, 0);
  NMHDR header = {tabs, static_cast<UINT_PTR>(res::kSettingsTabControl),
                  static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(settings.Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    EXPECT_EQ((GetWindowLongW(settings.PageWindow(tab), GWL_STYLE) & WS_VISIBLE) != 0, tab == 3);
  }
  rig_.scanner().ClearReceived();
  SendMessageW(settings.Handle(), WM_COMMAND, MAKEWPARAM(res::kSettingsSaveButton, BN_CLICKED), 0);
  EXPECT_EQ(rig_.Trace(), referenceSave);
  EXPECT_EQ(messages_.texts.back(), "保存成功!");
  EXPECT_EQ(messages_.owners.back(), settings.Handle());

  // Enter reaches the window as IDOK and writes nothing.
  rig_.scanner().ClearReceived();
  SendMessageW(settings.Handle(), WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(Win32Windows, TextIsGbkAndWhatGbkCannotHoldIsNotSent) {
  EXPECT_EQ(EncodeGbk(L"仓库-7"), std::string("\xB2\xD6\xBF\xE2-7"));
  EXPECT_EQ(DecodeGbk("\xB2\xD6\xBF\xE2-7"), L"仓库-7");
  EXPECT_FALSE(EncodeGbk(L"仓库\U0001F600"));
  EXPECT_FALSE(EncodeGbk(L"한"));
  EXPECT_FALSE(EncodeGbk(L"\xFFFD"));
  EXPECT_EQ(DecodeGbk("a\xFF\x81"), L"a\xFFFD\xFFFD");

  rig_.scanner().Set("deviceno", "\xFF\x81z");
  SettingsWindow& settings = Connected();
  Win32PageControls& version = *settings.PageControlsAt(4);
  // Shown and not edited: back byte for byte, though it is not GBK.
  EXPECT_EQ(version.Text(1103), std::string("\xFF\x81z"));
  SetWindowTextW(version.Control(1103), L"\xFFFD\xFFFDy");
  EXPECT_FALSE(version.Text(1103));
  SetWindowTextW(version.Control(1103), L"Ж");  // Cyrillic is in GBK
  EXPECT_EQ(version.Text(1103), std::string("\xA7\xA8"));
}

TEST_F(Win32Windows, ALeadingByteOrderMarkIsRefusedAndItsKeyNamed) {
  SettingsWindow& settings = Connected();
  SetWindowTextW(settings.PageControlsAt(4)->Control(1103), L"\xFEFF" L"7");
  rig_.scanner().ClearReceived();
  SendMessageW(settings.Handle(), WM_COMMAND, MAKEWPARAM(res::kSettingsSaveButton, BN_CLICKED), 0);
  for (const std::string& line : rig_.Trace()) EXPECT_EQ(line.find("deviceno"), std::string::npos);
  EXPECT_EQ(messages_.texts.back(), "保存失败，请检查设备是否插入或重试!\ndeviceno");
  EXPECT_EQ(rig_.scanner().Value("deviceno"), "ZR2404170032");
}

// The user, from inside the modal loops: a thread timer's messages are
// dispatched by whichever dialog loop runs.
struct ModalScript {
  ConnectDialog* dialog = nullptr;
  Recorder* messages = nullptr;
  int tick = 0;
  std::vector<std::string> seen;
};
ModalScript* script = nullptr;

void CALLBACK ActAsTheUser(HWND, UINT, UINT_PTR timer, DWORD) {
  ModalScript& s = *script;
  ++s.tick;
  SettingsWindow* settings = s.dialog->Settings();
  HWND about = FindWindowW(nullptr, L"关于 LumiqConfigTool");
  if (s.tick == 1) {
    // The About entry, with flag bits in the low four bits of the command.
    PostMessageW(s.dialog->Handle(), WM_SYSCOMMAND, 16 | 3, 0);
  } else if (about) {
    s.seen.push_back("about open");
    PostMessageW(about, WM_COMMAND, IDOK, 0);
  } else if (s.seen.size() == 1) {
    s.seen.push_back("about closed");
    // Enter in the connect dialog: the default button, "连接设备".
    PostMessageW(GetFocus() ? GetFocus() : s.dialog->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  } else if (settings && settings->Handle()) {
    s.seen.push_back("settings open after: " + s.messages->texts.back());
    PostMessageW(settings->Handle(), WM_COMMAND, MAKEWPARAM(res::kSettingsExitButton, BN_CLICKED),
                 0);
  } else if (s.seen.size() == 3) {
    s.seen.push_back("settings gone");
    KillTimer(nullptr, timer);
    PostMessageW(s.dialog->Handle(), WM_COMMAND, MAKEWPARAM(res::kConnectExitButton, BN_CLICKED),
                 0);
  } else if (s.tick > 100) {
    KillTimer(nullptr, timer);
    PostMessageW(s.dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
  }
}

TEST(Win32ModalRun, AboutFromTheSystemMenuThenEnterConnectsAndEachExitEndsItsWindow) {
  InitControls();
  test::SimScannerFixture rig;
  sim::SeedDemoScanner(rig.scanner());
  Recorder messages;
  ConnectDialog dialog(GetModuleHandleW(nullptr), messages);
  ModalScript steps;
  steps.dialog = &dialog;
  steps.messages = &messages;
  script = &steps;
  SetTimer(nullptr, 0, 10, ActAsTheUser);
  EXPECT_EQ(dialog.RunModal(), IDOK);
  script = nullptr;

  EXPECT_EQ(steps.seen,
            (std::vector<std::string>{"about open", "about closed",
                                      "settings open after: 连接设备成功!", "settings gone"}));
  EXPECT_EQ(dialog.Settings(), nullptr);
  EXPECT_TRUE(rig.Sets().empty());
}

}  // namespace
}  // namespace lumiq::ui::win32
