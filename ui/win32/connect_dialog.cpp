#include "ui/win32/connect_dialog.h"

#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/opening_focus.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_attach.h"

namespace lumiq::ui::win32 {

namespace {
// Posted to itself, so that a file given to the program opens once the
// dialog runs.
constexpr UINT kOpenStartFile = WM_APP + 1;
}  // namespace

// --- connect dialog ---

ConnectDialog::ConnectDialog(HINSTANCE instance, MessageSink& messages)
    : instance_(instance),
      messages_(messages),
      template_(BuildTemplate(TemplateOf(res::kConnectTemplateId))),
      icons_(LoadProgramIcons(instance)) {}

ConnectDialog::~ConnectDialog() {
  chooser_.reset();
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
    const std::wstring text = Utf8ToWide(i18n::Tr(res::StringResource(res::kAboutMenuStringId)));
    if (!text.empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_STRING, res::kAboutMenuCommand, text.c_str());
    }
  }
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_.big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_.small));
}

class ConnectDialog::Window final : public app::ConnectWindow {
 public:
  explicit Window(ConnectDialog& dialog) : dialog(dialog) {}
  void DropSettings() override {
    if (!dialog.applying_) dialog.settings_.reset();
  }
  void ShowMessage(const std::string& utf8) override {
    dialog.messages_.Show(dialog.window_, utf8);
  }
  void OpenSettings() override {
    if (dialog.applying_ && dialog.settings_) {
      dialog.applying_ = false;
      dialog.settings_->AttachScanner();
      return;
    }
    Run(std::make_unique<SettingsWindow>(dialog.instance_, dialog.messages_));
  }
  void OpenSettingsOn(std::unique_ptr<app::DocumentSource> source) override {
    Run(std::make_unique<SettingsWindow>(dialog.instance_, dialog.messages_, std::move(source)));
  }
  void Run(std::unique_ptr<SettingsWindow> window) {
    dialog.settings_ = std::move(window);
    if (dialog.settings_->File()) {
      ConnectDialog* owner = &dialog;
      dialog.settings_->SetApplyHandler([owner] { owner->ApplyToScanner(); });
    }
    if (dialog.modal_) {
      dialog.settings_->RunModal(dialog.window_);
      dialog.settings_.reset();
    } else {
      dialog.settings_->Create(dialog.window_);
    }
  }
  void OpenChooser(const std::vector<app::ScannerChoice>& choices) override {
    dialog.chooser_ = std::make_unique<ChooserDialog>(dialog.instance_, choices);
    ConnectDialog* owner = &dialog;
    if (dialog.modal_) {
      const int row = dialog.chooser_->RunModal(dialog.window_);
      const std::vector<app::ScannerChoice> shown = dialog.chooser_->Choices();
      dialog.chooser_.reset();
      if (row >= 0 && row < static_cast<int>(shown.size())) {
        Window window(*owner);
        app::ConnectChosen(window, shown[static_cast<size_t>(row)]);
      }
    } else {
      // The chooser has closed when it calls back; it stays until the next
      // connect.
      dialog.chooser_->Create(dialog.window_, [owner](const app::ScannerChoice& choice) {
        Window window(*owner);
        app::ConnectChosen(window, choice);
      });
    }
  }

 private:
  ConnectDialog& dialog;
};

app::ConnectOutcome ConnectDialog::Connect() {
  chooser_.reset();
  applying_ = false;
  Window window(*this);
  return app::RunConnect(window);
}

app::ConnectOutcome ConnectDialog::OpenProfile() {
  const std::optional<app::ChosenFile> file =
      (fileChooser_ ? *fileChooser_ : files_).Choose(app::FileChoice::kOpen);
  if (!file) return app::ConnectOutcome::kNoDevice;
  return OpenFile(*file);
}

app::ConnectOutcome ConnectDialog::OpenFile(const app::ChosenFile& file) {
  chooser_.reset();
  applying_ = false;
  Window window(*this);
  return app::OpenProfile(window, file);
}

app::ConnectOutcome ConnectDialog::ApplyToScanner() {
  if (!settings_ || !settings_->File()) return app::ConnectOutcome::kNoDevice;
  chooser_.reset();
  applying_ = true;
  Window window(*this);
  const app::ConnectOutcome outcome = app::RunConnect(window);
  // A chooser keeps the connect going until it closes.
  if (outcome != app::ConnectOutcome::kChoosing) applying_ = false;
  return outcome;
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
      if (!startFile_.path.empty()) PostMessageW(window_, kOpenStartFile, 0, 0);
      return FocusOnOpening(window_, res::kConnectTemplateId);
    case kOpenStartFile: {
      const app::ChosenFile file = startFile_;
      startFile_ = app::ChosenFile();
      OpenFile(file);
      return TRUE;
    }
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
        case res::kConnectOpenButton:
          if (HIWORD(wParam) == BN_CLICKED) OpenProfile();
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
