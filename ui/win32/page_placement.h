#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// The DPI a window is drawn at: its monitor's where the system knows it per
// window, else the system's.
UINT WindowDpi(HWND window);

// The one rectangle of every page, in the tab control's client coordinates:
// the full client width and the rest of its height below a top that lies
// kPageTopOffset pixels down at 96 DPI, scaled by `dpi` / 96, and never
// above the bottom of the header row (the top of the control's display
// area), so that no font or scale lets a page cover a header.
RECT PageRect(HWND tabs, UINT dpi);

// Moves a page to `rect`, repainting it.
void PlacePage(HWND page, const RECT& rect);

}  // namespace lumiq::ui::win32
