#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "ui/pages/loaded_texts.h"
#include "ui/pages/page_controls.h"
#include "ui/qt/dialog_builder.h"

class QWidget;

namespace lumiq::ui::qt {

// A page's controls as the page logic sees them, over the widgets the
// builder made from its template.
// Texts become GBK bytes here and nowhere else (LoadedTexts keeps what
// a control was loaded with); an edited text GBK cannot hold is not sent.
class QtPageControls : public PageControls {
 public:
  explicit QtPageControls(BuiltDialog built);

  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::optional<std::string> Text(int id) const override;
  void SetText(int id, std::string_view bytes) override;
  bool IsShown(int id) const override;
  void SetShown(int id, bool shown) override;
  bool IsEnabled(int id) const override;

  const BuiltDialog& Built() const { return built_; }
  QWidget* Widget(int id) const { return built_.Find(id); }
  int TemplateId() const { return built_.dialog->id; }

  // What the control shows, as the user sees it.
  static QString ScreenText(const QWidget* widget);

 private:
  QWidget* At(int id) const;

  BuiltDialog built_;
  LoadedTexts<QString> loaded_;
};

}  // namespace lumiq::ui::qt
