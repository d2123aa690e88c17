#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// The About box (template 100): OK and Escape close it.
void RunAboutBox(HINSTANCE instance, HWND owner);
// The same box modeless, for a screenshot; DestroyWindow ends it.
HWND CreateAboutBox(HINSTANCE instance, HWND owner);

}  // namespace lumiq::ui::win32
