#pragma once

#include <memory>

#include <QDialog>

#include "ui/app/connect_flow.h"
#include "ui/qt/dialog_builder.h"
#include "ui/qt/file_chooser.h"

class QAction;

namespace lumiq::ui::qt {

class ChooserDialog;
class MessageSink;
class SettingsWindow;

// The connect dialog (template 102), the program's one top-level window.
// "连接设备" (also Enter) opens the scanner, reads its version and opens a
// new settings window; with several scanners plugged in it first lets the
// operator choose one. "退出", Escape and the close box end the program.
class ConnectDialog : public QDialog {
  Q_OBJECT

 public:
  using Outcome = app::ConnectOutcome;

  explicit ConnectDialog(MessageSink& messages, QWidget* parent = nullptr);
  ~ConnectDialog() override;

  // The application runs each settings window modally and destroys it when
  // it ends. A host without a modal loop (tests, the headless runner) turns
  // this off: the window is then shown and kept until the next connect.
  void SetRunSettingsModally(bool modal) { modal_ = modal; }

  // The whole connect sequence, from discovery on, with its message; with
  // several scanners kChoosing, the chooser then up (modally, or kept
  // shown like the settings window).
  Outcome Connect();
  // "打开配置文件...": the file dialog, then a settings window on the file
  // chosen (OpenFile); nothing is asked of a scanner.
  Outcome OpenProfile();
  Outcome OpenFile(const app::ChosenFile& file);
  // The file dialog "打开配置文件..." opens; nullptr: the toolkit's own.
  void UseFileChooser(app::FileChooser* chooser) { fileChooser_ = chooser; }
  // "应用到设备..." of the settings window: the connect flow, whose success
  // puts the scanner behind that window instead of opening a new one.
  Outcome ApplyToScanner();

  // The settings window of the last connect while it is kept, or nullptr.
  SettingsWindow* Settings() const { return settings_.get(); }
  // The chooser while it is shown, or nullptr.
  ChooserDialog* Chooser() const;

  // The About entry ("关于 LumiqConfigTool(&A)..."), in the dialog's
  // context menu (the Win32 binding puts it in the system menu).
  QAction* AboutAction() const { return about_; }
  void ShowAbout();

  const BuiltDialog& Controls() const { return controls_; }

 private:
  class Window;
  void ConnectChosen();

  MessageSink& messages_;
  BuiltDialog controls_;
  QAction* about_ = nullptr;
  std::unique_ptr<SettingsWindow> settings_;
  std::unique_ptr<ChooserDialog> chooser_;
  bool modal_ = true;
  // A connect for "应用到设备..." is under way (until its chooser closes).
  bool applying_ = false;
  QtFileChooser files_{this};
  app::FileChooser* fileChooser_ = nullptr;
};

}  // namespace lumiq::ui::qt
