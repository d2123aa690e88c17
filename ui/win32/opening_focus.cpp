#include "ui/win32/opening_focus.h"

#include "ui/app/opening_focus.h"

namespace lumiq::ui::win32 {

INT_PTR FocusOnOpening(HWND window, int templateId) {
  // Posted: a dialog that is shown resets its state of the focus mark from
  // the last input, after WM_INITDIALOG.
  PostMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  const int id = app::OpeningFocus(templateId);
  HWND control = id != 0 ? GetDlgItem(window, id) : nullptr;
  if (!control) return TRUE;
  SetFocus(control);
  return FALSE;
}

}  // namespace lumiq::ui::win32
