#pragma once

#include <memory>

#include <windows.h>

#include "ui/app/connect_flow.h"
#include "ui/win32/chooser_dialog.h"
#include "ui/win32/dialog_builder.h"
#include "ui/win32/file_chooser.h"
#include "ui/win32/program_icon.h"
#include "ui/win32/settings_window.h"

namespace lumiq::ui::win32 {

class MessageSink;

// The connect dialog (template 102), the program's one top-level window.
// "连接设备" (also Enter) opens the scanner, reads its version and runs a
// new settings window; with several scanners plugged in it first lets the
// operator choose one. "退出", Escape and the close box end the program.
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

  // kChoosing when the chooser came up instead (run modally, or kept
  // shown like the settings window).
  app::ConnectOutcome Connect();
  // "打开配置文件...": the file dialog, then a settings window on the file
  // chosen (OpenFile); nothing is asked of a scanner.
  app::ConnectOutcome OpenProfile();
  app::ConnectOutcome OpenFile(const app::ChosenFile& file);
  // OpenFile once the dialog is up (a file given to the program).
  void OpenOnStart(app::ChosenFile file) { startFile_ = std::move(file); }
  // The file dialog "打开配置文件..." opens; nullptr: the platform's own.
  void UseFileChooser(app::FileChooser* chooser) { fileChooser_ = chooser; }
  // "应用到设备..." of the settings window: the connect flow, whose success
  // puts the scanner behind that window instead of opening a new one.
  app::ConnectOutcome ApplyToScanner();
  SettingsWindow* Settings() const { return settings_.get(); }
  // The chooser while it is shown, or nullptr.
  ChooserDialog* Chooser() const {
    return chooser_ && chooser_->Handle() ? chooser_.get() : nullptr;
  }
  HWND Handle() const { return window_; }
  HINSTANCE Instance() const { return instance_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  void PaintMinimised();
  void End(INT_PTR result);
  class Window;

  HINSTANCE instance_;
  MessageSink& messages_;
  InMemoryTemplate template_;
  ProgramIcons icons_;
  HWND window_ = nullptr;
  bool modal_ = true;
  bool running_modally_ = false;
  // A connect for "应用到设备..." is under way (until its chooser closes).
  bool applying_ = false;
  Win32FileChooser files_{&window_};
  app::FileChooser* fileChooser_ = nullptr;
  app::ChosenFile startFile_;
  std::unique_ptr<SettingsWindow> settings_;
  std::unique_ptr<ChooserDialog> chooser_;
};

}  // namespace lumiq::ui::win32
