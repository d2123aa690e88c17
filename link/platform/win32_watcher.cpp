#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <dbt.h>
extern "C" {
#include <hidsdi.h>
}

#include <chrono>
#include <string>

#include "link/device_watcher.h"

// The Windows watcher: device-interface notifications for the HID class,
// delivered as WM_DEVICECHANGE to a message-only window of the waiting
// thread. The wait sleeps in MsgWaitForMultipleObjects on the thread's
// messages and an event that Stop sets.

namespace lumiq {

namespace {

constexpr wchar_t kWindowClass[] = L"LumiqDeviceWatcher";

std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(length - 1));
  return utf8;
}

class Win32Watcher : public DeviceWatcher {
 public:
  Win32Watcher() = default;
  ~Win32Watcher() override {
    if (notification_ != nullptr) UnregisterDeviceNotification(notification_);
    if (window_ != nullptr) DestroyWindow(window_);
    if (stop_ != nullptr) CloseHandle(stop_);
  }
  Win32Watcher(const Win32Watcher&) = delete;
  Win32Watcher& operator=(const Win32Watcher&) = delete;

  bool Start(std::string* error) override {
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) return Fail("the stop event", error);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Watcher::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      return Fail("the window class", error);
    }
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              instance, nullptr);
    if (window_ == nullptr) return Fail("the message window", error);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    notification_ = RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (notification_ == nullptr) return Fail("the device notification", error);
    return true;
  }

  WaitResult Wait(int timeoutMs, std::vector<DeviceChange>* changes) override {
    if (window_ == nullptr) return WaitResult::kFailed;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return WaitResult::kStopped;
      if (!pending_.empty()) {
        changes->insert(changes->end(), pending_.begin(), pending_.end());
        pending_.clear();
        return WaitResult::kChanged;
      }
      DWORD wait = INFINITE;
      if (timeoutMs >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return WaitResult::kTimedOut;
        wait = static_cast<DWORD>(left.count());
      }
      const DWORD woke = MsgWaitForMultipleObjects(1, &stop_, FALSE, wait, QS_ALLINPUT);
      if (woke == WAIT_OBJECT_0) return WaitResult::kStopped;
      if (woke == WAIT_TIMEOUT) return WaitResult::kTimedOut;
      if (woke != WAIT_OBJECT_0 + 1) return WaitResult::kFailed;
    }
  }

  void Stop() override {
    if (stop_ != nullptr) SetEvent(stop_);
  }

 private:
  static bool Fail(const char* what, std::string* error) {
    *error = std::string("cannot watch for scanners: ") + what + " could not be made (error " +
             std::to_string(GetLastError()) + ")";
    return false;
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam != 0) {
      auto* self = reinterpret_cast<Win32Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
      if (self != nullptr && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
        DeviceChange change;
        change.kind = wParam == DBT_DEVICEARRIVAL ? DeviceChange::Kind::kArrived
                                                  : DeviceChange::Kind::kRemoved;
        change.path = Utf8(device->dbcc_name);
        self->pending_.push_back(std::move(change));
      }
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HANDLE stop_ = nullptr;
  HWND window_ = nullptr;
  HDEVNOTIFY notification_ = nullptr;
  std::vector<DeviceChange> pending_;
};

}  // namespace

std::unique_ptr<DeviceWatcher> NativeDeviceWatcher() { return std::make_unique<Win32Watcher>(); }

}  // namespace lumiq
