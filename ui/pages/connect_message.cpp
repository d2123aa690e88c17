#include "ui/pages/connect_message.h"

#include "res/i18n/catalogue.h"
#include "res/strings.h"
#include "res/udev_rule.h"

namespace lumiq::ui {

namespace {

// The line for `cause`, or nullptr when there is nothing more to say.
const char* CauseLine(OpenFailure cause) {
  switch (cause) {
    case OpenFailure::kNotFound:
      return "原因：未找到设备。";
    case OpenFailure::kPermissionDenied:
#ifdef __linux__
      // Without the rule the kernel's node is root's alone; with it, only
      // the session at the seat gets the node (uaccess).
#define LUMIQ_DENIED_LINE                                                          \
  "原因：没有打开设备的权限。软件包的 udev 规则 " LUMIQ_PACKAGED_UDEV_RULE           \
  " 只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，" \
  "请在本机登录后使用或以 root 运行"
      return res::kSourceBuild ? LUMIQ_DENIED_LINE "；从源码构建时，请将 " LUMIQ_SOURCE_UDEV_RULE
                                                   " 复制到 /etc/udev/rules.d/ 后重新插入设备。"
                               : LUMIQ_DENIED_LINE "。";
#undef LUMIQ_DENIED_LINE
#else
      return "原因：没有打开设备的权限。";
#endif
    case OpenFailure::kInUse:
      return "原因：设备正被另一个程序使用。";
    case OpenFailure::kNoAnswer:
      return "原因：设备没有应答。";
    default:
      return nullptr;
  }
}

}  // namespace

std::string ConnectFailedMessage(OpenFailure cause) {
  std::string message = i18n::Tr(res::kConnectFailedText);
  if (const char* line = CauseLine(cause)) {
    message += '\n';
    message += i18n::Tr(line);
  }
  return message;
}

}  // namespace lumiq::ui
