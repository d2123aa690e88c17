#include "res/ids/version_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& VersionTemplate() {
  using namespace version;
  constexpr uint32_t kEditStyle = kBorder | kAutoHScroll | kTabStop;
  // The firmware version is disabled, not read-only: it is shown greyed and
  // cannot even be selected.
  static const DialogTemplate dialog{
      kTemplateId, "", 211, 145, "System", 10, true,
      {
          {kNoId, ControlKind::kLabel, "版本信息", {25, 16, 33, 8}, kGroupStart, {}},
          {kFirmwareVersion, ControlKind::kEdit, "", {66, 14, 94, 14}, kEditStyle | kDisabled, {}},
          {kNoId, ControlKind::kLabel, "设备号", {30, 40, 25, 8}, kGroupStart, {}},
          {kDeviceNumber, ControlKind::kEdit, "", {66, 38, 94, 14}, kEditStyle, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
