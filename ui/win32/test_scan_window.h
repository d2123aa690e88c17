#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/app/output_channels.h"
#include "ui/app/test_scan.h"
#include "ui/win32/dialog_builder.h"

namespace lumiq::ui::win32 {

// "扫描测试..." (template 145): each scan as it arrives, against what the
// settings window's pages show now. On the keyboard channel the two lists
// want every key (Escape, Enter and Tab included), so only the close box,
// "关闭" and Alt+F4 end it. On the serial channel the port chosen in the
// list is opened with the page's line settings and polled.
class TestScanWindow {
 public:
  TestScanWindow(HINSTANCE instance, const PageSet& pages, app::SerialPorts& ports);
  ~TestScanWindow();
  TestScanWindow(const TestScanWindow&) = delete;
  TestScanWindow& operator=(const TestScanWindow&) = delete;

  void RunModal(HWND owner);
  // Modeless (the runner): it stays until Close or the owner's end.
  bool Create(HWND owner);
  void Close();
  HWND Handle() const { return window_; }
  HWND Scans() const { return window_ ? GetDlgItem(window_, kScansId) : nullptr; }

  void SetScanListener(std::function<void(const app::ScanReport&)> listener) {
    listener_ = std::move(listener);
  }
  // The milliseconds keys are stamped with; GetTickCount unless set.
  void UseClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

  const app::TestScanSession& Session() const { return session_; }
  void Poll();
  void EndScan();

 private:
  static constexpr int kScansId = 1008;
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  void OpenPort();
  void Key(wchar_t unit);
  void Show(const app::ScanReport& report);
  void ShowDetails();
  void SetText(int id, const std::string& text);
  uint32_t Now() const;

  HINSTANCE instance_;
  app::SerialPorts& serialPorts_;
  app::TestScanSession session_;
  InMemoryTemplate template_;
  HWND window_ = nullptr;
  bool modal_ = false;
  wchar_t highSurrogate_ = 0;
  std::vector<app::ScanReport> reports_;
  std::function<void(const app::ScanReport&)> listener_;
  std::function<uint32_t()> clock_;
};

// "更改输出方式..." (template 146): the four channels, the current one
// checked; OK gives the chosen one's `io_outputs` value.
class Win32ChannelChooser final : public app::ChannelChooser {
 public:
  Win32ChannelChooser(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  std::optional<std::string> Choose(const app::OutputChannel* current) override;

 private:
  HINSTANCE instance_;
  HWND owner_;
};

}  // namespace lumiq::ui::win32
