#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "res/templates/templates.h"

namespace lumiq::res {

// The buttons share one row under the tab control. The keyboard visits
// them in screen order (the access layout), left to right: what the window
// holds goes somewhere ("保存", the files, "应用到设备..."), then "退出" and
// "扫描测试...". Neither "保存" nor "退出" is a default button: Enter inside
// a page must never save or end the window.
const DialogTemplate& SettingsTemplate() {
  static const DialogTemplate dialog{
      kSettingsTemplateId, kAppCaption, 368, 279, "System", 10, false,
      {
          {kSettingsTabControl, ControlKind::kTabControl, "Tab1", {7, 11, 354, 247}, kBorder, {}},
          {kSettingsExitButton, ControlKind::kPushButton, "退出", {249, 258, 46, 14}, kTabStop, {}},
          {kSettingsSaveButton, ControlKind::kPushButton, "保存", {7, 258, 46, 14}, kTabStop, {}},
          {kSettingsImportButton, ControlKind::kPushButton, "导入配置...", {57, 258, 54, 14},
           kTabStop, {}},
          {kSettingsExportButton, ControlKind::kPushButton, "导出配置...", {115, 258, 54, 14},
           kTabStop, {}},
          // A profile file's window only: connect, keeping the file's values.
          {kSettingsApplyButton, ControlKind::kPushButton, "应用到设备...", {173, 258, 64, 14},
           kTabStop, {}},
          // Writes nothing: shows what the scanner sends under the settings shown.
          {kSettingsTestScanButton, ControlKind::kPushButton, "扫描测试...", {299, 258, 62, 14},
           kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
