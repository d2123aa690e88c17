// The Win32 windows in English, the chooser's included, as the dialog
// manager made them: no Chinese in any window, tab, row, menu entry or
// message, every English caption fits its control in the dialog's font, and
// the tab headers keep one row.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "sim/demo_configuration.h"
#include "sim/simulated_scanner.h"
#include "tests/support/sim_fixture.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/chooser_dialog.h"
#include "ui/win32/config_app.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

bool HasChinese(const std::wstring& text) {
  for (wchar_t c : text) {
    if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF)) return true;
  }
  return false;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

class Recorder final : public MessageSink {
 public:
  void Show(HWND, const std::string& utf8) override { texts.push_back(utf8); }
  std::vector<std::string> texts;
};

// English before any window exists, Chinese again after the test.
struct InEnglish {
  InEnglish() { i18n::SetLanguage(i18n::Language::kEnglish); }
  ~InEnglish() { i18n::SetLanguage(i18n::Language::kChinese); }
};

class Win32English : public ::testing::Test {
 protected:
  Win32English() : dialog_(GetModuleHandleW(nullptr), messages_) {
    InitControls();
    sim::SeedDemoScanner(rig_.scanner());
    dialog_.SetRunSettingsModally(false);
    EXPECT_TRUE(dialog_.Create());
  }

  // The window's own text and its children's, where Chinese shows.
  static void AddChinese(HWND window, std::vector<std::string>* chinese) {
    if (HasChinese(TextOf(window))) chinese->push_back(WideToUtf8(TextOf(window)));
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) -> BOOL {
          const std::wstring text = TextOf(child);
          if (HasChinese(text)) reinterpret_cast<std::vector<std::string>*>(found)->push_back(
              WideToUtf8(text));
          return TRUE;
        },
        reinterpret_cast<LPARAM>(chinese));
  }

  // The English captions of `dialog` (made from template `templateId`) that
  // do not fit: the text in the dialog's font, plus the box and gap of a
  // check box or radio button (13 and 3 px at 96 DPI), a push button's
  // edges, a group title's indents.
  static void AddClipped(HWND dialog, int templateId, std::vector<std::string>* clipped) {
    HDC dc = GetDC(dialog);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    const auto scaled = [dpi](int px) { return MulDiv(px, dpi, 96); };
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
      const std::string english = i18n::Tr(control.caption);
      if (extra < 0 || english.empty() || english == control.caption) continue;
      RECT rect = {control.rect.x, 0, control.rect.x + control.rect.w, 0};
      MapDialogRect(dialog, &rect);
      const std::wstring text = Utf8ToWide(english);
      SIZE extent = {};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      if (extent.cx + extra > rect.right - rect.left) {
        clipped->push_back(std::to_string(templateId) + " \"" + english + "\" needs " +
                           std::to_string(extent.cx + extra) + " px, has " +
                           std::to_string(rect.right - rect.left));
      }
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
  }

  InEnglish english_;
  test::SimScannerFixture rig_;
  Recorder messages_;
  ConnectDialog dialog_;
};

TEST_F(Win32English, EveryTextIsEnglishAndEveryCaptionFits) {
  ASSERT_EQ(dialog_.Connect(), app::ConnectOutcome::kConnected);
  SettingsWindow& settings = *dialog_.Settings();
  HWND about = CreateAboutBox(dialog_.Instance(), dialog_.Handle());
  ASSERT_NE(about, nullptr);

  std::vector<std::string> chinese, clipped;
  AddChinese(dialog_.Handle(), &chinese);
  AddChinese(about, &chinese);
  AddChinese(settings.Handle(), &chinese);
  AddClipped(dialog_.Handle(), res::kConnectTemplateId, &clipped);
  AddClipped(about, res::kAboutTemplateId, &clipped);
  AddClipped(settings.Handle(), res::kSettingsTemplateId, &clipped);
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    AddClipped(settings.PageWindow(tab), app::kPageTabs[tab].templateId, &clipped);
    wchar_t text[64] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(settings.Tabs(), TCM_GETITEMW, static_cast<WPARAM>(tab),
                 reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(WideToUtf8(text), i18n::Tr(app::kPageTabs[tab].caption));
    if (HasChinese(text)) chinese.push_back(WideToUtf8(text));
  }
  HMENU menu = GetSystemMenu(dialog_.Handle(), FALSE);
  wchar_t entry[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), entry, 128, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(entry), L"&About LumiqConfigTool...");
  for (const std::string& text : messages_.texts) {
    if (HasChinese(Utf8ToWide(text))) chinese.push_back(text);
  }
  DestroyWindow(about);

  EXPECT_EQ(chinese, std::vector<std::string>{});
  EXPECT_EQ(clipped, std::vector<std::string>{});
  EXPECT_EQ(SendMessageW(settings.Tabs(), TCM_GETROWCOUNT, 0, 0), 1);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{"Connected."});
  EXPECT_EQ(TextOf(GetDlgItem(dialog_.Handle(), res::kConnectButton)), L"Connect");
}

TEST_F(Win32English, TheChooserIsEnglishAndItsCaptionsFit) {
  sim::SimulatedScanner second;
  sim::SeedDemoScanner(second);
  rig_.platform().AddScanner(&second);
  ASSERT_EQ(dialog_.Connect(), app::ConnectOutcome::kChoosing);
  ChooserDialog* chooser = dialog_.Chooser();
  ASSERT_NE(chooser, nullptr);

  std::vector<std::string> chinese, clipped;
  AddChinese(chooser->Handle(), &chinese);
  AddClipped(chooser->Handle(), res::kChooserTemplateId, &clipped);
  EXPECT_EQ(TextOf(chooser->Handle()), L"Choose a scanner");
  const std::vector<std::string> rows = chooser->Rows();
  ASSERT_EQ(rows.size(), 2u);
  for (const std::string& row : rows) {
    if (HasChinese(Utf8ToWide(row))) chinese.push_back(row);
  }
  EXPECT_EQ(chinese, std::vector<std::string>{});
  EXPECT_EQ(clipped, std::vector<std::string>{});
  EXPECT_TRUE(messages_.texts.empty());
}

}  // namespace
}  // namespace lumiq::ui::win32
