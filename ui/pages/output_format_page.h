#pragma once

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

class OutputFormatPage {
 public:
  static constexpr int kTemplateId = 132;
  static void Load(PageControls& controls, SettingReader& reader);
  static void StoreS3(const PageControls& controls, SettingWriter& writer);
  static void StoreS5(const PageControls& controls, SettingWriter& writer);
  static void StoreS8(const PageControls& controls, SettingWriter& writer);
};

}  // namespace lumiq::ui
