#include "ui/win32/page_controls.h"

#include "ui/win32/access.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

bool Win32PageControls::IsChecked(int id) const {
  return IsDlgButtonChecked(page_, id) == BST_CHECKED;
}

void Win32PageControls::SetChecked(int id, bool checked) {
  // BM_SETCHECK: the other radio buttons of the group are left alone.
  CheckDlgButton(page_, id, checked ? BST_CHECKED : BST_UNCHECKED);
  KeepRadioStop(page_, *tmpl_, id);
}

std::wstring Win32PageControls::ScreenText(HWND control) {
  if (!control) return std::wstring();
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

std::optional<std::string> Win32PageControls::Text(int id) const {
  HWND control = Control(id);
  if (!control) return std::nullopt;
  const std::wstring shown = ScreenText(control);
  if (const std::string* bytes = loaded_.Unchanged(id, shown)) return *bytes;
  return EncodeGbk(shown);
}

void Win32PageControls::SetText(int id, std::string_view bytes) {
  HWND control = Control(id);
  if (!control) return;
  // A number-only edit shows whatever the scanner holds: ES_NUMBER limits
  // typing only. A drop-down combo box passes the text to its edit field.
  SetWindowTextW(control, DecodeGbk(bytes).c_str());
  loaded_.Remember(id, bytes, ScreenText(control));
}

bool Win32PageControls::IsShown(int id) const {
  // The control's own visibility, whether or not its page is on screen.
  HWND control = Control(id);
  return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
}

void Win32PageControls::SetShown(int id, bool shown) {
  if (HWND control = Control(id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

bool Win32PageControls::IsEnabled(int id) const {
  HWND control = Control(id);
  return control && IsWindowEnabled(control);
}

}  // namespace lumiq::ui::win32
