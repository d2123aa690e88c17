#pragma once

#include <string>

#include <windows.h>

namespace lumiq::ui::win32 {

// What the screen shows of `window` (frame included), as PNG bytes for the
// caller to write. A copy from the screen, because only that catches the
// child controls as they were painted; the window must be on screen and
// uncovered. false with the reason in `error`.
bool WindowPng(HWND window, std::string* png, std::string* error);

}  // namespace lumiq::ui::win32
