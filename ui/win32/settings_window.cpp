#include "ui/win32/settings_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/win32/access.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/opening_focus.h"
#include "ui/win32/page_placement.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_attach.h"

namespace lumiq::ui::win32 {

namespace {

// Posted by the settings window to itself, so that the load failure shows
// once the window is up.
constexpr UINT kShowLoadFailure = WM_APP + 1;
// Posted on a change of DPI, so that the pages are placed once the system
// has rescaled the window and the tab control.
constexpr UINT kPlacePages = WM_APP + 2;
// Posted by the output method page's "更改输出方式...": the switch rebuilds
// the pages, so it must not run inside the page's own message.
constexpr UINT kSwitchChannel = WM_APP + 3;
// Posted by a page when the user changed one of its controls, so that the
// title and the tab headers show what changed.
constexpr UINT kRefreshMarks = WM_APP + 4;

// Child pages: the combo lists, the tab's themed background; no handlers.
struct PageCreation {
  const res::DialogTemplate* tmpl;
};

INT_PTR CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* creation = reinterpret_cast<const PageCreation*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(creation->tmpl));
    FillComboBoxes(window, *creation->tmpl);
    KeepRadioStops(window, *creation->tmpl);
    NameRadios(window, *creation->tmpl);
    EnableThemeDialogTexture(window, ETDT_ENABLETAB);
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
      LOWORD(wParam) == res::output_method::kChangeChannelButton) {
    PostMessageW(GetAncestor(window, GA_ROOT), kSwitchChannel, 0, 0);
    return TRUE;
  }
  // A click or an arrow key checked a radio button: the group's stop follows.
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    const auto* tmpl =
        reinterpret_cast<const res::DialogTemplate*>(GetWindowLongPtrW(window, DWLP_USER));
    if (tmpl) KeepRadioStop(window, *tmpl, LOWORD(wParam));
  }
  if (message == WM_COMMAND) {
    switch (HIWORD(wParam)) {
      case BN_CLICKED:
      case EN_CHANGE:
      case CBN_EDITCHANGE:
      case CBN_SELCHANGE:
        PostMessageW(GetAncestor(window, GA_ROOT), kRefreshMarks, 0, 0);
        break;
      default:
        break;
    }
  }
  return FALSE;
}

}  // namespace

// --- settings window ---

SettingsWindow::SettingsWindow(HINSTANCE instance, MessageSink& messages,
                               std::unique_ptr<app::DocumentSource> source)
    : instance_(instance),
      messages_(messages),
      template_(BuildTemplate(TemplateOf(res::kSettingsTemplateId))),
      session_(source ? std::move(source) : std::make_unique<app::ScannerSource>()) {}

SettingsWindow::~SettingsWindow() { Close(); }

void SettingsWindow::RunModal(HWND owner) {
  modal_ = true;
  DialogBoxIndirectParamW(instance_, template_.Get(), owner, Procedure,
                          reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

bool SettingsWindow::Create(HWND owner) {
  modal_ = false;
  window_ = CreateDialogIndirectParamW(instance_, template_.Get(), owner, Procedure,
                                       reinterpret_cast<LPARAM>(this));
  if (!window_) return false;
  ShowWindow(window_, SW_SHOWNORMAL);
  return true;
}

void SettingsWindow::Close() {
  if (window_ && !modal_) DestroyWindow(window_);
}

HWND SettingsWindow::PageWindow(int tab) const {
  const Win32PageControls* page = PageControlsAt(tab);
  return page ? page->Page() : nullptr;
}

Win32PageControls* SettingsWindow::PageControlsAt(int tab) const {
  if (tab < 0 || tab >= app::kPageCount) return nullptr;
  return pages_[static_cast<size_t>(tab)].get();
}

app::PagesByTab SettingsWindow::Pages() const {
  app::PagesByTab pages{};
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    pages[static_cast<size_t>(tab)] = pages_[static_cast<size_t>(tab)].get();
  }
  return pages;
}

INT_PTR CALLBACK SettingsWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  SettingsWindow* self = Attached<SettingsWindow>(window, message, lParam);
  if (!self) return FALSE;
  if (message == WM_INITDIALOG) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

void SettingsWindow::Initialise(HWND window) {
  tabs_ = GetDlgItem(window, res::kSettingsTabControl);
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    std::wstring caption = Utf8ToWide(i18n::Tr(app::kPageTabs[tab].caption));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  }

  CreatePages();
  session_.Open(Pages());
  RefreshMarks();
  ShowWindow(GetDlgItem(window, res::kSettingsApplyButton), session_.File() ? SW_SHOW : SW_HIDE);

  ShowPageOf(0);
  SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
  tabKeys_.Attach(window, tabs_);
  if (session_.OpeningMessage()) PostMessageW(window, kShowLoadFailure, 0, 0);
}

