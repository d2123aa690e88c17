#include "ui/win32/access.h"

#include <vector>

#include <initguid.h>
#include <oleacc.h>

#include "ui/app/access_layout.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

void SetStops(HWND page, const std::vector<int>& group) {
  std::vector<bool> checked;
  for (int member : group) checked.push_back(IsDlgButtonChecked(page, member) == BST_CHECKED);
  const size_t stop = app::RadioTabStop(checked);
  for (size_t i = 0; i < group.size(); ++i) {
    HWND button = GetDlgItem(page, group[i]);
    if (!button) continue;
    const LONG style = GetWindowLongW(button, GWL_STYLE);
    const LONG wanted = i == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) SetWindowLongW(button, GWL_STYLE, wanted);
  }
}

}  // namespace

void KeepRadioStop(HWND page, const res::DialogTemplate& tmpl, int id) {
  const res::ControlTemplate* control = tmpl.Find(id);
  if (!control || control->kind != res::ControlKind::kRadioButton) return;
  // The arranged template has the group's buttons in screen order.
  SetStops(page, res::RadioGroupOf(app::ArrangedForKeyboard(tmpl), id));
}

void KeepRadioStops(HWND page, const res::DialogTemplate& tmpl) {
  const res::DialogTemplate arranged = app::ArrangedForKeyboard(tmpl);
  for (size_t i = 0; i < arranged.controls.size(); ++i) {
    const res::ControlTemplate& control = arranged.controls[i];
    if (control.kind != res::ControlKind::kRadioButton || !(control.style & res::kGroupStart)) {
      continue;
    }
    SetStops(page, res::RadioGroupOf(arranged, control.id));
  }
}

void NameRadios(HWND page, const res::DialogTemplate& tmpl) {
  // The window's thread is a single-threaded apartment for as long as the
  // program runs; a second call only counts up.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
    return;
  }
  const app::AccessLayout layout = app::LayOutForAccess(tmpl);
  for (size_t i = 0; i < tmpl.controls.size(); ++i) {
    const res::ControlTemplate& control = tmpl.controls[i];
    if (control.kind != res::ControlKind::kRadioButton || layout.label[i] < 0) continue;
    HWND button = GetDlgItem(page, control.id);
    const std::wstring name =
        Utf8ToWide(app::AccessibleName(tmpl, layout, static_cast<int>(i)));
    if (button) {
      services->SetHwndPropStr(button, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               PROPID_ACC_NAME, name.c_str());
    }
  }
  services->Release();
}

}  // namespace lumiq::ui::win32
