#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "res/ids/output_method_ids.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq {
namespace {

namespace ids = res::output_method;
using ui::OutputMethodPage;
using Lines = std::vector<std::string>;
using Ids = std::set<int>;

const Ids kComGroup = {ids::kComOutput,     ids::kBaudRateCombo, ids::kStopBitsCombo,
                       ids::kDataBitsCombo, ids::kParityCombo,   ids::kBaudRateLabel,
                       ids::kDataBitsLabel, ids::kStopBitsLabel, ids::kParityLabel};
const Ids kWifiGroup = {
    ids::kWifiOutput,       ids::kDeviceWifiLabel,   ids::kDeviceSsidLabel,
    ids::kJoinWifiLabel,    ids::kJoinSsidLabel,     ids::kAuthModeLabel,
    ids::kEncryptionLabel,  ids::kKeyLabel,          ids::kProtocolLabel,
    ids::kServerAddressLabel, ids::kServerPortLabel, ids::kServerPathLabel,
    ids::kDeviceSsidEdit,   ids::kJoinSsidEdit,      ids::kKeyEdit,
    ids::kServerAddressEdit, ids::kServerPortEdit,   ids::kServerPathEdit,
    ids::kAuthModeCombo,    ids::kEncryptionCombo,   ids::kHttpRadio,
    ids::kTcpRadio,         ids::kProtocolModeBox};
const Ids kBluetoothGroup = {ids::kBluetoothOutput, ids::kBluetoothNameLabel,
                             ids::kBluetoothNameEdit};

// The channel switch button belongs to no group: it shows with every one.
Ids WithSwitch(Ids group) {
  group.insert(ids::kChangeChannelButton);
  return group;
}

const std::map<std::string, std::string> kWifiSettings = {
    {"io_outputs", "wifi0"},
    {"wifi0_wapssid", "Lumiq-AP"},
    {"wifi0_stassid", "shop floor"},
    {"wifi0_stawskeykey", "s3cret,key"},
    {"wifi0_serveraddr", "192.168.1.20"},
    {"wifi0_serverport", "8080"},
    {"wifi0_httpph", "/scan/post"},
    {"wifi0_stawskeyauth", "WPA2PSK"},
    {"wifi0_stawskeyencry", "AES"},
    {"wifi0_protocol", "TCP"},
    {"wifi0_apimothed", "9"},
};

class OutputMethodPageTest : public test::PageTest<OutputMethodPage> {
 protected:
  // The S2 sets alone, the record cleared first.
  Lines Save() {
    sim_.scanner().ClearReceived();
    OutputMethodPage::StoreS2(page_, writer_);
    return sim_.Sets();
  }
};

// --- the template ---

TEST(OutputMethodTemplateTest, HoldsThirtySevenControlsWithDisabledChannelBoxes) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(ids::kTemplateId);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->controls.size(), 37u);
  EXPECT_TRUE(dialog->childPage);
  EXPECT_EQ(dialog->width, 359);
  EXPECT_EQ(dialog->height, 259);

  // Every control but the switch button belongs to exactly one channel group.
  Ids all = {ids::kChangeChannelButton};
  all.insert(kComGroup.begin(), kComGroup.end());
  all.insert(kWifiGroup.begin(), kWifiGroup.end());
  all.insert(kBluetoothGroup.begin(), kBluetoothGroup.end());
  all.insert(ids::kHidOutput);
  Ids inTemplate;
  for (const res::ControlTemplate& control : dialog->controls) inTemplate.insert(control.id);
  EXPECT_EQ(inTemplate, all);

  Ids disabled;
  for (const res::ControlTemplate& control : dialog->controls) {
    if (control.style & res::kDisabled) disabled.insert(control.id);
    EXPECT_FALSE(control.style & res::kHidden) << control.id;
    if (control.kind == res::ControlKind::kLabel) {
      EXPECT_TRUE(control.style & res::kGroupStart) << control.id;
    }
    if (control.kind == res::ControlKind::kComboBox) {
      EXPECT_TRUE(control.style & res::kSorted) << control.id;
    }
  }
  EXPECT_EQ(disabled,
            (Ids{ids::kComOutput, ids::kHidOutput, ids::kWifiOutput, ids::kBluetoothOutput}));
  EXPECT_TRUE(dialog->Find(ids::kKeyEdit)->style & res::kPassword);
  EXPECT_EQ(res::RadioGroupOf(*dialog, ids::kTcpRadio),
            (std::vector<int>{ids::kHttpRadio, ids::kTcpRadio}));
}

