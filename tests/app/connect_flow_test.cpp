// "连接设备" as both bindings' connect dialogs run it.

#include "ui/app/connect_flow.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "link/hid_transport.h"
#include "sim/sim_platform.h"
#include "tests/support/demo_scanner_rig.h"

namespace lumiq::ui::app {
namespace {

using Lines = std::vector<std::string>;

const std::string kConnectFailed = "连接设备失败，请检查设备是否插入或重试!";
const std::string kNotFoundLine = "\n原因：未找到设备。";
const std::string kNoAnswerLine = "\n原因：设备没有应答。";
const std::string kInUseLine = "\n原因：设备正被另一个程序使用。";
const std::string kVersionFailed = "获取设备版本信息失败，请检查设备是否插入或重试!";
const std::string kConnected = "连接设备成功!";

// What the dialog did, in order: "drop", "open" and the messages.
class RecordingWindow final : public ConnectWindow {
 public:
  void DropSettings() override {
    steps.push_back("drop");
    settingsOpen = false;
  }
  void ShowMessage(const std::string& utf8) override {
    steps.push_back(utf8);
    messages.push_back(utf8);
  }
  void OpenSettings() override {
    steps.push_back("open");
    settingsOpen = true;
  }
  void OpenSettingsOn(std::unique_ptr<DocumentSource> source) override {
    steps.push_back("open file");
    settingsOpen = true;
    document = std::move(source);
  }
  Lines steps;
  std::unique_ptr<DocumentSource> document;
  Lines messages;
  bool settingsOpen = false;
};

class ConnectFlowTest : public ::testing::Test {
 protected:
  test::UiScanner rig_;
  RecordingWindow window_;
};

TEST_F(ConnectFlowTest, NoScannerFailsWithItsCauseAndOpensNothing) {
  rig_.platform().noDevices = true;
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window_.steps, (Lines{"drop", kConnectFailed + kNotFoundLine}));
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_FALSE(IsDeviceOpen());
}

TEST_F(ConnectFlowTest, NoScannerLeavesTheLinkOfAnEarlierConnect) {
  ASSERT_EQ(RunConnect(window_), ConnectOutcome::kConnected);
  rig_.platform().noDevices = true;
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoDevice);
  EXPECT_TRUE(IsDeviceOpen());
}

TEST_F(ConnectFlowTest, SilentScannerFailsTheHandshakeAndLeavesNoLink) {
  rig_.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window_.messages, Lines{kConnectFailed + kNoAnswerLine});
  EXPECT_EQ(rig_.Trace(), Lines{"HANDSHAKE"});
  EXPECT_FALSE(IsDeviceOpen());
}

TEST_F(ConnectFlowTest, ScannerHeldByAnotherProgramFailsWithThatCauseAndSendsNothing) {
  sim::SimPlatform otherProgram;
  otherProgram.AddScanner(&rig_.scanner());
  HidLink held(otherProgram);
  ASSERT_EQ(held.OpenHandles(sim::SimPlatform::PathOf(0, 1).c_str()), 0);
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window_.messages, Lines{kConnectFailed + kInUseLine});
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_FALSE(IsDeviceOpen());
}

TEST_F(ConnectFlowTest, UnansweredVersionKeepsTheLinkAndOpensNoWindow) {
  rig_.scanner().Faults().refusedKeys = {"masterver"};
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoVersion);
  EXPECT_EQ(window_.messages, Lines{kVersionFailed});
  EXPECT_EQ(rig_.Trace(), (Lines{"HANDSHAKE", "GET masterver"}));
  EXPECT_TRUE(IsDeviceOpen());
  EXPECT_FALSE(window_.settingsOpen);

  // Silent from the version request on: the same.
  rig_.scanner().Faults().refusedKeys.clear();
  rig_.scanner().Faults().silentFrom = rig_.scanner().CommandCount() + 2;
  rig_.ClearTrace();
  window_.messages.clear();
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoVersion);
  EXPECT_EQ(window_.messages, Lines{kVersionFailed});
  EXPECT_EQ(rig_.Trace(), (Lines{"HANDSHAKE", "GET masterver"}));
  EXPECT_TRUE(IsDeviceOpen());
}

TEST_F(ConnectFlowTest, AnEmptyVersionIsAFailedVersionRead) {
  rig_.scanner().Set("masterver", "");
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kNoVersion);
  EXPECT_EQ(window_.messages, Lines{kVersionFailed});
}

// The old window goes before anything is sent, the message shows before the
// new window opens, and each press starts over from discovery.
TEST_F(ConnectFlowTest, EveryConnectDropsTheOldWindowFirstAndStartsOverFromDiscovery) {
  rig_.scanner().Faults().silentFrom = 2;
  ASSERT_EQ(RunConnect(window_), ConnectOutcome::kNoVersion);
  rig_.scanner().Faults().silentFrom = 0;
  rig_.ClearTrace();
  window_.steps.clear();
  ASSERT_EQ(RunConnect(window_), ConnectOutcome::kConnected);
  EXPECT_EQ(window_.steps, (Lines{"drop", kConnected, "open"}));
  EXPECT_EQ(rig_.platform().discoveries, 2);
  EXPECT_EQ(rig_.Trace(), (Lines{"HANDSHAKE", "GET masterver"}));

  window_.steps.clear();
  ASSERT_EQ(RunConnect(window_), ConnectOutcome::kConnected);
  EXPECT_EQ(window_.steps, (Lines{"drop", kConnected, "open"}));
  EXPECT_EQ(rig_.platform().discoveries, 3);
}

}  // namespace
}  // namespace lumiq::ui::app
