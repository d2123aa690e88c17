#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/app/settings_session.h"
#include "ui/win32/dialog_builder.h"
#include "ui/win32/file_chooser.h"
#include "ui/win32/page_controls.h"
#include "ui/win32/tab_keys.h"
#include "ui/win32/test_scan_window.h"

namespace lumiq::ui::win32 {

class MessageSink;

// The tabbed settings window (template 134). Opening it creates the five
// pages in page order and runs their Loads, so the scanner is read before
// the window first shows. "保存" runs the Save sequence and reports it;
// "退出", Escape and the close box end the window without writing.
class SettingsWindow {
 public:
  // On the scanner behind the connection, or on `source` (a profile file).
  SettingsWindow(HINSTANCE instance, MessageSink& messages,
                 std::unique_ptr<app::DocumentSource> source = nullptr);
  ~SettingsWindow();
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Runs the window modally; returns when it has ended.
  void RunModal(HWND owner);
  // Creates the window modeless and shows it (the runner); it stays until
  // it ends itself or Close.
  bool Create(HWND owner);
  // Ends the window as its close box would, without the question a file
  // with unsaved edits asks (the runner's end, the connect dialog's).
  void Close();

  HWND Handle() const { return window_; }
  HWND Tabs() const { return tabs_; }
  HWND PageWindow(int tab) const;
  Win32PageControls* PageControlsAt(int tab) const;
  const std::vector<std::string>& LoadFailedKeys() const { return session_.LoadFailedKeys(); }

  // "导入配置..." and "导出配置...": the file comes from the platform's file
  // dialog, or from `chooser` while one is set (the runner, tests). nullopt
  // when no file was chosen.
  std::optional<app::TransferResult> Import();
  std::optional<app::TransferResult> Export();
  void UseFileChooser(app::FileChooser* chooser) { chooser_ = chooser; }

  // The window's profile file, or nullptr on a scanner.
  const app::ChosenFile* File() const { return session_.File(); }
  // "应用到设备..." calls `apply`, which connects (the connect dialog's
  // flow) and on success calls AttachScanner.
  void SetApplyHandler(std::function<void()> apply) { applyHandler_ = std::move(apply); }
  // The window now stands for the connected scanner, its pages unchanged.
  void AttachScanner();

  // "更改输出方式..." on the output method page: the channel dialog (or
  // `chooser` while one is set), the pages rebuilt on the chosen channel,
  // the outcome shown. nullopt when cancelled.
  std::optional<app::TransferResult> SwitchChannel();
  void UseChannelChooser(app::ChannelChooser* chooser) { channelChooser_ = chooser; }

  // "扫描测试...": the test-scan window on the pages as they show now, modal
  // unless SetRunTestScanModally(false) (the runner), in which case it
  // stays until the next one or the end of this window.
  TestScanWindow* OpenTestScan();
  TestScanWindow* TestScan() const {
    return testScan_ && testScan_->Handle() ? testScan_.get() : nullptr;
  }
  void SetRunTestScanModally(bool modal) { testScanModal_ = modal; }
  // The serial ports the test-scan window lists; nullptr: the system's.
  void UseSerialPorts(app::SerialPorts* ports) { serialPorts_ = ports; }
  void SetScanListener(std::function<void(const app::ScanReport&)> listener) {
    scanListener_ = std::move(listener);
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void CreatePages();
  void ShowPageOf(int tab);
  void Save();
  // The title and the tab headers, marked for the settings changed.
  void RefreshMarks();
  void End(INT_PTR result);
  // Closing a file with unsaved edits asks first; false: the window stays.
  bool MayClose();
  app::PagesByTab Pages() const;

  HINSTANCE instance_;
  MessageSink& messages_;
  InMemoryTemplate template_;
  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  bool modal_ = false;
  UINT dpi_ = 0;  // from the last change of DPI; 0: the window's own
  TabKeys tabKeys_;
  std::array<std::unique_ptr<Win32PageControls>, app::kPageCount> pages_;
  app::SettingsSession session_;
  Win32FileChooser dialogs_{&window_};
  app::FileChooser* chooser_ = nullptr;
  std::function<void()> applyHandler_;
  app::ChannelChooser* channelChooser_ = nullptr;
  std::unique_ptr<TestScanWindow> testScan_;
  bool testScanModal_ = true;
  app::SerialPorts* serialPorts_ = nullptr;
  std::function<void(const app::ScanReport&)> scanListener_;
};

}  // namespace lumiq::ui::win32