// The binding sorts the lists as text; the template keeps the order added.
TEST(OutputMethodTemplateTest, ComboItemsAreInTheOrderAddedAndSortAsText) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(ids::kTemplateId);
  const auto items = [&](int id) {
    const std::vector<const char*>& raw = dialog.Find(id)->items;
    return Lines(raw.begin(), raw.end());
  };
  Lines baud = items(ids::kBaudRateCombo);
  ASSERT_EQ(baud.size(), 19u);
  EXPECT_EQ(baud.front(), "110");
  EXPECT_EQ(baud[5], "1200");
  EXPECT_EQ(baud.back(), "256000");
  EXPECT_EQ(items(ids::kParityCombo), (Lines{"NONE", "ODD", "EVEN", "MARK", "SPACE"}));
  EXPECT_EQ(items(ids::kEncryptionCombo), (Lines{"NONE", "WEP-H", "WEP-A", "TKIP", "AES"}));
  EXPECT_EQ(items(ids::kAuthModeCombo), (Lines{"OPEN", "SHARED", "WPAPSK", "WPA2PSK"}));

  std::sort(baud.begin(), baud.end());
  EXPECT_EQ(baud, (Lines{"110", "115200", "1200", "128000", "134", "14400", "150", "1800",
                         "19200", "2400", "256000", "300", "38400", "4800", "56000", "57600",
                         "600", "7200", "9600"}));
}

// --- one test per channel: what Load shows and what an unchanged Save sends ---

TEST_F(OutputMethodPageTest, ComChannelShowsItsGroupAndWritesBytesizesBeforeStopbits) {
  Seed({{"io_outputs", "com1"}, {"com1_baudrate", "9600"}, {"com1_stopbits", "1"},
        {"com1_bytesizes", "8"}, {"com1_paritys", "NONE"}});
  Load();

  EXPECT_EQ(sim_.Gets(), (Lines{"GET io_outputs", "GET com1_baudrate", "GET com1_stopbits",
                                "GET com1_bytesizes", "GET com1_paritys"}));
  EXPECT_EQ(page_.ShownIds(), WithSwitch(kComGroup));
  EXPECT_EQ(page_.CheckedIds(), Ids{ids::kComOutput});
  EXPECT_EQ(page_.Text(ids::kDataBitsCombo), "8");

  EXPECT_EQ(Save(), (Lines{"SET io_inits=com0,com1,hid1,com2", "SET io_monitors=com1,hid1",
                           "SET io_outputs=com1", "SET com1_baudrate=9600",
                           "SET com1_bytesizes=8", "SET com1_stopbits=1",
                           "SET com1_paritys=NONE"}));
  EXPECT_TRUE(writer_.FailedKeys().empty());
}

TEST_F(OutputMethodPageTest, HidChannelShowsOnlyItsBoxAndWritesTheThreeLists) {
  Seed({{"io_outputs", "hid0"}});
  Load();

  EXPECT_EQ(sim_.Gets(), Lines{"GET io_outputs"});
  EXPECT_EQ(page_.ShownIds(), WithSwitch({ids::kHidOutput}));
  EXPECT_EQ(page_.CheckedIds(), Ids{ids::kHidOutput});
  EXPECT_FALSE(page_.IsEnabled(ids::kHidOutput));

  EXPECT_EQ(Save(), (Lines{"SET io_inits=com0,hid0,hid1,com2", "SET io_monitors=hid1",
                           "SET io_outputs=hid0"}));
}

TEST_F(OutputMethodPageTest, WifiChannelReadsElevenKeysAndSendsTheApiMethodTwice) {
  Seed(kWifiSettings);
  Load();

  EXPECT_EQ(sim_.Gets(),
            (Lines{"GET io_outputs", "GET wifi0_wapssid", "GET wifi0_stassid",
                   "GET wifi0_stawskeykey", "GET wifi0_serveraddr", "GET wifi0_serverport",
                   "GET wifi0_httpph", "GET wifi0_stawskeyauth", "GET wifi0_stawskeyencry",
                   "GET wifi0_protocol", "GET wifi0_apimothed"}));
  EXPECT_EQ(page_.ShownIds(), WithSwitch(kWifiGroup));
  EXPECT_EQ(page_.CheckedIds(), (Ids{ids::kWifiOutput, ids::kTcpRadio, ids::kProtocolModeBox}));
  EXPECT_EQ(page_.Text(ids::kJoinSsidEdit), "shop floor");
  EXPECT_EQ(page_.Text(ids::kAuthModeCombo), "WPA2PSK");

  EXPECT_EQ(Save(),
            (Lines{"SET wifi0_apimothed=0", "SET io_inits=wifi0,hid1,com0,com2",
                   "SET io_monitors=wifi0,hid1", "SET io_outputs=wifi0",
                   "SET wifi0_wapssid=Lumiq-AP", "SET wifi0_stassid=shop floor",
                   "SET wifi0_stawskeykey=s3cret,key", "SET wifi0_serveraddr=192.168.1.20",
                   "SET wifi0_serverport=8080", "SET wifi0_httpph=/scan/post",
                   "SET wifi0_stawskeyauth=WPA2PSK", "SET wifi0_stawskeyencry=AES",
                   "SET wifi0_protocol=TCP", "SET wifi0_apimothed=9"}));
  EXPECT_EQ(sim_.scanner().Value("wifi0_apimothed"), "9");
}

