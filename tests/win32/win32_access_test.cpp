// The Win32 settings window as a screen reader (through oleacc, the
// platform's accessibility interface) and a keyboard-only operator meet it,
// in both languages: names and roles, labels just before their fields, and
// the dialog manager's Tab reaching every control of every page in the
// order of the screen.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <set>
#include <string>
#include <vector>

#include "res/i18n/catalogue.h"
#include "res/i18n/language.h"
#include "res/ids/app_ids.h"
#include "res/ids/control_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/sim_fixture.h"
#include "ui/app/access_layout.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

class Silent final : public MessageSink {
 public:
  void Show(HWND, const std::string&) override {}
};

std::wstring Tr(const char* source) { return Utf8ToWide(i18n::Tr(source)); }

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

struct Described {
  std::wstring name;
  long role = 0;
};

Described Describe(HWND window) {
  Described described;
  IAccessible* object = nullptr;
  const HRESULT got = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                 __uuidof(IAccessible), reinterpret_cast<void**>(&object));
  if (FAILED(got) || !object) return described;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (object->get_accName(self, &name) == S_OK && name) described.name = name;
  SysFreeString(name);
  VARIANT role;
  VariantInit(&role);
  if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) described.role = role.lVal;
  object->Release();
  return described;
}

enum class Kind { kOther, kButton, kRadio, kGroupBox, kField };

Kind KindOf(HWND control) {
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  const std::wstring cls = name;
  if (cls == L"Edit" || cls == L"ComboBox") return Kind::kField;
  if (cls != L"Button") return Kind::kOther;
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_GROUPBOX) return Kind::kGroupBox;
  if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) return Kind::kRadio;
  return Kind::kButton;
}

class Win32Access : public ::testing::TestWithParam<i18n::Language> {
 protected:
  Win32Access() : dialog_(GetModuleHandleW(nullptr), messages_) {
    i18n::SetLanguage(GetParam());
    CoInitialize(nullptr);
    InitControls();
    sim::SeedDemoScanner(rig_.scanner());
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
    EXPECT_EQ(dialog_.Connect(), app::ConnectOutcome::kConnected);
    Pump();
  }
  ~Win32Access() override {
    Shift(false);
    i18n::SetLanguage(i18n::Language::kChinese);
  }

  SettingsWindow& Settings() { return *dialog_.Settings(); }
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (Settings().Handle() && IsDialogMessageW(Settings().Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  static void Shift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void Press(UINT key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    Pump();
  }

  test::SimScannerFixture rig_;
  Silent messages_;
  ConnectDialog dialog_;
};

TEST_P(Win32Access, ControlsAreNamedAndFieldsFollowTheirLabels) {
  SettingsWindow& settings = Settings();
  // The connect window is out of the way, not a second window of one name.
  EXPECT_FALSE(IsWindowVisible(dialog_.Handle()));
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    HWND page = settings.PageWindow(tab);
    EXPECT_EQ(Describe(page).name, Tr(app::kPageTabs[tab].caption));
    const res::DialogTemplate& tmpl = *res::FindDialogTemplate(app::kPageTabs[tab].templateId);
    const app::AccessLayout layout = app::LayOutForAccess(tmpl);
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
      const Kind kind = KindOf(control);
      const Described described = Describe(control);
      const int id = GetDlgCtrlID(control);
      if (kind == Kind::kButton) {
        EXPECT_FALSE(described.name.empty()) << id;
      } else if (kind == Kind::kRadio) {
        // Windows' proxy reports an automatic radio button as a radio
        // button; Wine's reports every button as a client area.
        EXPECT_TRUE(described.role == ROLE_SYSTEM_RADIOBUTTON || described.role == ROLE_SYSTEM_CLIENT)
            << id;
        EXPECT_EQ(described.name, TextOf(control)) << id;
      } else if (kind == Kind::kField) {
        // The dialog manager's rule: a field is named by the text just
        // before it.
        int index = -1;
        for (size_t i = 0; i < tmpl.controls.size(); ++i) {
          if (tmpl.controls[i].id == id) index = static_cast<int>(i);
        }
        ASSERT_GE(index, 0);
        const int label = layout.label[static_cast<size_t>(index)];
        ASSERT_GE(label, 0) << id;
        HWND before = GetWindow(control, GW_HWNDPREV);
        EXPECT_EQ(TextOf(before), Tr(tmpl.controls[static_cast<size_t>(label)].caption)) << id;
      }
    }
  }
}

TEST_P(Win32Access, TabReachesEveryControlOfEveryPageInScreenOrder) {
  SettingsWindow& settings = Settings();
  HWND window = settings.Handle();
  ASSERT_EQ(GetFocus(), settings.Tabs());
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(settings.Tabs()), TRUE);
    SendMessageW(settings.Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    for (int other = 0; other < app::kPageCount; ++other) {
      ShowWindow(settings.PageWindow(other), other == tab ? SW_SHOW : SW_HIDE);
    }
    HWND page = settings.PageWindow(tab);
    std::vector<HWND> reached;
    for (int press = 0; press < 200 && (reached.empty() || reached.back() != settings.Tabs());
         ++press) {
      Press(VK_TAB);
      reached.push_back(GetFocus());
    }
    ASSERT_EQ(reached.back(), settings.Tabs());
    reached.pop_back();

    // Every visible, enabled control once; a radio group once.
    int expected = 0;
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
      const Kind kind = KindOf(control);
      if (!IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
      if (kind == Kind::kButton || kind == Kind::kField) ++expected;
      if (kind == Kind::kRadio && (GetWindowLongW(control, GWL_STYLE) & WS_GROUP)) ++expected;
    }
    int inPage = 0;
    for (HWND control : reached) inPage += IsChild(page, control) ? 1 : 0;
    EXPECT_EQ(inPage, expected);
    ASSERT_GE(reached.size(), 4u);
    EXPECT_EQ(std::vector<HWND>(reached.end() - 4, reached.end()),
              (std::vector<HWND>{GetDlgItem(window, res::kSettingsSaveButton),
                                 GetDlgItem(window, res::kSettingsImportButton),
                                 GetDlgItem(window, res::kSettingsExportButton),
                                 GetDlgItem(window, res::kSettingsExitButton)}));
    // Shift+Tab from the headers goes back to the last button.
    Shift(true);
    Press(VK_TAB);
    Shift(false);
    EXPECT_EQ(GetFocus(), GetDlgItem(window, res::kSettingsExitButton));
  }

  // Arrows move and check within a group; its tab stop follows the check.
  HWND control = settings.PageWindow(3);
  HWND dec = GetDlgItem(control, res::control::kNfcDec);
  HWND dec1 = GetDlgItem(control, res::control::kNfcDec1);
  SendMessageW(dec, BM_CLICK, 0, 0);
  SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dec), TRUE);
  Press(VK_RIGHT);
  EXPECT_EQ(GetFocus(), dec1);
  EXPECT_EQ(SendMessageW(dec1, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(dec, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(GetWindowLongW(dec1, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(dec, GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(rig_.Sets().empty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Win32Access,
                         ::testing::Values(i18n::Language::kChinese, i18n::Language::kEnglish));

}  // namespace
}  // namespace lumiq::ui::win32
