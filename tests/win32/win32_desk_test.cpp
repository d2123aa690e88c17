// The settings window as an operator at a desk meets it: tabs turned by the
// property-sheet keys, pages below the header row at the display's DPI and
// after it changes, captions that fit in the dialog's font, and the real
// message box; and, in both languages, as a screen reader (oleacc) and an
// operator without a mouse meet it. The stage runs these once more in a
// prefix at 144 DPI.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "res/ids/control_ids.h"
#include "res/ids/version_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/sim_fixture.h"
#include "ui/app/access_layout.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/page_placement.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/tab_keys.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

class Silent final : public MessageSink {
 public:
  void Show(HWND, const std::string&) override {}
};

class Win32Desk : public ::testing::Test {
 protected:
  Win32Desk() : dialog_(GetModuleHandleW(nullptr), messages_) {
    InitControls();
    sim::SeedDemoScanner(rig_.scanner());
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
    EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kConnected);
    Pump();
  }
  ~Win32Desk() override { Hold(false, false); }

  SettingsWindow& Settings() { return *dialog_.Settings(); }
  // A modeless dialog's loop: the dialog manager first, then the window.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (Settings().Handle() && IsDialogMessageW(Settings().Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // Ctrl and Shift as the thread's keyboard state has them.
  static void Hold(bool control, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
  }

  test::SimScannerFixture rig_;
  Silent messages_;
  ConnectDialog dialog_;
};

TEST_F(Win32Desk, TabsTurnByThePropertySheetKeysFromAnywhereInTheWindow) {
  SettingsWindow& settings = Settings();
  EXPECT_EQ(GetFocus(), settings.Tabs());
  const struct {
    UINT key;
    bool control, shift;
    int tab;
  } presses[] = {{VK_TAB, true, false, 1},  {VK_NEXT, true, false, 2},
                 {VK_TAB, true, true, 1},   {VK_TAB, true, true, 0},
                 {VK_PRIOR, true, false, 4}, {VK_NEXT, false, false, 4},
                 {VK_TAB, true, false, 0}};
  for (const auto& press : presses) {
    SCOPED_TRACE(press.tab);
    if (&press == &presses[6]) {  // from inside the version page
      SetFocus(settings.PageControlsAt(4)->Control(res::version::kDeviceNumber));
    }
    Hold(press.control, press.shift);
    PostMessageW(GetFocus(), WM_KEYDOWN, press.key, 1);
    Pump();
    EXPECT_EQ(SendMessageW(settings.Tabs(), TCM_GETCURSEL, 0, 0), press.tab);
    for (int tab = 0; tab < app::kPageCount; ++tab) {
      EXPECT_EQ(IsWindowVisible(settings.PageWindow(tab)) != 0, tab == press.tab);
    }
  }
  // The focus followed out of the page that went out of sight.
  EXPECT_TRUE(IsChild(settings.PageWindow(0), GetFocus()));
  EXPECT_TRUE(IsWindowVisible(GetFocus()));
  EXPECT_TRUE(rig_.Sets().empty());
}

TEST_F(Win32Desk, NoKeyRightAfterOpeningEndsOrSavesAndTheFocusIsShown) {
  Hold(false, false);
  SettingsWindow& settings = Settings();
  HWND window = settings.Handle();
  rig_.scanner().ClearReceived();
  ASSERT_EQ(GetFocus(), settings.Tabs());
  Pump();  // the focus mark is switched on after the window is up
  EXPECT_EQ(SendMessageW(settings.Tabs(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
  for (const UINT key : {VK_RETURN, VK_SPACE}) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    Pump();
  }
  ASSERT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(SendMessageW(settings.Tabs(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(rig_.Trace().empty());

  // Enter presses the push button the operator moved the focus to, in the
  // screen's order (the buttons last, left to right): Shift+Tab from the
  // headers reaches "扫描测试...", "退出", then "保存", which saves; the
  // window stays.
  Hold(false, true);
  for (const int button : {res::kSettingsTestScanButton, res::kSettingsExitButton,
                           res::kSettingsExportButton,
                           res::kSettingsImportButton, res::kSettingsSaveButton}) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    ASSERT_EQ(GetFocus(), GetDlgItem(window, button));
  }
  Hold(false, false);
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_TRUE(IsWindowVisible(window));
  const std::vector<std::string> trace = rig_.Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.back(), "COMMIT");
}

int DisplayTop(HWND tabs) {
  RECT display;
  GetClientRect(tabs, &display);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  return display.top;
}

void ExpectPagesBelowTheHeaders(SettingsWindow& settings, UINT dpi) {
  HWND tabs = settings.Tabs();
  RECT client, header;
  GetClientRect(tabs, &client);
  SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&header));
  const int top = std::max(MulDiv(25, static_cast<int>(dpi), 96), DisplayTop(tabs));
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    RECT placed;
    GetWindowRect(settings.PageWindow(tab), &placed);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.top, top);
    EXPECT_GE(placed.top, header.bottom);
    EXPECT_EQ(placed.left, client.left);
    EXPECT_EQ(placed.right, client.right);
    EXPECT_EQ(placed.bottom, client.bottom);
  }
}

