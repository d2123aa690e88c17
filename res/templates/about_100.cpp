#include "res/ids/app_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& AboutTemplate() {
  static const DialogTemplate dialog{
      kAboutTemplateId, "关于 LumiqConfigTool", 235, 55, "宋体", 9, false,
      {
          // A static icon takes the icon's own size; the rect only places it.
          {kNoId, ControlKind::kIcon, "", {11, 17, 20, 20}, kStyleNone, {}},
          {kNoId, ControlKind::kLabel, "LumiqConfigTool 1.0 版", {40, 10, 119, 8}, kStyleNone, {}},
          {kNoId, ControlKind::kLabel, "版权所有 (C) 2016 Lumiq 开发组", {40, 25, 119, 8}, kStyleNone, {}},
          {kNoId, ControlKind::kLabel, "www.example.com", {41, 37, 75, 8}, kStyleNone, {}},
          {kAboutOkButton, ControlKind::kPushButton, "确定", {178, 7, 50, 14},
           kGroupStart | kTabStop | kDefaultButton, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