TEST_F(OutputMethodPageTest, BluetoothChannelListsHidFirstAmongTheMonitors) {
  Seed({{"io_outputs", "bluetooth0"}, {"bluetooth0_name", "ZR-Scanner 01"}});
  Load();

  EXPECT_EQ(sim_.Gets(), (Lines{"GET io_outputs", "GET bluetooth0_name"}));
  EXPECT_EQ(page_.ShownIds(), WithSwitch(kBluetoothGroup));
  EXPECT_EQ(page_.CheckedIds(), Ids{ids::kBluetoothOutput});

  EXPECT_EQ(Save(), (Lines{"SET io_inits=bluetooth0,hid1,com0,com2",
                           "SET io_monitors=hid1,bluetooth0", "SET io_outputs=bluetooth0",
                           "SET bluetooth0_name=ZR-Scanner 01"}));
}

// Only one exact, lower-case channel name selects a channel.
TEST_F(OutputMethodPageTest, ListOrCapitalisedChannelShowsEverythingAndSavesNothing) {
  for (const char* output : {"com1,hid0", "COM1", "", "wifi0 "}) {
    SCOPED_TRACE(output);
    test::FakePageControls page(OutputMethodPage::kTemplateId);
    ui::SettingWriter writer;
    sim_.scanner().Set("io_outputs", output);
    sim_.scanner().ClearReceived();
    OutputMethodPage::Load(page, reader_);
    EXPECT_EQ(sim_.Gets(), Lines{"GET io_outputs"});
    EXPECT_EQ(page.ShownIds().size(), 37u);
    EXPECT_TRUE(page.CheckedIds().empty());

    sim_.scanner().ClearReceived();
    OutputMethodPage::StoreS2(page, writer);
    EXPECT_EQ(sim_.Trace(), Lines{});
  }
}

// --- parameters the user or the scanner changed ---

TEST_F(OutputMethodPageTest, UnlistedBaudRateIsShownAndWrittenBackUnchanged) {
  Seed({{"io_outputs", "com1"}, {"com1_baudrate", "250000"}, {"com1_paritys", "even"}});
  Load();
  EXPECT_EQ(page_.Text(ids::kBaudRateCombo), "250000");

  const Lines sets = Save();
  EXPECT_EQ(sets[3], "SET com1_baudrate=250000");
  EXPECT_EQ(sets[6], "SET com1_paritys=even");
}

TEST_F(OutputMethodPageTest, SwitchingFromTcpToHttpSendsHttpOnly) {
  Seed(kWifiSettings);
  Load();
  page_.Click(ids::kHttpRadio);
  page_.Click(ids::kProtocolModeBox);
  EXPECT_FALSE(page_.IsChecked(ids::kTcpRadio));

  const Lines sets = Save();
  EXPECT_EQ(std::count(sets.begin(), sets.end(), "SET wifi0_protocol=HTTP"), 1);
  EXPECT_EQ(std::count(sets.begin(), sets.end(), "SET wifi0_protocol=TCP"), 0);
  EXPECT_EQ(sets.back(), "SET wifi0_apimothed=0");
}

TEST_F(OutputMethodPageTest, UnknownProtocolChecksNeitherRadioAndIsNotSent) {
  Seed(kWifiSettings);
  sim_.scanner().Set("wifi0_protocol", "tcp");
  sim_.scanner().Set("wifi0_apimothed", "1");
  Load();
  EXPECT_EQ(page_.CheckedIds(), Ids{ids::kWifiOutput});

  const Lines sets = Save();
  EXPECT_EQ(sets.size(), 13u);
  EXPECT_EQ(sets[11], "SET wifi0_stawskeyencry=AES");
  EXPECT_EQ(sets[12], "SET wifi0_apimothed=0");
}

TEST_F(OutputMethodPageTest, EmptiedBluetoothNameIsSentEmpty) {
  Seed({{"io_outputs", "bluetooth0"}, {"bluetooth0_name", "ZR"}});
  Load();
  page_.Type(ids::kBluetoothNameEdit, "");

  EXPECT_EQ(Save().back(), "SET bluetooth0_name=");
  EXPECT_EQ(sim_.scanner().Value("bluetooth0_name"), "");
}