TEST_F(Win32Desk, PagesLieBelowTheHeaderRowAtTheWindowsDpiAndAfterItChanges) {
  SettingsWindow& settings = Settings();
  const UINT dpi = WindowDpi(settings.Handle());
  if (const char* wanted = std::getenv("LUMIQ_EXPECT_DPI")) {
    ASSERT_EQ(dpi, static_cast<UINT>(std::atoi(wanted)));
  }
  ExpectPagesBelowTheHeaders(settings, dpi);
  // Moved to a monitor of twice the scale, and back.
  for (const UINT moved : {2 * dpi, dpi}) {
    SCOPED_TRACE(moved);
    RECT frame;
    GetWindowRect(settings.Handle(), &frame);
    SendMessageW(settings.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                 reinterpret_cast<LPARAM>(&frame));
    Pump();
    ExpectPagesBelowTheHeaders(settings, moved);
  }
}

// The captions of `dialog` (made from `tmpl`) that do not fit: the text in
// the dialog's font, plus the box and gap of a check box or radio button
// (13 and 3 px at 96 DPI), a push button's edges, a group title's indents.
void AddClipped(HWND dialog, int templateId, std::vector<std::string>* clipped) {
  const auto scaled = [dpi = static_cast<int>(WindowDpi(dialog))](int px) {
    return MulDiv(px, dpi, 96);
  };
  HDC dc = GetDC(dialog);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  for (const res::ControlTemplate& control : res::FindDialogTemplate(templateId)->controls) {
    using Kind = res::ControlKind;
    const int extra = control.kind == Kind::kCheckBox || control.kind == Kind::kRadioButton
                          ? scaled(13 + 3)
                      : control.kind == Kind::kPushButton ? scaled(2 * 3)
                      : control.kind == Kind::kGroupBox   ? scaled(2 * 8)
                      : control.kind == Kind::kLabel      ? 0
                                                          : -1;
    if (extra < 0 || !*control.caption) continue;
    RECT rect = {control.rect.x, 0, control.rect.x + control.rect.w, 0};
    MapDialogRect(dialog, &rect);
    const std::wstring text = Utf8ToWide(control.caption);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx + extra > rect.right - rect.left) {
      clipped->push_back(std::to_string(templateId) + " \"" + control.caption + "\" needs " +
                         std::to_string(extent.cx + extra) + " px, has " +
                         std::to_string(rect.right - rect.left));
    }
  }
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
}

TEST_F(Win32Desk, EveryCaptionFitsItsControlInTheDialogFont) {
  std::vector<std::string> clipped;
  AddClipped(Settings().Handle(), res::kSettingsTemplateId, &clipped);
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    AddClipped(Settings().PageWindow(tab), app::kPageTabs[tab].templateId, &clipped);
  }
  AddClipped(dialog_.Handle(), res::kConnectTemplateId, &clipped);
  HWND about = CreateAboutBox(dialog_.Instance(), dialog_.Handle());
  AddClipped(about, res::kAboutTemplateId, &clipped);
  DestroyWindow(about);
  EXPECT_EQ(clipped, std::vector<std::string>{});
}

// The real box, looked at from a timer its own loop runs: caption, text,
// and any icon drawn on it.
struct BoxSeen {
  std::wstring caption, text;
  bool icon = false;
} seen;

BOOL CALLBACK LookAtChild(HWND child, LPARAM) {
  wchar_t name[16] = {}, text[64] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Static") != 0 || !IsWindowVisible(child)) return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    seen.icon = seen.icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
  } else if (GetWindowTextW(child, text, 64) > 0) {
    seen.text = text;
  }
  return TRUE;
}

void CALLBACK LookAtTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", nullptr);
  if (!box) return;
  KillTimer(nullptr, timer);
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  seen.caption = caption;
  EnumChildWindows(box, LookAtChild, 0);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Win32MessageBox, TitledWithTheProgramsNameAndWithoutAnIcon) {
  SetTimer(nullptr, 0, 10, LookAtTheBox);
  MessageBoxSink().Show(nullptr, "保存成功!");
  EXPECT_EQ(WideToUtf8(seen.caption), "LumiqConfigTool");
  EXPECT_EQ(WideToUtf8(seen.text), "保存成功!");
  EXPECT_FALSE(seen.icon);
}

// --- screen reader and keyboard ---

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The name oleacc gives the window's client object, and its role.
std::pair<std::wstring, long> Described(HWND window) {
  std::pair<std::wstring, long> described{L"", 0};
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
    return described;
  }
  VARIANT self, role;
  VariantInit(&role);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (object->get_accName(self, &name) == S_OK && name) described.first = name;
  SysFreeString(name);
  if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) described.second = role.lVal;
  object->Release();
  return described;
}

