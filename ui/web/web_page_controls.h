#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/pages/loaded_texts.h"
#include "ui/pages/page_controls.h"

namespace lumiq::ui::web {

// A page's controls in the page's document, found by template and id (the
// element "c<template>_<id>" the script built). Texts become GBK bytes here
// and nowhere else; a value loaded and not edited goes back byte for byte.
class WebPageControls : public PageControls {
 public:
  explicit WebPageControls(int templateId) : templateId_(templateId) {}

  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::optional<std::string> Text(int id) const override;
  void SetText(int id, std::string_view bytes) override;
  bool IsShown(int id) const override;
  void SetShown(int id, bool shown) override;
  bool IsEnabled(int id) const override;

  int TemplateId() const { return templateId_; }
  // What the control shows (UTF-8), as the user sees it.
  std::string ScreenText(int id) const;

 private:
  int templateId_;
  LoadedTexts<std::string> loaded_;
};

}  // namespace lumiq::ui::web
