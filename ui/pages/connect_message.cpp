#include "ui/pages/connect_message.h"

#include <string_view>

#include "res/i18n/catalogue.h"
#include "res/strings.h"
#include "res/udev_rule.h"

namespace lumiq::ui {

namespace {

#if defined(__EMSCRIPTEN__)
// In a browser the scanner is opened by the browser, as the user at the
// screen: on Linux that needs the same udev rule as the desktop tool. The
// line names the installed rule alone: every program's catalogue holds it,
// and a packaged program must not send anyone to a source tree.
constexpr char kWebDeniedLine[] =
    "原因：浏览器没有打开设备的权限。在 Linux 上需要 lumiq-zrctl 软件包的 udev 规则 "
    "/usr/lib/udev/rules.d/70-lumiq-scanner.rules，装好后重新插入设备，并在本机登录的会话中使用浏览器。";
static_assert(std::string_view(kWebDeniedLine).find(" " LUMIQ_PACKAGED_UDEV_RULE) !=
              std::string_view::npos);
#elif defined(__linux__)
// Without the rule the kernel's node is root's alone; with it, only the
// session at the seat gets the node (uaccess). A package has no source tree,
// so its binary must not even hold the source tree's path: the source build's
// line takes it as a part.
#ifdef LUMIQ_PACKAGE_BUILD
constexpr char kDeniedLine[] =
    "原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules "
    "只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，"
    "请在本机登录后使用或以 root 运行。";
#else
constexpr char kDeniedLine[] =
    "原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules "
    "只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，"
    "请在本机登录后使用或以 root 运行；从源码构建时，请将 %1 "
    "复制到 /etc/udev/rules.d/ 后重新插入设备。";
#endif
// The packaged rule's path is spelled out above; it must stay the one zrctl
// names.
static_assert(std::string_view(kDeniedLine).find(" " LUMIQ_PACKAGED_UDEV_RULE " ") !=
              std::string_view::npos);
#endif

// The line for `cause` in the current language, or empty when there is
// nothing more to say.
std::string CauseLine(OpenFailure cause) {
  switch (cause) {
    case OpenFailure::kNotFound:
      return i18n::Tr("原因：未找到设备。");
    case OpenFailure::kPermissionDenied:
#if defined(__EMSCRIPTEN__)
      return i18n::Tr(kWebDeniedLine);
#elif defined(__linux__)
#ifdef LUMIQ_PACKAGE_BUILD
      return i18n::Tr(kDeniedLine);
#else
      return i18n::TrFormat(kDeniedLine, {LUMIQ_SOURCE_UDEV_RULE});
#endif
#else
      return i18n::Tr("原因：没有打开设备的权限。");
#endif
    case OpenFailure::kInUse:
      return i18n::Tr("原因：设备正被另一个程序使用。");
    case OpenFailure::kNoAnswer:
      return i18n::Tr("原因：设备没有应答。");
    default:
      return {};
  }
}

}  // namespace

std::string ConnectFailedMessage(OpenFailure cause) {
  std::string message = i18n::Tr(res::kConnectFailedText);
  const std::string line = CauseLine(cause);
  if (!line.empty()) message += '\n' + line;
  return message;
}

}  // namespace lumiq::ui
