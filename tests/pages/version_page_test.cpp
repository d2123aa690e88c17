#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "res/ids/version_ids.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/settings_sequence.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq {
namespace {

namespace ids = res::version;
using ui::VersionPage;
using Lines = std::vector<std::string>;

class VersionPageTest : public test::PageTest<VersionPage> {
 protected:
  void SetUp() override {
    Seed("masterver", "ZR-V2.0.7");
    Seed("deviceno", "ZR0042");
    PageTest::SetUp();
  }
  void Save() { VersionPage::StoreS6(page_, writer_); }
};

TEST_F(VersionPageTest, LoadShowsVersionGreyedAndDeviceNumberEditable) {
  Load();

  EXPECT_EQ(sim_.Gets(), (Lines{"GET masterver", "GET deviceno"}));
  EXPECT_EQ(page_.Text(ids::kFirmwareVersion), "ZR-V2.0.7");
  EXPECT_EQ(page_.Text(ids::kDeviceNumber), "ZR0042");
  EXPECT_FALSE(page_.IsEnabled(ids::kFirmwareVersion));
  EXPECT_TRUE(page_.IsEnabled(ids::kDeviceNumber));

  page_.Type(ids::kFirmwareVersion, "9.9.9");
  EXPECT_EQ(page_.Text(ids::kFirmwareVersion), "ZR-V2.0.7");
}

TEST_F(VersionPageTest, SaveWritesOnlyTheDeviceNumberAsShown) {
  Load();
  Save();
  Save();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET deviceno=ZR0042", "SET deviceno=ZR0042"}));
}

TEST_F(VersionPageTest, TypedBlanksAndAClearedEditAreSentAsTheyAre) {
  Load();
  page_.Type(ids::kDeviceNumber, " 7 ");
  Save();
  page_.Type(ids::kDeviceNumber, "");
  Save();

  EXPECT_EQ(sim_.Sets(), (Lines{"SET deviceno= 7 ", "SET deviceno="}));
  EXPECT_EQ(sim_.scanner().Value("deviceno"), "");
  EXPECT_TRUE(writer_.FailedKeys().empty());
}

TEST_F(VersionPageTest, FailedReadsShowEmptyTextAndSaveSendsAnEmptyNumber) {
  sim_.scanner().Faults().refusedCommands = {0x08};
  Load();
  EXPECT_EQ(reader_.FailedKeys(), (Lines{"masterver", "deviceno"}));
  EXPECT_EQ(page_.Text(ids::kDeviceNumber), "");

  sim_.scanner().Faults().refusedCommands.clear();
  Save();
  EXPECT_EQ(sim_.Sets(), Lines{"SET deviceno="});
}

// 245 bytes is all a set under `deviceno` can carry; one more is refused by
// the link as a whole and the scanner keeps its number, never a cut one.
TEST_F(VersionPageTest, DeviceNumberFitsUpTo245BytesAndLongerFailsTheKey) {
  Load();
  const std::string longest(245, '7');
  page_.Type(ids::kDeviceNumber, longest);
  Save();
  EXPECT_EQ(sim_.scanner().Value("deviceno"), longest);
  EXPECT_TRUE(writer_.FailedKeys().empty());

  page_.Type(ids::kDeviceNumber, std::string(246, '8'));
  Save();
  EXPECT_EQ(sim_.Sets().size(), 1u);
  EXPECT_EQ(writer_.FailedKeys(), Lines{"deviceno"});
  EXPECT_EQ(sim_.scanner().Value("deviceno"), longest);
}

TEST_F(VersionPageTest, TextThatCannotBeEncodedFailsTheKeyWithoutSending) {
  Load();
  page_.MakeUnencodable(ids::kDeviceNumber);
  Save();
  EXPECT_EQ(sim_.Sets(), Lines{});
  EXPECT_EQ(writer_.FailedKeys(), Lines{"deviceno"});
}

using test::IndexOf;
using test::SetKeys;

TEST_F(VersionPageTest, DeviceNumberIsWrittenRightAfterOutputFormatGroupB) {
  sim_.scanner().Set("codeprepostformat", "hex");
  sim_.scanner().Set("nfcreadmethod", "0");
  sim_.scanner().Set("nfcprepostformat", "char");
  test::FakeSettingsWindow pages;
  ui::PageSet set = pages.Pages();
  ui::LoadPages(set);
  sim_.scanner().ClearReceived();

  const ui::SaveOutcome outcome = ui::SavePages(set);
  EXPECT_TRUE(outcome.Succeeded());
  const Lines keys = SetKeys(sim_);
  const long deviceNumber = IndexOf(keys, "deviceno");
  ASSERT_GE(deviceNumber, 1);
  EXPECT_EQ(keys[deviceNumber - 1], "nfcprepostformat");
  EXPECT_LT(deviceNumber, IndexOf(keys, "hid0_presskeytime"));
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "deviceno"), 1);
  EXPECT_EQ(IndexOf(keys, "masterver"), -1);
}

TEST_F(VersionPageTest, TooLongDeviceNumberFailsTheSaveByNameAndTheRestStillGoesOut) {
  test::FakeSettingsWindow pages;
  ui::PageSet set = pages.Pages();
  ui::LoadPages(set);
  pages.version.Type(ids::kDeviceNumber, std::string(246, '8'));
  sim_.scanner().ClearReceived();

  const ui::SaveOutcome outcome = ui::SavePages(set);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_EQ(outcome.failedKeys, Lines{"deviceno"});
  EXPECT_NE(ui::SaveMessage(outcome).find("deviceno"), std::string::npos);
  EXPECT_EQ(IndexOf(SetKeys(sim_), "deviceno"), -1);
  EXPECT_NE(IndexOf(SetKeys(sim_), "hid0_upkeytime"), -1);
  EXPECT_EQ(sim_.Trace().back(), "COMMIT");
  EXPECT_EQ(sim_.scanner().Value("deviceno"), "ZR0042");
}

}  // namespace
}  // namespace lumiq
