#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/app/connect_steps.h"
#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/pages/settings_sequence.h"
#include "ui/win32/dialog_template_win32.h"
#include "ui/win32/file_chooser_win32.h"
#include "ui/win32/tab_keys.h"
#include "ui/win32/win32_page_controls.h"

namespace lumiq::ui::win32 {

class MessageSink;

// The program icon (icon resource 128) in the two sizes a window needs.
struct ProgramIcons {
  HICON big = nullptr;
  HICON small = nullptr;
};
ProgramIcons LoadProgramIcons(HINSTANCE instance);

// The About box (template 100): OK and Escape close it.
void RunAboutBox(HINSTANCE instance, HWND owner);
// The same box modeless, for a screenshot; DestroyWindow ends it.
HWND CreateAboutBox(HINSTANCE instance, HWND owner);

// The tabbed settings window (template 134). Opening it creates the five
// pages in page order and runs their Loads, so the scanner is read before
// the window first shows. "保存" runs the Save sequence and reports it;
// "退出", Escape and the close box end the window without writing.
class SettingsWindow {
 public:
  SettingsWindow(HINSTANCE instance, MessageSink& messages);
  ~SettingsWindow();
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Runs the window modally; returns when it has ended.
  void RunModal(HWND owner);
  // Creates the window modeless and shows it (the runner); it stays until
  // it ends itself or Close.
  bool Create(HWND owner);
  // Ends the window as its close box would.
  void Close();

  HWND Handle() const { return window_; }
  HWND Tabs() const { return tabs_; }
  HWND PageWindow(int tab) const;
  Win32PageControls* PageControlsAt(int tab) const;
  const std::vector<std::string>& LoadFailedKeys() const { return loadFailed_; }

  // "导入配置..." and "导出配置...": the file comes from the platform's file
  // dialog, or from `chooser` while one is set (the runner, tests). nullopt
  // when no file was chosen.
  std::optional<app::TransferResult> Import();
  std::optional<app::TransferResult> Export();
  void UseFileChooser(app::FileChooser* chooser) { chooser_ = chooser; }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void CreatePages();
  void ShowPageOf(int tab);
  void Save();
  void End(INT_PTR result);
  PageSet Pages() const;

  HINSTANCE instance_;
  MessageSink& messages_;
  InMemoryTemplate template_;
  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  bool modal_ = false;
  UINT dpi_ = 0;  // from the last change of DPI; 0: the window's own
  TabKeys tabKeys_;
  std::array<std::unique_ptr<Win32PageControls>, app::kPageCount> pages_;
  std::vector<std::string> loadFailed_;
  app::ProfileTransfer transfer_;
  Win32FileChooser dialogs_{&window_};
  app::FileChooser* chooser_ = nullptr;
};

// The connect dialog (template 102), the program's one top-level window.
// "连接设备" (also Enter) opens the scanner, reads its version and runs a
// new settings window; "退出", Escape and the close box end the program.
// Its system menu carries the About entry.
class ConnectDialog {
 public:
  ConnectDialog(HINSTANCE instance, MessageSink& messages);
  ~ConnectDialog();
  ConnectDialog(const ConnectDialog&) = delete;
  ConnectDialog& operator=(const ConnectDialog&) = delete;

  // The application: runs the dialog modally until it ends.
  INT_PTR RunModal();
  // The runner: the dialog modeless, and each settings window kept (not
  // modal) until the next connect or Close.
  bool Create();
  void SetRunSettingsModally(bool modal) { modal_ = modal; }

  app::ConnectOutcome Connect();
  SettingsWindow* Settings() const { return settings_.get(); }
  HWND Handle() const { return window_; }
  HINSTANCE Instance() const { return instance_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void PaintMinimised();
  void End(INT_PTR result);

  HINSTANCE instance_;
  MessageSink& messages_;
  InMemoryTemplate template_;
  ProgramIcons icons_;
  HWND window_ = nullptr;
  bool modal_ = true;
  bool running_modally_ = false;
  std::unique_ptr<SettingsWindow> settings_;
};

}  // namespace lumiq::ui::win32
