#include "ui/win32/chooser_dialog.h"

#include <utility>

#include "res/ids/app_ids.h"
#include "ui/win32/opening_focus.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_attach.h"

namespace lumiq::ui::win32 {

ChooserDialog::ChooserDialog(HINSTANCE instance, std::vector<app::ScannerChoice> choices)
    : instance_(instance),
      choices_(std::move(choices)),
      template_(BuildTemplate(TemplateOf(res::kChooserTemplateId))) {}

ChooserDialog::~ChooserDialog() {
  if (window_ && !modal_) DestroyWindow(window_);
}

int ChooserDialog::RunModal(HWND owner) {
  modal_ = true;
  const INT_PTR row = DialogBoxIndirectParamW(instance_, template_.Get(), owner, Procedure,
                                              reinterpret_cast<LPARAM>(this));
  modal_ = false;
  window_ = nullptr;
  return static_cast<int>(row);
}

bool ChooserDialog::Create(HWND owner, Chosen chosen) {
  chosen_ = std::move(chosen);
  window_ = CreateDialogIndirectParamW(instance_, template_.Get(), owner, Procedure,
                                       reinterpret_cast<LPARAM>(this));
  if (window_) ShowWindow(window_, SW_SHOWNORMAL);
  return window_ != nullptr;
}

HWND ChooserDialog::List() const { return window_ ? GetDlgItem(window_, res::kChooserList) : nullptr; }

std::vector<std::string> ChooserDialog::Rows() const {
  std::vector<std::string> rows;
  HWND list = List();
  if (!list) return rows;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length < 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    rows.push_back(WideToUtf8(text));
  }
  return rows;
}

INT_PTR CALLBACK ChooserDialog::Procedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  ChooserDialog* self = Attached<ChooserDialog>(window, message, lParam);
  if (!self) return FALSE;
  if (message == WM_INITDIALOG) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

void ChooserDialog::Initialise() {
  HWND list = List();
  for (const app::ScannerChoice& choice : choices_) {
    const std::wstring text = Utf8ToWide(choice.text);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void ChooserDialog::End(int row) {
  if (modal_) {
    EndDialog(window_, row);
    return;
  }
  DestroyWindow(window_);
  if (row >= 0 && chosen_) chosen_(choices_[static_cast<size_t>(row)]);
}

INT_PTR ChooserDialog::Handle(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      return FocusOnOpening(window_, res::kChooserTemplateId);
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const bool chosen = id == res::kChooserOkButton ||
                          (id == res::kChooserList && HIWORD(wParam) == LBN_DBLCLK);
      if (chosen) {
        const LRESULT row = SendMessageW(List(), LB_GETCURSEL, 0, 0);
        if (row >= 0 && row < static_cast<LRESULT>(choices_.size())) End(static_cast<int>(row));
        return TRUE;
      }
      if (id == res::kChooserCancelButton) {  // also Escape
        End(-1);
        return TRUE;
      }
      break;
    }
    case WM_DESTROY:
      window_ = nullptr;
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace lumiq::ui::win32
