#pragma once

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

class VersionPage {
 public:
  static constexpr int kTemplateId = 137;
  static void Load(PageControls& controls, SettingReader& reader);
  static void StoreS6(const PageControls& controls, SettingWriter& writer);
};

}  // namespace lumiq::ui
