#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& ConnectTemplate() {
  static const DialogTemplate dialog{
      kConnectTemplateId, kAppCaption, 320, 200, "微软雅黑", 10, false,
      {
          // The connect button is the dialog's OK, so Enter connects.
          {kConnectButton, ControlKind::kPushButton, "连接设备", {43, 159, 50, 12},
           kTabStop | kDefaultButton, {}},
          {kConnectOpenButton, ControlKind::kPushButton, "打开配置文件...", {103, 159, 76, 12},
           kTabStop, {}},
          {kConnectExitButton, ControlKind::kPushButton, "退出", {189, 158, 52, 13}, kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
