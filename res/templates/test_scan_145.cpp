#include "res/ids/app_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

// Opened by "扫描测试...": what the scanner sends, scan by scan, against what
// the settings shown make it put around a code or a card. The texts come
// from the window; the list holds one row per scan, the second list the
// selected scan's text, hex and key timing.
const DialogTemplate& TestScanTemplate() {
  static const DialogTemplate dialog{
      kTestScanTemplateId, "扫描测试", 320, 242, "微软雅黑", 10, false,
      {
          {kTestScanChannelText, ControlKind::kLabel, "", {7, 7, 306, 18}, kStyleNone, {}},
          {kTestScanPortLabel, ControlKind::kLabel, "串口", {7, 30, 30, 8}, kGroupStart, {}},
          {kTestScanPortCombo, ControlKind::kComboBox, "", {40, 28, 110, 80},
           kGroupStart | kTabStop, {}},
          {kTestScanPortStatus, ControlKind::kLabel, "", {156, 30, 157, 8}, kGroupStart, {}},
          {kTestScanCodeFraming, ControlKind::kLabel, "", {7, 45, 306, 8}, kGroupStart, {}},
          {kTestScanCardFraming, ControlKind::kLabel, "", {7, 56, 306, 8}, kGroupStart, {}},
          {kTestScanTiming, ControlKind::kLabel, "", {7, 67, 306, 8}, kGroupStart, {}},
          {kTestScanList, ControlKind::kListBox, "", {7, 80, 306, 100},
           kGroupStart | kBorder | kTabStop, {}},
          {kTestScanDetails, ControlKind::kListBox, "", {7, 184, 306, 36},
           kGroupStart | kBorder | kTabStop, {}},
          {kTestScanCloseButton, ControlKind::kPushButton, "关闭", {263, 224, 50, 14},
           kGroupStart | kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
