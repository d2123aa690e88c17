#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "res/ids/output_format_ids.h"
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

namespace ids = res::output_format;
using ui::OutputFormatPage;
using Lines = std::vector<std::string>;

class OutputFormatPageTest : public test::PageTest<OutputFormatPage> {
 protected:
  void SaveS3() { OutputFormatPage::StoreS3(page_, writer_); }
  void SaveS5() { OutputFormatPage::StoreS5(page_, writer_); }
  void SaveS8() { OutputFormatPage::StoreS8(page_, writer_); }
};

// --- Load ---

TEST_F(OutputFormatPageTest, LoadReadsTenKeysInItsOwnOrder) {
  Load();
  EXPECT_EQ(sim_.Gets(),
            (Lines{"GET contentorder", "GET codeprefix", "GET codepostfix", "GET nfcprefix",
                   "GET nfcpostfix", "GET codeprepostformat", "GET nfcprepostformat",
                   "GET nfcreadmethod", "GET hid0_presskeytime", "GET hid0_upkeytime"}));
  EXPECT_EQ(sim_.Sets(), Lines{});
  EXPECT_TRUE(page_.CheckedIds().empty());
}

TEST_F(OutputFormatPageTest, LoadShowsEveryKnownValue) {
  Seed("contentorder", std::string("PREFIX,CONTENT,POSTFIX,ENTER"));
  Seed("codeprefix", "<");
  Seed("codepostfix", ">");
  Seed("nfcprefix", "[");
  Seed("nfcpostfix", "]");
  Seed("codeprepostformat", "char");
  Seed("nfcprepostformat", "hex");
  Seed("nfcreadmethod", "1");
  Seed("hid0_presskeytime", "20");
  Seed("hid0_upkeytime", "30");
  Load();

  EXPECT_EQ(page_.CheckedIds(),
            (std::set<int>{ids::kEnter, ids::kCodePrefixBox, ids::kCodeSuffixBox,
                           ids::kNfcPrefixBox, ids::kNfcSuffixBox, ids::kCodeNotationChar,
                           ids::kNfcNotationHex, ids::kReadContinuous}));
  EXPECT_EQ(page_.Text(ids::kCodePrefixEdit), "<");
  EXPECT_EQ(page_.Text(ids::kCodeSuffixEdit), ">");
  EXPECT_EQ(page_.Text(ids::kNfcPrefixEdit), "[");
  EXPECT_EQ(page_.Text(ids::kNfcSuffixEdit), "]");
  EXPECT_EQ(page_.Text(ids::kKeyDownTime), "20");
  EXPECT_EQ(page_.Text(ids::kKeyUpTime), "30");
}

// The words are found anywhere, as case-sensitive substrings.
TEST_F(OutputFormatPageTest, ContentOrderWordsAreFoundAnywhereButCaseMatters) {
  Seed("contentorder", "PREFIX,CONTENT,POSTFIX,REENTERED,wrap");
  Load();
  EXPECT_TRUE(page_.IsChecked(ids::kEnter));
  EXPECT_FALSE(page_.IsChecked(ids::kWrap));
}

TEST_F(OutputFormatPageTest, WrapBeforeEnterChecksBothAndSavesInTableOrder) {
  Seed("contentorder", "PREFIX,CONTENT,POSTFIX,WRAP,ENTER");
  Load();
  EXPECT_TRUE(page_.IsChecked(ids::kEnter));
  EXPECT_TRUE(page_.IsChecked(ids::kWrap));

  SaveS3();
  EXPECT_EQ(sim_.Sets().front(), "SET contentorder=PREFIX,CONTENT,POSTFIX,ENTER,WRAP");
}

// --- Store step S3 ---

class ContentOrderTableTest
    : public OutputFormatPageTest,
      public ::testing::WithParamInterface<std::tuple<bool, bool, std::string>> {};

TEST_P(ContentOrderTableTest, BoxesGiveTheOrderTableValue) {
  const auto& [enter, wrap, order] = GetParam();
  Load();
  if (enter) page_.Click(ids::kEnter);
  if (wrap) page_.Click(ids::kWrap);
  SaveS3();
  EXPECT_EQ(sim_.Sets().front(), "SET contentorder=" + order);
}

INSTANTIATE_TEST_SUITE_P(
    OrderTable, ContentOrderTableTest,
    ::testing::Values(std::make_tuple(false, false, std::string("PREFIX,CONTENT,POSTFIX")),
                      std::make_tuple(true, false, std::string("PREFIX,CONTENT,POSTFIX,ENTER")),
                      std::make_tuple(false, true, std::string("PREFIX,CONTENT,POSTFIX,WRAP")),
                      std::make_tuple(true, true, std::string("PREFIX,CONTENT,POSTFIX,ENTER,WRAP"))));

