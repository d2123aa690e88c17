// The connect failure text: the fixed line first, then one line naming the
// cause where the link knows it.

#include <gtest/gtest.h>

#include <string>

#include "res/udev_rule.h"
#include "ui/pages/connect_message.h"

namespace lumiq::ui {
namespace {

TEST(ConnectFailedMessage, NamesTheCauseOnItsSecondLine) {
  const std::string first = "连接设备失败，请检查设备是否插入或重试!";
  EXPECT_EQ(ConnectFailedMessage(OpenFailure::kNotFound), first + "\n原因：未找到设备。");
  EXPECT_EQ(ConnectFailedMessage(OpenFailure::kInUse), first + "\n原因：设备正被另一个程序使用。");
  EXPECT_EQ(ConnectFailedMessage(OpenFailure::kNoAnswer), first + "\n原因：设备没有应答。");
  const std::string denied = ConnectFailedMessage(OpenFailure::kPermissionDenied);
  EXPECT_EQ(denied.rfind(first + "\n原因：没有打开设备的权限", 0), 0u);
  EXPECT_EQ(denied.find('\n', first.size() + 1), std::string::npos) << "one line for the cause";
#ifdef __linux__
  // Where the package put the rule, and who it lets in: a user on ssh must
  // learn that the rule is there and why it still refuses them.
  EXPECT_NE(denied.find("/usr/lib/udev/rules.d/70-lumiq-scanner.rules"), std::string::npos);
  EXPECT_NE(denied.find("ssh 会话和其他用户会被拒绝"), std::string::npos);
  // The source tree's copy only where there is a source tree.
  EXPECT_EQ(denied.find(" packaging/70-lumiq-scanner.rules") != std::string::npos,
            res::kSourceBuild);
#endif
  // Nothing known, nothing added.
  EXPECT_EQ(ConnectFailedMessage(OpenFailure::kUnknown), first);
}

}  // namespace
}  // namespace lumiq::ui
