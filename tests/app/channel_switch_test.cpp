// "更改输出方式...": the pages rebuilt on the chosen channel, its parameters
// read from the scanner, nothing sent until Save, and the message saying
// what Save will change.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "res/ids/output_method_ids.h"
#include "tests/support/demo_scanner_rig.h"
#include "tests/support/fake_page_controls.h"
#include "ui/app/settings_session.h"

namespace lumiq::ui::app {
namespace {

namespace method = res::output_method;
using Lines = std::vector<std::string>;

class ChannelSwitchTest : public ::testing::Test {
 protected:
  ChannelSwitchTest() {
    EXPECT_EQ(OpenDevice(), 1);
    session_.Open(Pages());
    rig_.ClearTrace();
  }
  PagesByTab Pages() {
    test::FakeSettingsWindow& p = *pages_;
    return {&p.symbology, &p.outputMethod, &p.outputFormat, &p.control, &p.version};
  }
  std::optional<TransferResult> Switch(const std::string& output) {
    GivenChannelChooser chooser(output);
    return session_.SwitchChannel(Pages(), chooser, [this] {
      pages_ = std::make_unique<test::FakeSettingsWindow>();
      ++rebuilds_;
      return Pages();
    });
  }

  test::UiScanner rig_;
  std::unique_ptr<test::FakeSettingsWindow> pages_ = std::make_unique<test::FakeSettingsWindow>();
  SettingsSession session_;
  int rebuilds_ = 0;
};

TEST_F(ChannelSwitchTest, SwitchingReadsTheChannelAndSendsNothingUntilSave) {
  pages_->version.Type(1103, "NO-7");  // an edit elsewhere survives the rebuild
  const auto result = Switch("com1");
  ASSERT_TRUE(result);
  EXPECT_EQ(rebuilds_, 1);
  EXPECT_TRUE(pages_->outputMethod.IsChecked(method::kComOutput));
  EXPECT_FALSE(pages_->outputMethod.IsShown(method::kWifiOutput));
  EXPECT_EQ(pages_->outputMethod.Text(method::kBaudRateCombo), "115200");
  EXPECT_EQ(pages_->version.Text(1103), "NO-7");
  EXPECT_EQ(rig_.Sets(), Lines{});
  EXPECT_EQ(rig_.Gets(), (Lines{"GET com1_baudrate", "GET com1_stopbits", "GET com1_bytesizes",
                                "GET com1_paritys"}));
  EXPECT_EQ(result->message,
            "输出方式已改为“COM输出”，设置尚未写入设备，按“保存”后写入。\n"
            "保存时将改变以下设置:\n"
            "deviceno: ZR2404170032 → NO-7\n"
            "io_inits: (未读出) → com0,com1,hid1,com2\n"
            "io_monitors: (未读出) → com1,hid1\n"
            "io_outputs: wifi0 → com1");

  session_.Save(Pages());
  EXPECT_EQ(rig_.scanner().Value("io_outputs"), "com1");
  EXPECT_EQ(rig_.scanner().Value("io_inits"), "com0,com1,hid1,com2");

  // After the Save the scanner holds the serial channel: back to Wi-Fi
  // changes the lists from what was saved, and nothing else.
  const auto back = Switch("wifi0");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->message,
            "输出方式已改为“WIFI输出”，设置尚未写入设备，按“保存”后写入。\n"
            "保存时将改变以下设置:\n"
            "io_inits: com0,com1,hid1,com2 → wifi0,hid1,com0,com2\n"
            "io_monitors: com1,hid1 → wifi0,hid1\n"
            "io_outputs: com1 → wifi0");
}

TEST_F(ChannelSwitchTest, ASecretIsNeverShownAndAFailedReadIsSaid) {
  pages_->outputMethod.Type(method::kKeyEdit, "new#pw");
  auto result = Switch("wifi0");
  ASSERT_TRUE(result);
  EXPECT_EQ(pages_->outputMethod.Text(method::kKeyEdit), "new#pw");
  EXPECT_EQ(result->message,
            "输出方式已改为“WIFI输出”，设置尚未写入设备，按“保存”后写入。\n"
            "保存时将改变以下设置:\n"
            "wifi0_stawskeykey: (已隐藏) → (已隐藏)");

  rig_.scanner().Faults().refusedKeys = {"com1_paritys"};
  result = Switch("com1");
  ASSERT_TRUE(result);
  EXPECT_NE(result->message.find("读取设备设置失败，请检查设备是否插入或重试!\ncom1_paritys"),
            std::string::npos)
      << result->message;
}

TEST_F(ChannelSwitchTest, ACancelledOrUnknownChoiceDoesNothing) {
  struct Cancelled final : ChannelChooser {
    std::optional<std::string> Choose(const OutputChannel* current) override {
      EXPECT_STREQ(current->output, "wifi0");
      return std::nullopt;
    }
  } cancelled;
  EXPECT_FALSE(session_.SwitchChannel(Pages(), cancelled, [this] { return Pages(); }));
  EXPECT_FALSE(Switch("WIFI0"));
  EXPECT_EQ(rebuilds_, 0);
  EXPECT_TRUE(rig_.Trace().empty());
}

}  // namespace
}  // namespace lumiq::ui::app
