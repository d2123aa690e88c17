#include "ui/pages/connect_message.h"

#include <string_view>

#include "res/i18n/catalogue.h"
#include "res/strings.h"
#include "res/udev_rule.h"

namespace lumiq::ui {

namespace {

#ifdef __linux__
constexpr char kDeniedLinePackage[] =
    "原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules "
    "只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，"
    "请在本机登录后使用或以 root 运行。";
constexpr char kDeniedLineSourceBuild[] =
    "原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules "
    "只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，"
    "请在本机登录后使用或以 root 运行；从源码构建时，请将 packaging/70-lumiq-scanner.rules "
    "复制到 /etc/udev/rules.d/ 后重新插入设备。";
// The rule's paths are spelled out above; they must stay the ones zrctl
// names.
static_assert(std::string_view(kDeniedLinePackage).find(LUMIQ_PACKAGED_UDEV_RULE " ") !=
              std::string_view::npos);
static_assert(std::string_view(kDeniedLineSourceBuild).find(" " LUMIQ_SOURCE_UDEV_RULE " ") !=
              std::string_view::npos);
#endif

// The line for `cause`, or nullptr when there is nothing more to say.
const char* CauseLine(OpenFailure cause) {
  switch (cause) {
    case OpenFailure::kNotFound:
      return "原因：未找到设备。";
    case OpenFailure::kPermissionDenied:
#ifdef __linux__
      // Without the rule the kernel's node is root's alone; with it, only
      // the session at the seat gets the node (uaccess). Whole literals, so
      // that each is one catalogue entry.
      return res::kSourceBuild ? kDeniedLineSourceBuild : kDeniedLinePackage;
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
