#include "ui/win32/about_dialog.h"

#include "res/ids/app_ids.h"
#include "ui/win32/dialog_builder.h"
#include "ui/win32/opening_focus.h"
#include "ui/win32/window_attach.h"

namespace lumiq::ui::win32 {

namespace {

INT_PTR CALLBACK AboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return FocusOnOpening(window, res::kAboutTemplateId);
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

}  // namespace

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

}  // namespace lumiq::ui::win32
