#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/pages/page_controls.h"

namespace lumiq::ui {

// Controls that keep nothing, as a template leaves them: a page's Load only
// sets controls, so what it reads does not depend on them, and a page given
// these stores what an untouched page would.
class BlankControls final : public PageControls {
 public:
  bool IsChecked(int) const override { return false; }
  void SetChecked(int, bool) override {}
  std::optional<std::string> Text(int) const override { return std::string(); }
  void SetText(int, std::string_view) override {}
  bool IsShown(int) const override { return true; }
  void SetShown(int, bool) override {}
  bool IsEnabled(int) const override { return true; }
};

}  // namespace lumiq::ui