TEST_F(OutputFormatPageTest, PrefixOfBlanksIsKeptAndSentBack) {
  Seed("codeprefix", "   ");
  Load();
  EXPECT_TRUE(page_.IsChecked(ids::kCodePrefixBox));
  EXPECT_EQ(page_.Text(ids::kCodePrefixEdit), "   ");

  SaveS3();
  EXPECT_EQ(sim_.Sets()[1], "SET codeprefix=   ");
}

TEST_F(OutputFormatPageTest, UncheckedPrefixSendsEmptyWithoutReadingItsEdit) {
  Seed("codeprefix", "AB");
  Load();
  page_.Click(ids::kCodePrefixBox);
  // Were the edit read, this text would fail the key instead.
  page_.MakeUnencodable(ids::kCodePrefixEdit);
  SaveS3();
  EXPECT_EQ(sim_.Sets()[1], "SET codeprefix=");
  EXPECT_TRUE(writer_.FailedKeys().empty());

  test::FakePageControls reopened(OutputFormatPage::kTemplateId);
  OutputFormatPage::Load(reopened, reader_);
  EXPECT_FALSE(reopened.IsChecked(ids::kCodePrefixBox));
  EXPECT_EQ(reopened.Text(ids::kCodePrefixEdit), "");
}

TEST_F(OutputFormatPageTest, CheckedPrefixWithUnencodableTextFailsOnlyThatKey) {
  Load();
  page_.Click(ids::kCodeSuffixBox);
  page_.Type(ids::kCodeSuffixEdit, "x");
  page_.MakeUnencodable(ids::kCodeSuffixEdit);
  SaveS3();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET contentorder=PREFIX,CONTENT,POSTFIX", "SET codeprefix=",
                                "SET nfcprefix=", "SET nfcpostfix="}));
  EXPECT_EQ(writer_.FailedKeys(), Lines{"codepostfix"});
}

TEST_F(OutputFormatPageTest, OnlyNfcSuffixCheckedSendsNoNfcOrder) {
  Load();
  page_.Type(ids::kNfcPrefixEdit, "P");
  page_.Click(ids::kNfcSuffixBox);
  page_.Type(ids::kNfcSuffixEdit, "END");
  SaveS3();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET contentorder=PREFIX,CONTENT,POSTFIX", "SET codeprefix=",
                                "SET codepostfix=", "SET nfcprefix=", "SET nfcpostfix=END"}));
}

TEST_F(OutputFormatPageTest, BothNfcBoxesSendOrderThenPrefixThenSuffix) {
  Load();
  page_.Click(ids::kNfcPrefixBox);
  page_.Type(ids::kNfcPrefixEdit, "P");
  page_.Click(ids::kNfcSuffixBox);
  page_.Type(ids::kNfcSuffixEdit, "S");
  SaveS3();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET contentorder=PREFIX,CONTENT,POSTFIX", "SET codeprefix=",
                                "SET codepostfix=", "SET nfccontentorder=NFCPREFIX,NFC,NFCPOSTFIX",
                                "SET nfcprefix=P", "SET nfcpostfix=S"}));
}

// --- Store step S5 ---

TEST_F(OutputFormatPageTest, GroupBSendsNotationReadMethodNotationInThatOrder) {
  Seed("codeprepostformat", "hex");
  Seed("nfcprepostformat", "char");
  Seed("nfcreadmethod", "0");
  Load();
  SaveS5();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET codeprepostformat=hex", "SET nfcreadmethod=0",
                                "SET nfcprepostformat=char"}));
}

// The three pairs are separate groups: a click selects within its own pair.
TEST_F(OutputFormatPageTest, ClickingARadioButtonChangesOnlyItsOwnPair) {
  Seed("codeprepostformat", "hex");
  Seed("nfcprepostformat", "hex");
  Load();
  page_.Click(ids::kReadContinuous);
  page_.Click(ids::kCodeNotationChar);
  EXPECT_EQ(page_.CheckedIds(),
            (std::set<int>{ids::kCodeNotationChar, ids::kNfcNotationHex, ids::kReadContinuous}));

  SaveS5();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET codeprepostformat=char", "SET nfcreadmethod=1",
                                "SET nfcprepostformat=hex"}));
}

// Only the exact values select; anything else leaves the pair unselected and
// the scanner's value untouched by Save.
TEST_F(OutputFormatPageTest, UnknownNotationOrReadMethodSelectsNeitherAndIsNotSent) {
  Seed("codeprepostformat", "HEX");
  Seed("nfcprepostformat", "hex");
  Seed("nfcreadmethod", "1");
  Load();
  EXPECT_EQ(page_.CheckedIds(), (std::set<int>{ids::kNfcNotationHex, ids::kReadContinuous}));

  SaveS5();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET nfcreadmethod=1", "SET nfcprepostformat=hex"}));
  EXPECT_EQ(sim_.scanner().Value("codeprepostformat"), "HEX");

  test::FakePageControls other(OutputFormatPage::kTemplateId);
  Seed("nfcprepostformat", "char ");
  Seed("nfcreadmethod", "01");
  OutputFormatPage::Load(other, reader_);
  EXPECT_TRUE(other.CheckedIds().empty());
}

