#include "res/ids/app_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

// Opened by "更改输出方式...": the channel the scanner is to output on.
const DialogTemplate& ChannelChooserTemplate() {
  static const DialogTemplate dialog{
      kChannelChooserTemplateId, "更改输出方式", 170, 100, "微软雅黑", 10, false,
      {
          {kNoId, ControlKind::kLabel, "选择扫描器的输出方式：", {7, 7, 156, 10}, kStyleNone, {}},
          {1064, ControlKind::kRadioButton, "COM输出", {14, 20, 140, 10}, kGroupStart | kTabStop,
           {}},
          {1066, ControlKind::kRadioButton, "HID模拟键盘输出", {14, 32, 140, 10}, kStyleNone, {}},
          {1147, ControlKind::kRadioButton, "WIFI输出", {14, 44, 140, 10}, kStyleNone, {}},
          {1148, ControlKind::kRadioButton, "蓝牙输出", {14, 56, 140, 10}, kStyleNone, {}},
          {kChannelChooserOkButton, ControlKind::kPushButton, "确定", {56, 78, 50, 14},
           kGroupStart | kTabStop | kDefaultButton, {}},
          {kChannelChooserCancelButton, ControlKind::kPushButton, "取消", {113, 78, 50, 14},
           kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