// The pages are modeless child dialogs of the tab control, created in page
// order; whether each creation worked is not looked at. Pages created again
// (an import) replace the old ones, which go with their windows.
void SettingsWindow::CreatePages() {
  const RECT placed = PageRect(tabs_, dpi_ ? dpi_ : WindowDpi(window_));
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    const res::DialogTemplate& tmpl = TemplateOf(app::kPageTabs[tab].templateId);
    const InMemoryTemplate page = BuildTemplate(tmpl);
    PageCreation creation{&tmpl};
    HWND pageWindow = CreateDialogIndirectParamW(instance_, page.Get(), tabs_, PageProcedure,
                                                 reinterpret_cast<LPARAM>(&creation));
    auto& slot = pages_[static_cast<size_t>(tab)];
    if (slot) DestroyWindow(slot->Page());
    slot = std::make_unique<Win32PageControls>(pageWindow, tmpl);
    // A page is named by its tab; it has no caption to show it.
    SetWindowTextW(pageWindow, Utf8ToWide(i18n::Tr(app::kPageTabs[tab].caption)).c_str());
    PlacePage(pageWindow, placed);
  }
}

std::optional<app::TransferResult> SettingsWindow::Import() {
  app::FileChooser& chooser = chooser_ ? *chooser_ : dialogs_;
  const std::optional<app::TransferResult> result = session_.Import(Pages(), chooser, [this] {
    CreatePages();
    return Pages();
  });
  if (!result) return std::nullopt;
  if (result->ok) {
    // The operator stays on the page that was showing.
    const LRESULT selected = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
    ShowPageOf(selected >= 0 && selected < app::kPageCount ? static_cast<int>(selected) : 0);
    RefreshMarks();
  }
  messages_.Show(window_, result->message);
  return result;
}

std::optional<app::TransferResult> SettingsWindow::SwitchChannel() {
  Win32ChannelChooser dialog(instance_, window_);
  app::ChannelChooser& chooser = channelChooser_ ? *channelChooser_ : dialog;
  const std::optional<app::TransferResult> result =
      session_.SwitchChannel(Pages(), chooser, [this] {
        CreatePages();
        return Pages();
      });
  if (!result) return std::nullopt;
  const LRESULT selected = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
  ShowPageOf(selected >= 0 && selected < app::kPageCount ? static_cast<int>(selected) : 0);
  RefreshMarks();
  messages_.Show(window_, result->message);
  return result;
}

TestScanWindow* SettingsWindow::OpenTestScan() {
  testScan_.reset();
  app::SerialPorts& ports = serialPorts_ ? *serialPorts_ : app::SystemSerialPorts();
  testScan_ = std::make_unique<TestScanWindow>(instance_, app::PagesOf(Pages()), ports);
  testScan_->SetScanListener(scanListener_);
  if (!testScanModal_) return testScan_->Create(window_) ? testScan_.get() : nullptr;
  testScan_->RunModal(window_);
  testScan_.reset();
  return nullptr;
}

std::optional<app::TransferResult> SettingsWindow::Export() {
  app::FileChooser& chooser = chooser_ ? *chooser_ : dialogs_;
  const std::optional<app::TransferResult> result = session_.Export(Pages(), chooser);
  if (result) messages_.Show(window_, result->message);
  return result;
}

void SettingsWindow::ShowPageOf(int tab) {
  for (int other = 0; other < app::kPageCount; ++other) {
    ShowWindow(PageWindow(other), other == tab ? SW_SHOWNORMAL : SW_HIDE);
  }
}

