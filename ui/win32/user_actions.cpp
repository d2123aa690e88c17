#include "ui/win32/user_actions.h"

#include <optional>

#include <commctrl.h>

#include "res/ids/app_ids.h"
#include "ui/app/action_replay.h"
#include "ui/app/page_tabs.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

bool IsRadioButton(HWND control) {
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
}

HWND EditFieldOf(HWND control) {
  COMBOBOXINFO info = {};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(control, &info) && info.hwndItem) return info.hwndItem;
  return control;
}

}  // namespace

void TypeText(HWND control, const std::wstring& text) {
  HWND edit = EditFieldOf(control);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CLEAR, 0, 0);
  for (wchar_t unit : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(unit), 1);
}

namespace {

// The runner's actions on this binding's windows.
class Win32ActionDriver final : public app::ActionDriver {
 public:
  Win32ActionDriver(SettingsWindow& window, app::FedSerialPorts* serial)
      : window_(window), serial_(serial) {}

  void Press(Button button) override {
    SendMessageW(GetDlgItem(window_.Handle(), IdOf(button)), BM_CLICK, 0, 0);
  }
  bool IsShown(Button button) const override {
    return (GetWindowLongW(GetDlgItem(window_.Handle(), IdOf(button)), GWL_STYLE) &
            WS_VISIBLE) != 0;
  }
  void SelectTab(int tab) override {
    // A program's selection raises no notification; a click's does.
    SendMessageW(window_.Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header = {};
    header.hwndFrom = window_.Tabs();
    header.idFrom = res::kSettingsTabControl;
    header.code = TCN_SELCHANGE;
    SendMessageW(window_.Handle(), WM_NOTIFY, res::kSettingsTabControl,
                 reinterpret_cast<LPARAM>(&header));
  }
  std::optional<app::TransferResult> Transfer(app::FileChoice choice,
                                              const std::string& file) override {
    GivenWin32File given(file);
    window_.UseFileChooser(&given);
    const auto transfer = choice == app::FileChoice::kImport ? window_.Import()
                                                             : window_.Export();
    window_.UseFileChooser(nullptr);
    return transfer;
  }

  std::optional<app::TransferResult> SwitchChannel(const std::string& output) override {
    app::GivenChannelChooser chooser(output);
    window_.UseChannelChooser(&chooser);
    const auto switched = window_.SwitchChannel();
    window_.UseChannelChooser(nullptr);
    return switched;
  }
  void OpenTestScan() override {
    window_.SetRunTestScanModally(false);
    SendMessageW(GetDlgItem(window_.Handle(), res::kSettingsTestScanButton), BM_CLICK, 0, 0);
  }
  bool ScanKeys(const std::vector<std::string>& keys, std::string* note) override {
    TestScanWindow* scan = window_.TestScan();
    if (!scan) return Note(note, app::kNoTestScanWindow);
    if (scan->Session().Channel() != app::ScanChannel::kKeyboard) {
      return Note(note, app::kNotWatchingKeyboard);
    }
    uint32_t time = 0;
    const uint32_t interval = app::RunnerKeyIntervalMs(scan->Session().Timing());
    scan->UseClock([&time] { return time; });
    // As the keyboard's characters reach the list that has the focus.
    for (const std::string& key : keys) {
      for (wchar_t unit : Utf8ToWide(key)) {
        SendMessageW(scan->Scans(), WM_CHAR, static_cast<WPARAM>(unit), 1);
      }
      time += interval;
    }
    scan->EndScan();
    scan->UseClock(nullptr);
    return true;
  }
  bool ScanSerial(const std::string& bytes, std::string* note) override {
    TestScanWindow* scan = window_.TestScan();
    if (!scan) return Note(note, app::kNoTestScanWindow);
    if (!serial_ || !scan->Session().PortOpen()) return Note(note, app::kNoSerialPortOpen);
    serial_->Feed(bytes);
    scan->EndScan();
    return true;
  }

  ControlKind KindOf(int templateId, int id) const override {
    HWND control = Control(templateId, id);
    if (!control) return ControlKind::kNone;
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    if (lstrcmpiW(name, L"Button") != 0) return ControlKind::kOther;
    return IsRadioButton(control) ? ControlKind::kRadioButton : ControlKind::kCheckBox;
  }
  bool IsShown(int templateId, int id) const override {
    return (GetWindowLongW(Control(templateId, id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  bool IsEnabled(int templateId, int id) const override {
    return IsWindowEnabled(Control(templateId, id));
  }
  bool IsChecked(int templateId, int id) const override {
    return SendMessageW(Control(templateId, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void Click(int templateId, int id) override {
    SendMessageW(Control(templateId, id), BM_CLICK, 0, 0);
  }
  void Type(int templateId, int id, const std::string& text) override {
    TypeText(Control(templateId, id), Utf8ToWide(text));
  }

 private:
  static int IdOf(Button button) {
    switch (button) {
      case Button::kSave: return res::kSettingsSaveButton;
      case Button::kApply: return res::kSettingsApplyButton;
      case Button::kExit: break;
    }
    return res::kSettingsExitButton;
  }
  HWND Control(int templateId, int id) const {
    const Win32PageControls* page = window_.PageControlsAt(app::TabOfTemplate(templateId));
    return page ? page->Control(id) : nullptr;
  }

  static bool Note(std::string* note, const char* why) {
    if (note) *note = why;
    return false;
  }

  SettingsWindow& window_;
  app::FedSerialPorts* serial_;
};

}  // namespace

bool ApplyUserAction(SettingsWindow& window, const app::UserAction& action, std::string* note,
                     app::FedSerialPorts* serial) {
  Win32ActionDriver driver(window, serial);
  return app::ReplayAction(driver, action, note);
}

}  // namespace lumiq::ui::win32
