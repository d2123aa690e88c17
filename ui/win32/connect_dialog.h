#pragma once

#include <memory>

#include <windows.h>

#include "ui/app/connect_flow.h"
#include "ui/win32/chooser_dialog.h"
#include "ui/win32/dialog_builder.h"
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
  std::unique_ptr<SettingsWindow> settings_;
  std::unique_ptr<ChooserDialog> chooser_;
};

}  // namespace lumiq::ui::win32
