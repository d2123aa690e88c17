#include "ui/pages/connect_message.h"

#include "res/i18n/catalogue.h"
#include "res/strings.h"

namespace lumiq::ui {

namespace {

// The line for `cause`, or nullptr when there is nothing more to say.
const char* CauseLine(OpenFailure cause) {
  switch (cause) {
    case OpenFailure::kNotFound:
      return "原因：未找到设备。";
    case OpenFailure::kPermissionDenied:
#ifdef __linux__
      // Without the rule the kernel's node is root's alone.
      return "原因：没有打开设备的权限，请将 udev 规则 packaging/70-lumiq-scanner.rules "
             "安装到 /etc/udev/rules.d/ 后重新插入设备。";
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
