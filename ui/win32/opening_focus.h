#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// For WM_INITDIALOG of `window`, made from template `templateId`: puts the
// focus where app::OpeningFocus says and has the controls draw the focus
// mark from the start, which the system otherwise hides until a key is
// pressed. Returns what the dialog procedure returns: FALSE once the focus
// is set, TRUE for the dialog manager's first tab stop.
INT_PTR FocusOnOpening(HWND window, int templateId);

}  // namespace lumiq::ui::win32
