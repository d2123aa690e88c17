// The operator without a mouse: tabs turned by the property-sheet keys
// through the dialog manager's own modal loop, the focus on opening, and the
// real message box with its caption.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "res/ids/app_ids.h"
#include "res/ids/version_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/sim_fixture.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/app_windows.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

class Silent final : public MessageSink {
 public:
  void Show(HWND, const std::string&) override {}
};

// Ctrl (and Shift) held as the thread's keyboard sees them, then the key
// posted to whichever control has the focus.
void PressWithControl(UINT key, bool shift) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
  keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
}

void ReleaseModifiers() {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
  SetKeyboardState(keys);
}

struct Press {
  UINT key;
  bool control;
  bool shift;
  int expectedTab;
};

struct KeyboardScript {
  ConnectDialog* dialog = nullptr;
  std::vector<Press> presses;
  size_t next = 0;
  int tick = 0;
  bool focusOnExitAtOpening = false;
  bool focusEnteredPage = false;
  std::vector<std::string> seen;  // "tab N, page N" after each press
};
KeyboardScript* keyboard = nullptr;

int VisiblePage(SettingsWindow& settings) {
  int shown = -1;
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    if (IsWindowVisible(settings.PageWindow(tab))) shown = shown < 0 ? tab : 99;
  }
  return shown;
}

void CALLBACK TypeKeys(HWND, UINT, UINT_PTR timer, DWORD) {
  KeyboardScript& s = *keyboard;
  SettingsWindow* settings = s.dialog->Settings();
  if (++s.tick > 200) {  // something is stuck: end both windows
    KillTimer(nullptr, timer);
    if (settings && settings->Handle()) PostMessageW(settings->Handle(), WM_COMMAND, IDCANCEL, 0);
    PostMessageW(s.dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (!settings || !settings->Handle()) {
    if (s.tick == 1) PostMessageW(s.dialog->Handle(), WM_COMMAND, IDOK, 0);  // "连接设备"
    if (s.next > 0) {
      KillTimer(nullptr, timer);
      PostMessageW(s.dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    }
    return;
  }
  HWND window = settings->Handle();
  if (s.next == 0 && s.seen.empty()) {
    s.focusOnExitAtOpening = GetFocus() == GetDlgItem(window, res::kSettingsExitButton);
    s.seen.push_back("opened");
  } else {
    const auto selected = static_cast<int>(SendMessageW(settings->Tabs(), TCM_GETCURSEL, 0, 0));
    s.seen.push_back("tab " + std::to_string(selected) + ", page " +
                     std::to_string(VisiblePage(*settings)));
  }
  if (s.next == s.presses.size()) {
    ReleaseModifiers();
    // The last press started inside a page: the focus must have followed.
    HWND focus = GetFocus();
    s.focusEnteredPage = focus && IsChild(settings->PageWindow(0), focus) &&
                         IsWindowVisible(focus);
    ++s.next;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(res::kSettingsExitButton, BN_CLICKED), 0);
    return;
  }
  const Press& press = s.presses[s.next++];
  if (s.next == s.presses.size()) {
    // From inside the version page: its edit box.
    SetFocus(settings->PageControlsAt(4)->Control(res::version::kDeviceNumber));
  }
  if (press.control) {
    PressWithControl(press.key, press.shift);
  } else {
    ReleaseModifiers();
    PostMessageW(GetFocus(), WM_KEYDOWN, press.key, 1);
  }
}

TEST(Win32Keyboard, TabsTurnByThePropertySheetKeysFromAnywhereInTheWindow) {
  InitControls();
  test::SimScannerFixture rig;
  sim::SeedDemoScanner(rig.scanner());
  Silent messages;
  ConnectDialog dialog(GetModuleHandleW(nullptr), messages);
  KeyboardScript script;
  script.dialog = &dialog;
  script.presses = {
      {VK_TAB, true, false, 1}, {VK_NEXT, true, false, 2},  {VK_TAB, true, true, 1},
      {VK_TAB, true, true, 0},  {VK_PRIOR, true, false, 4}, {VK_NEXT, false, false, 4},
      {VK_TAB, true, false, 0},  // from inside the version page
  };
  keyboard = &script;
  SetTimer(nullptr, 0, 10, TypeKeys);
  dialog.RunModal();
  keyboard = nullptr;
  ReleaseModifiers();

  std::vector<std::string> expected = {"opened"};
  for (const Press& press : script.presses) {
    expected.push_back("tab " + std::to_string(press.expectedTab) + ", page " +
                       std::to_string(press.expectedTab));
  }
  EXPECT_EQ(script.seen, expected);
  EXPECT_TRUE(script.focusOnExitAtOpening);
  EXPECT_TRUE(script.focusEnteredPage);
  EXPECT_TRUE(rig.Sets().empty());
}

// The box as Windows shows it: its caption, its text, and whether any icon
// is drawn on it.
struct BoxSeen {
  bool found = false;
  std::wstring caption;
  bool hasIcon = false;
  bool hasText = false;
};
BoxSeen* box = nullptr;

BOOL CALLBACK LookAtChild(HWND child, LPARAM) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (lstrcmpiW(className, L"Static") != 0 || !IsWindowVisible(child)) return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    box->hasIcon = box->hasIcon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
  } else {
    wchar_t text[64] = {};
    GetWindowTextW(child, text, 64);
    box->hasText = box->hasText || std::wstring(text) == L"保存成功!";
  }
  return TRUE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  box->found = true;
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  box->caption = caption;
  EnumChildWindows(window, LookAtChild, 0);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK CloseTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
  if (box->found) KillTimer(nullptr, timer);
}

TEST(Win32Keyboard, AMessageBoxIsTitledWithTheProgramsNameAndHasNoIcon) {
  BoxSeen seen;
  box = &seen;
  SetTimer(nullptr, 0, 10, CloseTheBox);
  MessageBoxSink().Show(nullptr, "保存成功!");
  box = nullptr;
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(WideToUtf8(seen.caption), "LumiqConfigTool");
  EXPECT_TRUE(seen.hasText);
  EXPECT_FALSE(seen.hasIcon);
}

}  // namespace
}  // namespace lumiq::ui::win32
