#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "res/dialog_template.h"
#include "ui/pages/loaded_texts.h"
#include "ui/pages/page_controls.h"

namespace lumiq::ui::win32 {

// A page's controls as the page logic sees them, over the child windows of
// the page dialog.
// Texts become GBK bytes here and nowhere else (LoadedTexts keeps what
// a control was loaded with); an edited text GBK cannot hold is not sent.
class Win32PageControls : public PageControls {
 public:
  Win32PageControls(HWND page, const res::DialogTemplate& tmpl) : page_(page), tmpl_(&tmpl) {}

  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::optional<std::string> Text(int id) const override;
  void SetText(int id, std::string_view bytes) override;
  bool IsShown(int id) const override;
  void SetShown(int id, bool shown) override;
  bool IsEnabled(int id) const override;

  HWND Page() const { return page_; }
  HWND Control(int id) const { return GetDlgItem(page_, id); }
  int TemplateId() const { return tmpl_->id; }

  // What a control shows, as the user sees it.
  static std::wstring ScreenText(HWND control);

 private:
  HWND page_;
  const res::DialogTemplate* tmpl_;
  LoadedTexts<std::wstring> loaded_;
};

}  // namespace lumiq::ui::win32
