#include "ui/win32/page_placement.h"

#include <algorithm>

#include <commctrl.h>

#include "ui/app/page_tabs.h"

namespace lumiq::ui::win32 {

namespace {
constexpr UINT kBaseDpi = 96;
}  // namespace

UINT WindowDpi(HWND window) {
  // Windows 10 and later; looked up so that the program still starts on
  // older systems, which scale per system only.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpiForWindow && window) {
    const UINT dpi = dpiForWindow(window);
    if (dpi > 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

RECT PageRect(HWND tabs, UINT dpi) {
  RECT client = {};
  GetClientRect(tabs, &client);
  RECT display = client;
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int scaled = MulDiv(app::kPageTopOffset, static_cast<int>(dpi ? dpi : kBaseDpi),
                            static_cast<int>(kBaseDpi));
  const int top = std::min(std::max(client.top + scaled, display.top), client.bottom);
  return RECT{client.left, top, client.right, client.bottom};
}

void PlacePage(HWND page, const RECT& rect) {
  MoveWindow(page, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

}  // namespace lumiq::ui::win32
