#include "ui/win32/test_scan_window.h"

#include <commctrl.h>

#include <iterator>

#include "res/ids/app_ids.h"
#include "ui/win32/opening_focus.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_attach.h"

namespace lumiq::ui::win32 {

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 20;
constexpr UINT_PTR kKeySubclass = 1;

void AddRow(HWND list, const std::string& text) {
  const std::wstring wide = Utf8ToWide(text);
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace

TestScanWindow::TestScanWindow(HINSTANCE instance, const PageSet& pages, app::SerialPorts& ports)
    : instance_(instance),
      serialPorts_(ports),
      session_(pages),
      template_(BuildTemplate(TemplateOf(res::kTestScanTemplateId))) {}

TestScanWindow::~TestScanWindow() { Close(); }

void TestScanWindow::RunModal(HWND owner) {
  modal_ = true;
  DialogBoxIndirectParamW(instance_, template_.Get(), owner, Procedure,
                          reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

bool TestScanWindow::Create(HWND owner) {
  modal_ = false;
  window_ = CreateDialogIndirectParamW(instance_, template_.Get(), owner, Procedure,
                                       reinterpret_cast<LPARAM>(this));
  if (!window_) return false;
  ShowWindow(window_, SW_SHOWNORMAL);
  return true;
}

void TestScanWindow::Close() {
  if (window_ && !modal_) DestroyWindow(window_);
}

uint32_t TestScanWindow::Now() const { return clock_ ? clock_() : GetTickCount(); }

void TestScanWindow::SetText(int id, const std::string& text) {
  SetDlgItemTextW(window_, id, Utf8ToWide(text).c_str());
}

INT_PTR CALLBACK TestScanWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  TestScanWindow* self = Attached<TestScanWindow>(window, message, lParam);
  if (!self) return FALSE;
  if (message == WM_INITDIALOG) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

// The lists of a keyboard test take every key as the scanner's: the dialog
// manager passes them on, and the characters come as WM_CHAR.
LRESULT CALLBACK TestScanWindow::KeyProcedure(HWND control, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
  auto* self = reinterpret_cast<TestScanWindow*>(data);
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_KEYUP: return 0;  // no list navigation: the keys are a scan's
    case WM_CHAR:
      self->Key(static_cast<wchar_t>(wParam));
      return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(control, KeyProcedure, kKeySubclass); break;
    default: break;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

void TestScanWindow::Initialise() {
  SetText(res::kTestScanChannelText, session_.ChannelText());
  SetText(res::kTestScanCodeFraming, session_.CodeFramingText());
  SetText(res::kTestScanCardFraming, session_.CardFramingText());
  SetText(res::kTestScanTiming, session_.TimingText());
  ShowWindow(GetDlgItem(window_, res::kTestScanCardFraming),
             session_.CardFramingText().empty() ? SW_HIDE : SW_SHOWNA);
  const bool serial = session_.Channel() == app::ScanChannel::kSerial;
  for (int id : {res::kTestScanPortLabel, res::kTestScanPortCombo, res::kTestScanPortStatus}) {
    ShowWindow(GetDlgItem(window_, id), serial ? SW_SHOWNA : SW_HIDE);
  }
  if (serial) {
    HWND combo = GetDlgItem(window_, res::kTestScanPortCombo);
    for (const std::string& port : session_.Ports(serialPorts_)) {
      const std::wstring wide = Utf8ToWide(port);
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    OpenPort();
  }
  if (session_.Channel() == app::ScanChannel::kKeyboard) {
    for (int id : {res::kTestScanList, res::kTestScanDetails}) {
      SetWindowSubclass(GetDlgItem(window_, id), KeyProcedure, kKeySubclass,
                        reinterpret_cast<DWORD_PTR>(this));
    }
  }
  SetTimer(window_, kPollTimer, kPollMs, nullptr);
}

void TestScanWindow::OpenPort() {
  HWND combo = GetDlgItem(window_, res::kTestScanPortCombo);
  std::wstring name(static_cast<size_t>(GetWindowTextLengthW(combo)) + 1, L'\0');
  name.resize(static_cast<size_t>(GetWindowTextW(combo, name.data(), static_cast<int>(name.size()))));
  SetText(res::kTestScanPortStatus, session_.OpenPort(serialPorts_, WideToUtf8(name)));
}

void TestScanWindow::Key(wchar_t unit) {
  // A character beyond the first plane comes in two halves.
  if (unit >= 0xD800 && unit < 0xDC00) {
    highSurrogate_ = unit;
    return;
  }
  std::wstring character;
  if (unit >= 0xDC00 && unit < 0xE000) {
    if (!highSurrogate_) return;
    character = {highSurrogate_, unit};
  } else {
    character = {unit};
  }
  highSurrogate_ = 0;
  if (auto report = session_.Key(WideToUtf8(character), Now())) Show(*report);
}

void TestScanWindow::Poll() {
  bool gone = false;
  for (const app::ScanReport& report : session_.Poll(Now(), &gone)) Show(report);
  if (gone) SetText(res::kTestScanPortStatus, session_.PortStatus());
}

void TestScanWindow::EndScan() {
  Poll();
  if (auto report = session_.EndScan()) Show(*report);
}

void TestScanWindow::Show(const app::ScanReport& report) {
  reports_.push_back(report);
  HWND list = GetDlgItem(window_, res::kTestScanList);
  AddRow(list, report.Row());
  SendMessageW(list, LB_SETCURSEL, reports_.size() - 1, 0);
  ShowDetails();
  if (listener_) listener_(report);
}

void TestScanWindow::ShowDetails() {
  HWND details = GetDlgItem(window_, res::kTestScanDetails);
  SendMessageW(details, LB_RESETCONTENT, 0, 0);
  const LRESULT row = SendMessageW(GetDlgItem(window_, res::kTestScanList), LB_GETCURSEL, 0, 0);
  if (row < 0 || row >= static_cast<LRESULT>(reports_.size())) return;
  for (const std::string& line : reports_[static_cast<size_t>(row)].Details()) AddRow(details, line);
}

INT_PTR TestScanWindow::Handle(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      SetFocus(GetDlgItem(window_, res::kTestScanList));
      return FALSE;  // the focus is set
    case WM_TIMER:
      if (wParam == kPollTimer) Poll();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case res::kTestScanList:
          if (HIWORD(wParam) == LBN_SELCHANGE) ShowDetails();
          return TRUE;
        case res::kTestScanPortCombo:
          if (HIWORD(wParam) == CBN_SELENDOK) {
            // The list's choice lands in the edit field after this message.
            PostMessageW(window_, WM_APP + 1, 0, 0);
          }
          return TRUE;
        case IDCANCEL:  // "关闭", the close box, Escape outside a keyboard test
          if (modal_) {
            EndDialog(window_, IDCANCEL);
          } else {
            DestroyWindow(window_);
          }
          return TRUE;
        case IDOK:  // Enter never ends it: it may be a scan's
          return TRUE;
        default:
          break;
      }
      break;
    case WM_APP + 1:
      OpenPort();
      return TRUE;
    case WM_DESTROY:
      KillTimer(window_, kPollTimer);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return FALSE;
}

namespace {

struct ChannelChoice {
  const app::OutputChannel* current;
  int chosen = -1;
};

INT_PTR CALLBACK ChannelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* choice = Attached<ChannelChoice>(window, message, lParam);
  if (!choice) return FALSE;
  switch (message) {
    case WM_INITDIALOG: {
      const int checked = choice->current ? choice->current->box : app::kOutputChannels[0].box;
      CheckDlgButton(window, checked, BST_CHECKED);
      return FocusOnOpening(window, res::kChannelChooserTemplateId);
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        for (size_t i = 0; i < std::size(app::kOutputChannels); ++i) {
          if (IsDlgButtonChecked(window, app::kOutputChannels[i].box) == BST_CHECKED) {
            choice->chosen = static_cast<int>(i);
          }
        }
        EndDialog(window, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> Win32ChannelChooser::Choose(const app::OutputChannel* current) {
  const InMemoryTemplate dialog = BuildTemplate(TemplateOf(res::kChannelChooserTemplateId));
  ChannelChoice choice{current};
  if (DialogBoxIndirectParamW(instance_, dialog.Get(), owner_, ChannelProcedure,
                              reinterpret_cast<LPARAM>(&choice)) != IDOK ||
      choice.chosen < 0) {
    return std::nullopt;
  }
  return std::string(app::kOutputChannels[static_cast<size_t>(choice.chosen)].output);
}

}  // namespace lumiq::ui::win32
