#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& SettingsTemplate() {
  static const DialogTemplate dialog{
      kSettingsTemplateId, kAppCaption, 368, 279, "System", 10, false,
      {
          {kSettingsTabControl, ControlKind::kTabControl, "Tab1", {7, 11, 354, 247}, kBorder, {}},
          // "退出" comes first in keyboard order. Neither button is a default
          // button: Enter inside a page must never save or end the window.
          {kSettingsExitButton, ControlKind::kPushButton, "退出", {237, 258, 50, 14}, kTabStop, {}},
          {kSettingsSaveButton, ControlKind::kPushButton, "保存", {17, 258, 50, 14}, kTabStop, {}},
          // Configuration files, between "保存" and "退出" and after them in
          // keyboard order.
          {kSettingsImportButton, ControlKind::kPushButton, "导入配置...", {87, 258, 60, 14},
           kTabStop, {}},
          {kSettingsExportButton, ControlKind::kPushButton, "导出配置...", {157, 258, 60, 14},
           kTabStop, {}},
          // Writes nothing: shows what the scanner sends under the settings shown.
          {kSettingsTestScanButton, ControlKind::kPushButton, "扫描测试...", {297, 258, 60, 14},
           kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