// --- Store step S8 ---

TEST_F(OutputFormatPageTest, KeyTimesFromTheScannerGoBackUnchangedWhileTypingKeepsDigits) {
  Seed("hid0_presskeytime", "20ms");
  Load();
  EXPECT_EQ(page_.Text(ids::kKeyDownTime), "20ms");
  SaveS8();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET hid0_presskeytime=20ms", "SET hid0_upkeytime="}));

  page_.Type(ids::kKeyDownTime, "3a5 ");
  page_.Type(ids::kKeyUpTime, "-8");
  EXPECT_EQ(page_.Text(ids::kKeyDownTime), "35");
  sim_.scanner().ClearReceived();
  SaveS8();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET hid0_presskeytime=35", "SET hid0_upkeytime=8"}));
}

// --- A load that read nothing ---

TEST_F(OutputFormatPageTest, SaveAfterFailedLoadWritesTheEmptyDefaultsAndNoRadioKeys) {
  Seed("contentorder", std::string("PREFIX,CONTENT,POSTFIX,ENTER"));
  Seed("codeprepostformat", "hex");
  sim_.scanner().Faults().refusedCommands = {0x08};
  Load();
  EXPECT_EQ(reader_.FailedKeys().size(), 10u);

  SaveS3();
  SaveS5();
  SaveS8();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET contentorder=PREFIX,CONTENT,POSTFIX", "SET codeprefix=",
                                "SET codepostfix=", "SET nfcprefix=", "SET nfcpostfix=",
                                "SET hid0_presskeytime=", "SET hid0_upkeytime="}));
  EXPECT_EQ(sim_.scanner().Value("codeprepostformat"), "hex");
}

// --- Within the whole Save ---

using test::IndexOf;
using test::SetKeys;

// Asserts that `run` appears in `keys` as one unbroken stretch; returns its
// first index.
long RunAt(const Lines& keys, const Lines& run) {
  const auto it = std::search(keys.begin(), keys.end(), run.begin(), run.end());
  EXPECT_NE(it, keys.end()) << "not one stretch: " << ::testing::PrintToString(run);
  return it == keys.end() ? -1 : static_cast<long>(it - keys.begin());
}

TEST_F(OutputFormatPageTest, GroupsGoOutAtStepsThreeFiveAndEightOfSave) {
  Seed("nfcprefix", "P");
  Seed("codeprepostformat", "char");
  Seed("nfcreadmethod", "0");
  Seed("nfcprepostformat", "hex");
  test::FakeSettingsWindow pages;
  ui::PageSet set = pages.Pages();
  ui::LoadPages(set);
  sim_.scanner().ClearReceived();

  EXPECT_TRUE(ui::SavePages(set).Succeeded());
  const Lines keys = SetKeys(sim_);
  const long groupA = RunAt(keys, {"contentorder", "codeprefix", "codepostfix", "nfccontentorder",
                                   "nfcprefix", "nfcpostfix"});
  const long groupB = RunAt(keys, {"codeprepostformat", "nfcreadmethod", "nfcprepostformat"});
  const long groupC = RunAt(keys, {"hid0_presskeytime", "hid0_upkeytime"});
  const long deviceNumber = IndexOf(keys, "deviceno");

  EXPECT_GT(groupA, IndexOf(keys, "mirrorcode"));  // after S1 (and S2)
  EXPECT_LT(groupA + 5, groupB);                    // S4 may lie between
  EXPECT_EQ(groupB + 3, deviceNumber);              // S6 follows at once
  EXPECT_LT(deviceNumber, groupC);                  // S7 may lie between
  EXPECT_EQ(groupC + 2, static_cast<long>(keys.size()));
  const Lines trace = sim_.Trace();
  EXPECT_EQ(trace.back(), "COMMIT");
  EXPECT_EQ(trace[trace.size() - 2], "SET hid0_upkeytime=");

  // Keys of the pages built around this one, where they are present.
  for (const char* outputMethodKey : {"io_inits", "io_outputs"}) {
    const long at = IndexOf(keys, outputMethodKey);
    if (at >= 0) {
      EXPECT_LT(at, groupA) << outputMethodKey;
    }
  }
  for (const char* controlGroupA : {"intervaltime", "workmode", "contentformat"}) {
    const long at = IndexOf(keys, controlGroupA);
    if (at >= 0) {
      EXPECT_TRUE(at > groupA + 5 && at < groupB) << controlGroupA;
    }
  }
  for (const char* controlGroupB : {"developctrl", "enginelist"}) {
    const long at = IndexOf(keys, controlGroupB);
    if (at >= 0) {
      EXPECT_TRUE(at > deviceNumber && at < groupC) << controlGroupB;
    }
  }
}

}  // namespace
}  // namespace lumiq
