#include "ui/win32/user_actions_win32.h"

#include <commctrl.h>

#include "res/ids/app_ids.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

using Kind = app::UserAction::Kind;

bool IsRadioButton(HWND control) {
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
}

HWND EditFieldOf(HWND control) {
  COMBOBOXINFO info = {};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(control, &info) && info.hwndItem) return info.hwndItem;
  return control;
}

}  // namespace

void TypeText(HWND control, const std::wstring& text) {
  HWND edit = EditFieldOf(control);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CLEAR, 0, 0);
  for (wchar_t unit : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(unit), 1);
}

bool ApplyUserAction(SettingsWindow& window, const app::UserAction& action, std::string* note) {
  auto nothing = [note](const char* why) {
    if (note) *note = why;
    return false;
  };
  switch (action.kind) {
    case Kind::kSave:
      SendMessageW(GetDlgItem(window.Handle(), res::kSettingsSaveButton), BM_CLICK, 0, 0);
      return true;
    case Kind::kExit:
      SendMessageW(GetDlgItem(window.Handle(), res::kSettingsExitButton), BM_CLICK, 0, 0);
      return true;
    case Kind::kTab: {
      // A program's selection raises no notification; a click's does.
      SendMessageW(window.Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(action.tab), 0);
      NMHDR header = {};
      header.hwndFrom = window.Tabs();
      header.idFrom = res::kSettingsTabControl;
      header.code = TCN_SELCHANGE;
      SendMessageW(window.Handle(), WM_NOTIFY, res::kSettingsTabControl,
                   reinterpret_cast<LPARAM>(&header));
      return true;
    }
    case Kind::kImport:
    case Kind::kExport: {
      // The button is pressed; the file dialog it opens answers with FILE.
      GivenWin32File given(action.text);
      window.UseFileChooser(&given);
      const auto transfer = action.kind == Kind::kImport ? window.Import() : window.Export();
      window.UseFileChooser(nullptr);
      return (transfer && transfer->ok) || nothing(app::kTransferFailed);
    }
    case Kind::kCheck:
    case Kind::kUncheck:
    case Kind::kText:
      break;
  }

  const Win32PageControls* page = window.PageControlsAt(app::TabOfTemplate(action.templateId));
  HWND control = page ? page->Control(action.controlId) : nullptr;
  if (!control) return nothing(app::kNoSuchControl);
  if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) return nothing(app::kControlHidden);
  if (!IsWindowEnabled(control)) return nothing(app::kControlDisabled);

  if (action.kind == Kind::kText) {
    TypeText(control, Utf8ToWide(action.text));
    return true;
  }
  const bool radio = IsRadioButton(control);
  const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (action.kind == Kind::kCheck) {
    if (radio || !checked) SendMessageW(control, BM_CLICK, 0, 0);
    return true;
  }
  if (radio) return nothing(app::kRadioNeverUnchecked);
  if (checked) SendMessageW(control, BM_CLICK, 0, 0);
  return true;
}

}  // namespace lumiq::ui::win32