void SettingsWindow::Save() {
  const std::string message = session_.Save(Pages()).message;
  RefreshMarks();
  messages_.Show(window_, message);
}

void SettingsWindow::RefreshMarks() {
  if (!window_) return;
  const app::PagesByTab pages = Pages();
  SetWindowTextW(window_, Utf8ToWide(session_.Title(pages)).c_str());
  const std::array<bool, app::kPageCount> changed = session_.TabsChanged(pages);
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    std::wstring caption = Utf8ToWide(app::TabCaption(tab, changed[static_cast<size_t>(tab)]));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  }
}

void SettingsWindow::AttachScanner() {
  const std::string message = session_.AttachScanner(Pages());
  ShowWindow(GetDlgItem(window_, res::kSettingsApplyButton), SW_HIDE);
  RefreshMarks();
  messages_.Show(window_, message);
}

bool SettingsWindow::MayClose() {
  const std::optional<std::string> question = session_.CloseQuestion(Pages());
  if (!question) return true;
  std::string message;
  const bool closes = session_.AnswerClose(Pages(), messages_.Ask(window_, *question), &message);
  if (!message.empty()) messages_.Show(window_, message);
  return closes;
}

void SettingsWindow::End(INT_PTR result) {
  if (modal_) {
    EndDialog(window_, result);
  } else {
    DestroyWindow(window_);
  }
}

INT_PTR SettingsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(window_);
      // Two windows under one title would leave a screen reader's window
      // list ambiguous: the connect window steps aside while this is open.
      if (HWND owner = GetWindow(window_, GW_OWNER)) ShowWindow(owner, SW_HIDE);
      return FocusOnOpening(window_, res::kSettingsTemplateId);
    case WM_DPICHANGED:
      dpi_ = HIWORD(wParam);
      PostMessageW(window_, kPlacePages, 0, 0);
      break;  // the system rescales the window
    case kPlacePages: {
      const RECT placed = PageRect(tabs_, dpi_);
      for (int tab = 0; tab < app::kPageCount; ++tab) PlacePage(PageWindow(tab), placed);
      return TRUE;
    }
    case kRefreshMarks:
      RefreshMarks();
      return TRUE;
    case kSwitchChannel:
      SwitchChannel();
      return TRUE;
    case kShowLoadFailure:
      if (const std::optional<std::string> text = session_.OpeningMessage()) {
        messages_.Show(window_, *text);
      }
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != static_cast<UINT_PTR>(res::kSettingsTabControl) ||
          header->code != static_cast<UINT>(TCN_SELCHANGE)) {
        break;
      }
      const LRESULT selected = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
      if (selected >= 0 && selected < app::kPageCount) ShowPageOf(static_cast<int>(selected));
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case res::kSettingsSaveButton:
          if (HIWORD(wParam) == BN_CLICKED) Save();
          return TRUE;
        case res::kSettingsImportButton:
          if (HIWORD(wParam) == BN_CLICKED) Import();
          return TRUE;
        case res::kSettingsExportButton:
          if (HIWORD(wParam) == BN_CLICKED) Export();
          return TRUE;
        case res::kSettingsApplyButton:
          if (HIWORD(wParam) == BN_CLICKED && applyHandler_) applyHandler_();
          return TRUE;
        case res::kSettingsTestScanButton:
          if (HIWORD(wParam) == BN_CLICKED) OpenTestScan();
          return TRUE;
        case res::kSettingsExitButton:
          if (HIWORD(wParam) == BN_CLICKED && MayClose()) End(IDOK);
          return TRUE;
        case IDCANCEL:  // Escape and the close box
          if (MayClose()) End(IDCANCEL);
          return TRUE;
        case IDOK:  // Enter: the window has no default button and never saves
          return TRUE;
        default:
          break;
      }
      break;
    case WM_DESTROY:
      testScan_.reset();
      if (HWND owner = GetWindow(window_, GW_OWNER)) ShowWindow(owner, SW_SHOWNA);
      tabKeys_.Detach();
      window_ = nullptr;
      tabs_ = nullptr;
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace lumiq::ui::win32
