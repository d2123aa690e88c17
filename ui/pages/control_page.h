#pragma once

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

// Beep, red flash and reboot light, work mode and interval, the NFC reader
// with its byte range and formats, content formats, develop mode and engine.
// The controls are the page's whole state.
class ControlPage {
 public:
  static constexpr int kTemplateId = 131;
  // Reads 13 settings, 14 when the NFC reader is on.
  static void Load(PageControls& controls, SettingReader& reader);
  // Save step S4.
  static void StoreS4(const PageControls& controls, SettingWriter& writer);
  // Save step S7.
  static void StoreS7(const PageControls& controls, SettingWriter& writer);
};

}  // namespace lumiq::ui
