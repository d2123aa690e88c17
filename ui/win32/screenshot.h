#pragma once

#include <string>

#include <windows.h>

namespace lumiq::ui::win32 {

// Writes what the screen shows of `window` (frame included) as a PNG file.
// A copy from the screen, because only that catches the child controls as
// they were painted; the window must be on screen and uncovered. false with
// the reason in `error`.
bool SaveWindowPng(HWND window, const std::wstring& path, std::string* error);

}  // namespace lumiq::ui::win32
