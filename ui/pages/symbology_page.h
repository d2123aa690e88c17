#pragma once

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

class SymbologyPage {
 public:
  static constexpr int kTemplateId = 130;
  static void Load(PageControls& controls, SettingReader& reader);
  static void StoreS1(const PageControls& controls, SettingWriter& writer);
};

}  // namespace lumiq::ui
