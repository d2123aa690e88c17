#pragma once

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

// The scanner's output channel (serial port, HID keyboard, Wi-Fi or
// Bluetooth) and that channel's parameters. The page cannot switch channels:
// it shows the one the scanner reports and writes the same one back.
class OutputMethodPage {
 public:
  static constexpr int kTemplateId = 133;
  static void Load(PageControls& controls, SettingReader& reader);
  // Save step S2.
  static void StoreS2(const PageControls& controls, SettingWriter& writer);
};

}  // namespace lumiq::ui
