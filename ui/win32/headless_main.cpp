// lumiq-headless.exe: the runner's options, actions and printed lines are
// ui/app's, the same as the Linux runner's; this file only drives the Win32
// windows. It needs no display: Wine's null graphics driver will do.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/app/headless_run.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/connect_dialog.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/screenshot.h"
#include "ui/win32/system_language.h"
#include "ui/win32/user_actions.h"
#include "ui/win32/wide_text.h"

namespace {

using lumiq::ui::app::UserAction;
using lumiq::ui::win32::ConnectDialog;
using lumiq::ui::win32::SettingsWindow;

class PrintingSink final : public lumiq::ui::win32::MessageSink {
 public:
  void Show(HWND /*owner*/, const std::string& utf8) override {
    lumiq::ui::app::PrintMessage(utf8);
  }
  lumiq::ui::app::SettingsSession::CloseAnswer Ask(HWND /*owner*/,
                                                   const std::string& utf8) override {
    return lumiq::ui::app::AnswerQuestion(utf8);
  }
};

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Lets the windows paint before the screen is copied.
void Settle(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN |
                                             RDW_UPDATENOW | RDW_FRAME);
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(30);
  }
}

class Win32Host final : public lumiq::ui::app::HeadlessHost {
 public:
  explicit Win32Host(HINSTANCE instance) : dialog_(instance, messages_) {
    dialog_.SetRunSettingsModally(false);
    dialog_.Create();
    Pump();
  }

  lumiq::ui::app::ConnectOutcome Connect() override {
    const auto outcome = dialog_.Connect();
    Pump();  // the load message, if any
    return outcome;
  }

  lumiq::ui::app::ConnectOutcome OpenFile(const std::string& file) override {
    // The button pressed; its file dialog answers with `file`.
    lumiq::ui::win32::GivenWin32File chooser(file);
    dialog_.UseFileChooser(&chooser);
    const auto outcome = dialog_.OpenProfile();
    dialog_.UseFileChooser(nullptr);
    Pump();  // the opening message, if any
    return outcome;
  }

  std::vector<std::string> ChooserRows() const override {
    const lumiq::ui::win32::ChooserDialog* chooser = dialog_.Chooser();
    return chooser ? chooser->Rows() : std::vector<std::string>();
  }

  void Pick(int row) override {
    lumiq::ui::win32::ChooserDialog* chooser = dialog_.Chooser();
    if (!chooser) return;
    HWND list = chooser->List();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    // Enter in the list, through the dialog manager as a user's key goes:
    // it presses the default button.
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(list, WM_KEYUP, VK_RETURN, 0xC0000001);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      HWND dialog = dialog_.Chooser() ? dialog_.Chooser()->Handle() : nullptr;
      if (dialog && IsDialogMessageW(dialog, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Pump();
  }

  bool HasSettings() const override {
    SettingsWindow* window = dialog_.Settings();
    return window && window->Handle();
  }

  bool Apply(const UserAction& action, std::string* note) override {
    SettingsWindow* window = dialog_.Settings();
    if (!window || !window->Handle()) {
      if (note) *note = lumiq::ui::app::kNoSettingsWindow;
      return false;
    }
    // The scanner's serial port is a simulated one, and every scan is printed.
    window->UseSerialPorts(&serial_);
    window->SetScanListener(lumiq::ui::app::PrintScan);
    const bool changed = lumiq::ui::win32::ApplyUserAction(*window, action, note, &serial_);
    Pump();
    return changed;
  }

  std::vector<lumiq::ui::app::Screenshot> TakeScreenshots() override {
    std::vector<lumiq::ui::app::Screenshot> shots;
    // The connect window steps aside while the settings are open; the
    // shot is taken from the screen, so it comes back for it.
    const bool hidden = !IsWindowVisible(dialog_.Handle());
    if (hidden) ShowWindow(dialog_.Handle(), SW_SHOWNA);
    shots.push_back(Shot(dialog_.Handle(), "connect.png"));
    if (hidden) ShowWindow(dialog_.Handle(), SW_HIDE);
    if (HWND about = lumiq::ui::win32::CreateAboutBox(dialog_.Instance(), dialog_.Handle())) {
      shots.push_back(Shot(about, "about.png"));
      DestroyWindow(about);
    }
    if (SettingsWindow* window = dialog_.Settings(); window && window->Handle()) {
      for (int tab = 0; tab < lumiq::ui::app::kPageCount; ++tab) {
        UserAction select;
        select.kind = UserAction::Kind::kTab;
        select.tab = tab;
        lumiq::ui::win32::ApplyUserAction(*window, select, nullptr);
        shots.push_back(
            Shot(window->Handle(), "settings-tab" + std::to_string(tab) + ".png"));
      }
      if (lumiq::ui::win32::TestScanWindow* scan = window->TestScan()) {
        shots.push_back(Shot(scan->Handle(), "testscan.png"));
      }
    }
    return shots;
  }

  void CloseSettings() override {
    if (SettingsWindow* window = dialog_.Settings()) window->Close();
    Pump();
  }

 private:
  static lumiq::ui::app::Screenshot Shot(HWND window, const std::string& name) {
    SetForegroundWindow(window);
    Settle(window);
    lumiq::ui::app::Screenshot shot;
    shot.name = name;
    lumiq::ui::win32::WindowPng(window, &shot.png, &shot.error);
    return shot;
  }

  PrintingSink messages_;
  lumiq::ui::app::FedSerialPorts serial_;
  ConnectDialog dialog_;
};

// The arguments as the runner takes them: UTF-8, paths included (the
// profile's file functions turn them back into UTF-16).
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(lumiq::ui::win32::WideToUtf8(argv[i]));
  return arguments;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The printed lines must be the same bytes as on Linux: no CR before LF.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  return lumiq::ui::app::HeadlessMain(
      argc, pointers.data(), lumiq::ui::win32::SystemLanguage,
      [instance]() -> std::unique_ptr<lumiq::ui::app::HeadlessHost> {
        lumiq::ui::win32::InitControls();
        return std::make_unique<Win32Host>(instance);
      });
}