bool IsRadio(HWND control) {
  return (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

struct InLanguage {
  explicit InLanguage(i18n::Language language) { i18n::SetLanguage(language); }
  ~InLanguage() { i18n::SetLanguage(i18n::Language::kChinese); }
};

// The windows are built in the language of the parameter.
class Win32Access : public ::testing::WithParamInterface<i18n::Language>,
                    public InLanguage,
                    public Win32Desk {
 protected:
  Win32Access() : InLanguage(GetParam()) {}
};

TEST_P(Win32Access, EveryPageIsNamedAndEveryFieldFollowsItsLabel) {
  SettingsWindow& settings = Settings();
  // Not a second window of the same name beside the settings.
  EXPECT_FALSE(IsWindowVisible(dialog_.Handle()));
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    HWND page = settings.PageWindow(tab);
    EXPECT_EQ(Described(page).first, Utf8ToWide(i18n::Tr(app::kPageTabs[tab].caption)));
    const res::DialogTemplate& tmpl = *res::FindDialogTemplate(app::kPageTabs[tab].templateId);
    const app::AccessLayout layout = app::LayOutForAccess(tmpl);
    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
      HWND control = GetDlgItem(page, tmpl.controls[i].id);
      const res::ControlKind kind = tmpl.controls[i].kind;
      if (kind == res::ControlKind::kEdit || kind == res::ControlKind::kComboBox) {
        // The dialog manager's rule: the text just before a field names it.
        const int label = layout.label[i];
        ASSERT_GE(label, 0) << tmpl.controls[i].id;
        EXPECT_EQ(TextOf(GetWindow(control, GW_HWNDPREV)),
                  Utf8ToWide(i18n::Tr(tmpl.controls[static_cast<size_t>(label)].caption)));
      } else if (kind == res::ControlKind::kCheckBox || kind == res::ControlKind::kRadioButton) {
        const auto [name, role] = Described(control);
        EXPECT_FALSE(name.empty());
        // A radio button of a labelled group is annotated with the group's
        // label; Wine cannot annotate, and names it by its text.
        const std::wstring full =
            Utf8ToWide(app::AccessibleName(tmpl, layout, static_cast<int>(i)));
        EXPECT_TRUE(name == full || name == TextOf(control)) << tmpl.controls[i].id;
        // Windows' proxy calls this style a radio button; Wine's calls any
        // button a client area.
        if (kind == res::ControlKind::kRadioButton) {
          EXPECT_TRUE(IsRadio(control) &&
                      (role == ROLE_SYSTEM_RADIOBUTTON || role == ROLE_SYSTEM_CLIENT));
        }
      }
    }
  }
}

TEST_P(Win32Access, TabReachesEveryControlOfEveryPageInScreenOrder) {
  SettingsWindow& settings = Settings();
  HWND window = settings.Handle();
  HWND tabs = settings.Tabs();
  const std::vector<HWND> buttons{
      GetDlgItem(window, res::kSettingsSaveButton), GetDlgItem(window, res::kSettingsImportButton),
      GetDlgItem(window, res::kSettingsExportButton), GetDlgItem(window, res::kSettingsExitButton),
      GetDlgItem(window, res::kSettingsTestScanButton)};
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabs), TRUE);
    SelectTabAsUser(tabs, tab);
    Pump();
    HWND page = settings.PageWindow(tab);
    std::vector<HWND> reached;
    do {
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
      Pump();
      reached.push_back(GetFocus());
    } while (reached.back() != tabs && reached.size() < 200);
    ASSERT_GE(reached.size(), 6u);
    EXPECT_EQ(std::vector<HWND>(reached.end() - 6, reached.end() - 1), buttons);

    // Every shown, enabled control of the page once; a radio group once.
    size_t expected = 0;
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
      if (!IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
      const LONG style = GetWindowLongW(control, GWL_STYLE);
      if (IsRadio(control) ? (style & WS_GROUP) != 0 : (style & WS_TABSTOP) != 0) ++expected;
    }
    EXPECT_EQ(static_cast<size_t>(std::count_if(reached.begin(), reached.end(),
                                                [page](HWND c) { return IsChild(page, c); })),
              expected);
    Hold(false, true);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    Hold(false, false);
    EXPECT_EQ(GetFocus(), buttons.back());
  }

  // Arrows move and check within a group; its one tab stop follows.
  HWND control = settings.PageWindow(3);
  HWND dec = GetDlgItem(control, res::control::kNfcDec);
  HWND dec1 = GetDlgItem(control, res::control::kNfcDec1);
  SendMessageW(dec, BM_CLICK, 0, 0);
  SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dec), TRUE);
  PostMessageW(dec, WM_KEYDOWN, VK_RIGHT, 1);
  Pump();
  EXPECT_EQ(GetFocus(), dec1);
  EXPECT_EQ(SendMessageW(dec1, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(dec, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_NE(GetWindowLongW(dec1, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLongW(dec, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_TRUE(rig_.Sets().empty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Win32Access,
                         ::testing::Values(i18n::Language::kChinese, i18n::Language::kEnglish));

}  // namespace
}  // namespace lumiq::ui::win32
