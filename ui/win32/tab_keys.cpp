#include "ui/win32/tab_keys.h"

#include <algorithm>
#include <vector>

#include <commctrl.h>

#include "ui/app/tab_keys.h"

namespace lumiq::ui::win32 {

namespace {

// The windows of this thread that take the keys, and the one hook for them.
thread_local std::vector<TabKeys*> attached;
thread_local HHOOK hook = nullptr;

bool Down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

app::TabKey KeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_TAB: return app::TabKey::kTab;
    case VK_NEXT: return app::TabKey::kPageDown;
    case VK_PRIOR: return app::TabKey::kPageUp;
    default: return app::TabKey::kOther;
  }
}

LRESULT Notify(HWND tabs, UINT code) {
  NMHDR header = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), code};
  return SendMessageW(GetParent(tabs), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// The page window of the current tab: the visible dialog among the
// control's children (an arrow control of the header row is none).
HWND VisiblePage(HWND tabs) {
  for (HWND child = GetWindow(tabs, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (IsWindowVisible(child) && lstrcmpW(className, L"#32770") == 0) return child;
  }
  return nullptr;
}

}  // namespace

bool SelectTabAsUser(HWND tabs, int tab) {
  // A dialog procedure answers through DWLP_MSGRESULT; TRUE refuses.
  HWND parent = GetParent(tabs);
  SetWindowLongPtrW(parent, DWLP_MSGRESULT, 0);
  if (Notify(tabs, static_cast<UINT>(TCN_SELCHANGING)) &&
      GetWindowLongPtrW(parent, DWLP_MSGRESULT)) {
    return false;
  }
  SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  Notify(tabs, static_cast<UINT>(TCN_SELCHANGE));
  return true;
}

TabKeys::~TabKeys() { Detach(); }

void TabKeys::Attach(HWND window, HWND tabs) {
  Detach();
  window_ = window;
  tabs_ = tabs;
  attached.push_back(this);
  if (!hook) hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
}

void TabKeys::Detach() {
  const auto it = std::find(attached.begin(), attached.end(), this);
  if (it == attached.end()) return;
  attached.erase(it);
  window_ = nullptr;
  tabs_ = nullptr;
  if (attached.empty() && hook) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
}

LRESULT CALLBACK TabKeys::GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (message->message == WM_KEYDOWN) {
      for (TabKeys* keys : attached) {
        if (keys->Take(*message)) {
          message->message = WM_NULL;  // taken: neither the control nor the dialog sees it
          break;
        }
      }
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

// The dialog manager never stops on a control that holds others, as the
// tab control holds the pages: Tab stops on the tab headers on the way into
// the page, and Shift+Tab on the way out of it.
HWND TabKeys::HeaderStop(const MSG& message) const {
  if (message.wParam != VK_TAB || Down(VK_CONTROL) || Down(VK_MENU)) return nullptr;
  const bool back = Down(VK_SHIFT);
  HWND focus = GetFocus();
  if (!focus) return nullptr;
  HWND page = VisiblePage(tabs_);
  HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
  if (first && !IsChild(page, first)) first = nullptr;
  if (focus == tabs_) {
    if (!back) return first ? first : GetNextDlgTabItem(window_, tabs_, FALSE);
    return GetNextDlgTabItem(window_, first ? first : tabs_, TRUE);
  }
  const bool inPage = IsChild(tabs_, focus);
  HWND next = GetNextDlgTabItem(window_, focus, back ? TRUE : FALSE);
  const bool nextInPage = next && IsChild(tabs_, next);
  if (!back && !inPage && nextInPage) return tabs_;
  if (back && inPage && !nextInPage) return tabs_;
  if (!back && !inPage && !next) return tabs_;
  return nullptr;
}

bool TabKeys::Take(const MSG& message) {
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  if (!IsWindowEnabled(window_)) return false;  // a box of its own is up
  if (HWND stop = HeaderStop(message)) {
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(stop), TRUE);
    return true;
  }
  const int step = app::TabStepOf(KeyOf(message.wParam), Down(VK_CONTROL), Down(VK_SHIFT),
                                  Down(VK_MENU));
  if (step == 0) return false;
  const int count = static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
  const int next = app::SteppedTab(current, step, count);
  if (next < 0 || next == current) return true;

  HWND focus = GetFocus();
  const bool focusOnPage = focus && IsChild(tabs_, focus);
  if (!SelectTabAsUser(tabs_, next) || !focusOnPage || IsWindowVisible(focus)) return true;
  HWND page = VisiblePage(tabs_);
  HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
  HWND target = first && IsChild(page, first) ? first : tabs_;
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  return true;
}

}  // namespace lumiq::ui::win32
