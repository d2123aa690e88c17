#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// Property-sheet keys for a window that holds a tab control: Ctrl+Tab and
// Ctrl+PgDn select the next tab, Ctrl+Shift+Tab and Ctrl+PgUp the previous
// one (wrapping around), whichever control of the window has the focus.
// The tab control tells its parent as a click would. A focus left on the
// page that went out of sight moves to the new page's first tab stop.
//
// Tab and Shift+Tab also stop on the tab headers between the window's
// other controls and the page's, where the screen has them.
//
// The keys are taken by a message hook of the thread, so they work in any
// loop that retrieves the window's messages (the dialog manager's modal
// loop, the runner's) and before the focused control sees them.
class TabKeys {
 public:
  TabKeys() = default;
  ~TabKeys();
  TabKeys(const TabKeys&) = delete;
  TabKeys& operator=(const TabKeys&) = delete;

  void Attach(HWND window, HWND tabs);
  void Detach();

 private:
  static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
  bool Take(const MSG& message);
  HWND HeaderStop(const MSG& message) const;

  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
};

// Selects tab `tab` of `tabs` as the user would: the parent is asked
// (TCN_SELCHANGING) and told (TCN_SELCHANGE). False when the parent refused.
bool SelectTabAsUser(HWND tabs, int tab);

}  // namespace lumiq::ui::win32
