#include "res/ids/app_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

// Shown by "连接设备" when more than one scanner is plugged in: one row per
// scanner, filled in by the connect flow.
const DialogTemplate& ChooserTemplate() {
  static const DialogTemplate dialog{
      kChooserTemplateId, "选择设备", 300, 140, "微软雅黑", 10, false,
      {
          {kNoId, ControlKind::kLabel, "检测到多台设备，请选择要连接的设备:", {7, 7, 286, 10},
           kStyleNone, {}},
          {kChooserList, ControlKind::kListBox, "", {7, 20, 286, 94}, kBorder | kTabStop, {}},
          {kChooserOkButton, ControlKind::kPushButton, "确定", {176, 120, 50, 14},
           kGroupStart | kTabStop | kDefaultButton, {}},
          {kChooserCancelButton, ControlKind::kPushButton, "取消", {236, 120, 50, 14}, kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