// --- long server paths ---

// The server path has a 1024-byte buffer: anything up to 1023 bytes loads
// whole. A set cannot carry more than 256 - 12 - 3 = 241 bytes of it, so
// Save leaves the scanner's value alone and says so, rather than cutting it.
TEST_F(OutputMethodPageTest, LongServerPathLoadsWholeAndItsSaveIsReportedFailed) {
  Seed(kWifiSettings);
  const std::string path = "/" + std::string(299, 'p');
  sim_.scanner().Set("wifi0_httpph", path);
  Load();
  EXPECT_EQ(page_.Text(ids::kServerPathEdit), path);
  EXPECT_TRUE(reader_.FailedKeys().empty());

  const Lines sets = Save();
  EXPECT_TRUE(std::none_of(sets.begin(), sets.end(), [](const std::string& line) {
    return line.rfind("SET wifi0_httpph=", 0) == 0;
  }));
  EXPECT_EQ(sets.size(), 13u);
  EXPECT_EQ(sets.back(), "SET wifi0_apimothed=9");
  EXPECT_EQ(writer_.FailedKeys(), Lines{"wifi0_httpph"});
  EXPECT_EQ(sim_.scanner().Value("wifi0_httpph"), path);
}

TEST_F(OutputMethodPageTest, ServerPathFillsItsBufferAtMostToTheTerminator) {
  Seed(kWifiSettings);
  sim_.scanner().Set("wifi0_httpph", std::string(1023, 'a'));
  Load();
  EXPECT_EQ(page_.Text(ids::kServerPathEdit), std::string(1023, 'a'));

  test::FakePageControls page(OutputMethodPage::kTemplateId);
  ui::SettingReader reader;
  sim_.scanner().Set("wifi0_httpph", std::string(1024, 'a'));
  OutputMethodPage::Load(page, reader);
  EXPECT_EQ(page.Text(ids::kServerPathEdit), "");
  EXPECT_EQ(reader.FailedKeys(), Lines{"wifi0_httpph"});
}

// Other Wi-Fi values keep the 256-byte buffer.
TEST_F(OutputMethodPageTest, OverlongSsidIsNotReadButNamed) {
  Seed(kWifiSettings);
  sim_.scanner().Set("wifi0_stassid", std::string(256, 's'));
  Load();
  EXPECT_EQ(page_.Text(ids::kJoinSsidEdit), "");
  EXPECT_EQ(page_.Text(ids::kDeviceSsidEdit), "Lumiq-AP");
  EXPECT_EQ(reader_.FailedKeys(), Lines{"wifi0_stassid"});
}

TEST_F(OutputMethodPageTest, SaveOfTheWholeWindowNamesTheServerPath) {
  Seed(kWifiSettings);
  sim_.scanner().Set("wifi0_httpph", std::string(300, 'p'));
  test::FakePageControls symbology(130), outputFormat(132), control(131), version(137);
  ui::PageSet pages{symbology, page_, outputFormat, control, version};
  EXPECT_TRUE(ui::LoadPages(pages).empty());

  const ui::SaveOutcome outcome = ui::SavePages(pages);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_EQ(std::count(outcome.failedKeys.begin(), outcome.failedKeys.end(), "wifi0_httpph"), 1);
  EXPECT_NE(ui::SaveMessage(outcome).find("wifi0_httpph"), std::string::npos);
  EXPECT_EQ(sim_.scanner().Value("wifi0_httpph"), std::string(300, 'p'));
}

// --- failures ---

TEST_F(OutputMethodPageTest, FailedChannelReadLeavesThePageAsBuilt) {
  Seed(kWifiSettings);
  sim_.scanner().Faults().refusedKeys = {"io_outputs"};
  Load();
  EXPECT_EQ(page_.ShownIds().size(), 37u);
  EXPECT_TRUE(page_.CheckedIds().empty());
  EXPECT_EQ(reader_.FailedKeys(), Lines{"io_outputs"});
  EXPECT_EQ(Save(), Lines{});
}

TEST_F(OutputMethodPageTest, RefusedSetDoesNotStopTheBlock) {
  Seed({{"io_outputs", "com1"}, {"com1_baudrate", "9600"}});
  Load();
  sim_.scanner().Faults().refusedKeys = {"com1_baudrate"};

  const Lines sets = Save();
  EXPECT_EQ(sets.size(), 7u);
  EXPECT_EQ(sets.back(), "SET com1_paritys=");
  EXPECT_EQ(writer_.FailedKeys(), Lines{"com1_baudrate"});
}

}  // namespace
}  // namespace lumiq
