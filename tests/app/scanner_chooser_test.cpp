// "连接设备" with several scanners plugged in: when the chooser comes up,
// what its rows say and in which order, and what choosing one connects.

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "link/hid_transport.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "ui/app/connect_flow.h"

namespace lumiq::ui::app {
namespace {

using Lines = std::vector<std::string>;

class ChoosingWindow final : public ConnectWindow {
 public:
  void DropSettings() override { steps.push_back("drop"); }
  void ShowMessage(const std::string& utf8) override { steps.push_back(utf8); }
  void OpenSettings() override { steps.push_back("open"); }
  void OpenSettingsOn(std::unique_ptr<DocumentSource>) override { steps.push_back("open file"); }
  void OpenChooser(const std::vector<ScannerChoice>& shown) override {
    steps.push_back("chooser");
    choices = shown;
  }
  Lines Rows() const {
    Lines rows;
    for (const ScannerChoice& choice : choices) rows.push_back(choice.text);
    return rows;
  }
  Lines steps;
  std::vector<ScannerChoice> choices;
};

Lines TraceOf(const sim::SimulatedScanner& scanner) {
  Lines lines;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

// Three scanners, added in an order that is not the ports' order: "1-10"
// must follow "1-9" as a number, and come before the second bus.
class ScannerChooserTest : public ::testing::Test {
 protected:
  ScannerChooserTest() {
    const std::array<const char*, 3> numbers = {"A-10", "A-9", "B-0"};
    for (size_t i = 0; i < scanners_.size(); ++i) {
      scanners_[i].Set("masterver", "V2.0." + std::to_string(i));
      scanners_[i].Set("deviceno", numbers[i]);
    }
    platform_.AddScanner(&scanners_[0], "1-10");
    platform_.AddScanner(&scanners_[1], "1-9");
    platform_.AddScanner(&scanners_[2], "2-1");
  }
  void ClearTraces() {
    for (sim::SimulatedScanner& scanner : scanners_) scanner.ClearReceived();
  }

  std::array<sim::SimulatedScanner, 3> scanners_;
  sim::SimPlatform platform_;
  sim::PluggedPlatform plugged_{&platform_};
  ChoosingWindow window_;
};

TEST_F(ScannerChooserTest, SeveralScannersAreListedByPortWithWhatEachOneIsAndNoneStaysOpen) {
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kChoosing);
  EXPECT_EQ(window_.steps, (Lines{"drop", "chooser"}));
  EXPECT_EQ(window_.Rows(), (Lines{"端口 1-9  设备号 A-9  固件版本 V2.0.1",
                                   "端口 1-10  设备号 A-10  固件版本 V2.0.0",
                                   "端口 2-1  设备号 B-0  固件版本 V2.0.2"}));
  EXPECT_EQ(window_.choices[0].path, sim::SimPlatform::PathOf(1, 1));
  // Each one read with a handshake and two gets, then let go.
  for (const sim::SimulatedScanner& scanner : scanners_) {
    EXPECT_EQ(TraceOf(scanner), (Lines{"HANDSHAKE", "GET deviceno", "GET masterver"}));
    EXPECT_FALSE(scanner.IsHeld());
  }
  EXPECT_FALSE(IsDeviceOpen());

  // The choice connects that scanner alone, with the one-scanner messages.
  ClearTraces();
  window_.steps.clear();
  EXPECT_EQ(ConnectChosen(window_, window_.choices[1]), ConnectOutcome::kConnected);
  EXPECT_EQ(window_.steps, (Lines{"连接设备成功!", "open"}));
  EXPECT_EQ(TraceOf(scanners_[0]), (Lines{"HANDSHAKE", "GET masterver"}));
  EXPECT_TRUE(TraceOf(scanners_[1]).empty());
  EXPECT_TRUE(scanners_[0].IsHeld());
}

TEST_F(ScannerChooserTest, AConnectedScannerIsGivenUpSoThatItsRowReadsAgain) {
  RunConnect(window_);
  ASSERT_EQ(ConnectChosen(window_, window_.choices[0]), ConnectOutcome::kConnected);
  ASSERT_TRUE(scanners_[1].IsHeld());
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kChoosing);
  EXPECT_EQ(window_.Rows()[0], "端口 1-9  设备号 A-9  固件版本 V2.0.1");
  EXPECT_FALSE(IsDeviceOpen());
}

TEST_F(ScannerChooserTest, RowsSayWhyAScannerCannotBeRead) {
  sim::SimPlatform otherProgram;
  otherProgram.AddScanner(&scanners_[1]);
  HidLink held(otherProgram);
  ASSERT_EQ(held.OpenHandles(sim::SimPlatform::PathOf(0, 1).c_str()), 0);
  scanners_[0].Faults().silentFrom = 1;
  scanners_[2].Faults().refusedKeys = {"deviceno"};
  scanners_[2].Set("masterver", "");

  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kChoosing);
  EXPECT_EQ(window_.Rows(), (Lines{"端口 1-9  正被另一个程序使用", "端口 1-10  设备没有应答",
                                   "端口 2-1  设备号 (未读出)  固件版本 (空)"}));
  EXPECT_TRUE(TraceOf(scanners_[1]).empty());

  // Choosing the held one fails as a single held scanner does.
  window_.steps.clear();
  EXPECT_EQ(ConnectChosen(window_, window_.choices[0]), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window_.steps,
            (Lines{"连接设备失败，请检查设备是否插入或重试!\n原因：设备正被另一个程序使用。"}));

  platform_.SetAccessDenied(true);
  RunConnect(window_);
  EXPECT_EQ(window_.Rows()[1], "端口 1-10  无权访问");
}

TEST_F(ScannerChooserTest, AScannerUnpluggedBeforeItIsChosenFailsAndOneLeftNeedsNoChooser) {
  RunConnect(window_);
  scanners_[1].Unplug();
  window_.steps.clear();
  EXPECT_EQ(ConnectChosen(window_, window_.choices[0]), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window_.steps, (Lines{"连接设备失败，请检查设备是否插入或重试!\n原因：未找到设备。"}));

  // Two left: the chooser; one left: straight to it, as ever.
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kChoosing);
  EXPECT_EQ(window_.choices.size(), 2u);
  scanners_[2].Unplug();
  ClearTraces();
  window_.steps.clear();
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kConnected);
  EXPECT_EQ(window_.steps, (Lines{"drop", "连接设备成功!", "open"}));
  EXPECT_EQ(TraceOf(scanners_[0]), (Lines{"HANDSHAKE", "GET masterver"}));

  // Plugged in again it is a new device: a chooser again, and it answers.
  scanners_[1].Plug();
  EXPECT_EQ(RunConnect(window_), ConnectOutcome::kChoosing);
  EXPECT_EQ(window_.Rows()[0], "端口 1-9  设备号 A-9  固件版本 V2.0.1");
}

}  // namespace
}  // namespace lumiq::ui::app
