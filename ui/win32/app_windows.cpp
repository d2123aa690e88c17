#include "ui/win32/app_windows.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/page_placement.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

// Posted by the settings window to itself, so that the load failure shows
// once the window is up.
constexpr UINT kShowLoadFailure = WM_APP + 1;
// Posted on a change of DPI, so that the pages are placed once the system
// has rescaled the window and the tab control.
constexpr UINT kPlacePages = WM_APP + 2;

const res::DialogTemplate& TemplateOf(int id) { return *res::FindDialogTemplate(id); }

template <typename Window>
Window* Attached(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    return reinterpret_cast<Window*>(lParam);
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CALLBACK AboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        // Modal: end the run; modeless (a screenshot): the caller destroys.
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// Child pages: the combo lists, the tab's themed background; no handlers.
struct PageCreation {
  const res::DialogTemplate* tmpl;
};

INT_PTR CALLBACK PageProcedure(HWND window, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* creation = reinterpret_cast<const PageCreation*>(lParam);
    FillComboBoxes(window, *creation->tmpl);
    EnableThemeDialogTexture(window, ETDT_ENABLETAB);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

ProgramIcons LoadProgramIcons(HINSTANCE instance) {
  ProgramIcons icons;
  icons.big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(res::kProgramIconId),
                                            IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED));
  icons.small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(res::kProgramIconId),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icons;
}

void RunAboutBox(HINSTANCE instance, HWND owner) {
  const InMemoryTemplate about = BuildTemplate(TemplateOf(res::kAboutTemplateId));
  DialogBoxIndirectParamW(instance, about.Get(), owner, AboutProcedure, 0);
}

HWND CreateAboutBox(HINSTANCE instance, HWND owner) {
  const InMemoryTemplate about = BuildTemplate(TemplateOf(res::kAboutTemplateId));
  HWND box = CreateDialogIndirectParamW(instance, about.Get(), owner, AboutProcedure, 0);
  if (box) ShowWindow(box, SW_SHOWNORMAL);
  return box;
}

// --- settings window ---

SettingsWindow::SettingsWindow(HINSTANCE instance, MessageSink& messages)
    : instance_(instance),
      messages_(messages),
      template_(BuildTemplate(TemplateOf(res::kSettingsTemplateId))) {}

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

PageSet SettingsWindow::Pages() const {
  return PageSet{*pages_[0], *pages_[1], *pages_[2], *pages_[3], *pages_[4]};
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
    std::wstring caption = Utf8ToWide(app::kPageTabs[tab].caption);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  }

  CreatePages();
  PageSet pages = Pages();
  SettingMap loaded;
  loadFailed_ = LoadPages(pages, &loaded);
  transfer_.SetLoaded(std::move(loaded));

  ShowPageOf(0);
  SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
  tabKeys_.Attach(window, tabs_);
  if (!loadFailed_.empty()) PostMessageW(window, kShowLoadFailure, 0, 0);
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
    PlacePage(pageWindow, placed);
  }
}

std::optional<app::TransferResult> SettingsWindow::Import() {
  app::FileChooser& chooser = chooser_ ? *chooser_ : dialogs_;
  const std::optional<app::ChosenFile> file = chooser.Choose(app::FileChoice::kImport);
  if (!file) return std::nullopt;
  const app::TransferResult result = transfer_.Import(Pages(), *file, [this] {
    CreatePages();
    return Pages();
  });
  if (result.ok) {
    // The operator stays on the page that was showing.
    const LRESULT selected = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
    ShowPageOf(selected >= 0 && selected < app::kPageCount ? static_cast<int>(selected) : 0);
  }
  messages_.Show(window_, result.message);
  return result;
}

std::optional<app::TransferResult> SettingsWindow::Export() {
  app::FileChooser& chooser = chooser_ ? *chooser_ : dialogs_;
  const std::optional<app::ChosenFile> file = chooser.Choose(app::FileChoice::kExport);
  if (!file) return std::nullopt;
  const app::TransferResult result = transfer_.Export(Pages(), *file);
  messages_.Show(window_, result.message);
  return result;
}

void SettingsWindow::ShowPageOf(int tab) {
  for (int other = 0; other < app::kPageCount; ++other) {
    ShowWindow(PageWindow(other), other == tab ? SW_SHOWNORMAL : SW_HIDE);
  }
}

