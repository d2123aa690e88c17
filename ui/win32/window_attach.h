#pragma once

#include <windows.h>

#include "res/dialog_template.h"

namespace lumiq::ui::win32 {

// Shared by the windows of this binding.
inline const res::DialogTemplate& TemplateOf(int id) { return *res::FindDialogTemplate(id); }

template <typename Window>
Window* Attached(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    return reinterpret_cast<Window*>(lParam);
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrW(window, DWLP_USER));
}

}  // namespace lumiq::ui::win32