void SettingsWindow::Save() {
  const SaveOutcome outcome = SavePages(Pages());
  messages_.Show(window_, SaveMessage(outcome));
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
      // "退出", the template's first tab stop; left to the dialog manager the
      // focus would go into the first page, which the tab control holds.
      SetFocus(GetDlgItem(window_, res::kSettingsExitButton));
      return FALSE;
    case WM_DPICHANGED:
      dpi_ = HIWORD(wParam);
      PostMessageW(window_, kPlacePages, 0, 0);
      break;  // the system rescales the window
    case kPlacePages: {
      const RECT placed = PageRect(tabs_, dpi_);
      for (int tab = 0; tab < app::kPageCount; ++tab) PlacePage(PageWindow(tab), placed);
      return TRUE;
    }
    case kShowLoadFailure:
      messages_.Show(window_, LoadFailureMessage(loadFailed_));
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
        case res::kSettingsExitButton:
          if (HIWORD(wParam) == BN_CLICKED) End(IDOK);
          return TRUE;
        case IDCANCEL:  // Escape and the close box
          End(IDCANCEL);
          return TRUE;
        case IDOK:  // Enter: the window has no default button and never saves
          return TRUE;
        default:
          break;
      }
      break;
    case WM_DESTROY:
      tabKeys_.Detach();
      window_ = nullptr;
      tabs_ = nullptr;
      break;
    default:
      break;
  }
  return FALSE;
}

// --- connect dialog ---

ConnectDialog::ConnectDialog(HINSTANCE instance, MessageSink& messages)
    : instance_(instance),
      messages_(messages),
      template_(BuildTemplate(TemplateOf(res::kConnectTemplateId))),
      icons_(LoadProgramIcons(instance)) {}

ConnectDialog::~ConnectDialog() {
  settings_.reset();
  if (window_ && !running_modally_) DestroyWindow(window_);
}

INT_PTR ConnectDialog::RunModal() {
  running_modally_ = true;
  const INT_PTR result = DialogBoxIndirectParamW(instance_, template_.Get(), nullptr, Procedure,
                                                 reinterpret_cast<LPARAM>(this));
  running_modally_ = false;
  window_ = nullptr;
  return result;
}

bool ConnectDialog::Create() {
  window_ = CreateDialogIndirectParamW(instance_, template_.Get(), nullptr, Procedure,
                                       reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

INT_PTR CALLBACK ConnectDialog::Procedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  ConnectDialog* self = Attached<ConnectDialog>(window, message, lParam);
  if (!self) return FALSE;
  if (message == WM_INITDIALOG) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

void ConnectDialog::Initialise(HWND window) {
  // The About entry: a separator and string 101 under command 16, only
  // when the string exists.
  if (HMENU menu = GetSystemMenu(window, FALSE)) {
    const std::wstring text = Utf8ToWide(res::StringResource(res::kAboutMenuStringId));
    if (!text.empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_STRING, res::kAboutMenuCommand, text.c_str());
    }
  }
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_.big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_.small));
}

app::ConnectOutcome ConnectDialog::Connect() {
  // Every press starts over from discovery; a window of an earlier connect
  // that is still kept goes first.
  settings_.reset();

  const app::ConnectResult result = app::ConnectToScanner();
  messages_.Show(window_, result.message);
  if (!result.Connected()) return result.outcome;

  settings_ = std::make_unique<SettingsWindow>(instance_, messages_);
  if (modal_) {
    settings_->RunModal(window_);
    settings_.reset();
  } else {
    settings_->Create(window_);
  }
  return result.outcome;
}

void ConnectDialog::PaintMinimised() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icons_.big);
  EndPaint(window_, &paint);
}

void ConnectDialog::End(INT_PTR result) {
  if (running_modally_) {
    EndDialog(window_, result);
  } else {
    DestroyWindow(window_);
  }
}

INT_PTR ConnectDialog::Handle(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(window_);
      return TRUE;
    case WM_SYSCOMMAND:
      // The low four bits of a system command are the system's own flags.
      if (static_cast<int>(wParam & res::kSystemCommandMask) == res::kAboutMenuCommand) {
        RunAboutBox(instance_, window_);
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      break;
    case WM_PAINT:
      if (IsIconic(window_)) {
        PaintMinimised();
        return TRUE;
      }
      break;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icons_.big);
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case res::kConnectButton:  // also Enter: the default button
          Connect();
          return TRUE;
        case res::kConnectExitButton:
          End(IDOK);
          return TRUE;
        case IDCANCEL:
          End(IDCANCEL);
          return TRUE;
        default:
          break;
      }
      break;
    case WM_DESTROY:
      window_ = nullptr;
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace lumiq::ui::win32
