#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "res/ids/control_ids.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/control_page.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq {
namespace {

namespace ids = res::control;
using ui::ControlPage;
using Lines = std::vector<std::string>;
using Ids = std::set<int>;

// A scanner configuration every radio group of the page recognises.
const std::map<std::string, std::string> kRecognised = {
    {"codehint", "1"},          {"reboothint", "8,11"},     {"nfchint", "26"},
    {"workmode", "1"},          {"intervaltime", "500"},    {"nfccontentbegin", "0"},
    {"nfccontentend", "4"},     {"nfcable", "1"},           {"nfccontentformat", "dec2"},
    {"codecontentformat", "char"}, {"contentformat", "phidtochar"},
    {"developctrl", "2"},       {"scanmode", "1"},          {"enginelist", "belt,bra,cuff"},
};

class ControlPageTest : public test::PageTest<ControlPage> {
 protected:
  // S4's sets alone, the record cleared first.
  Lines SaveS4() {
    sim_.scanner().ClearReceived();
    ControlPage::StoreS4(page_, writer_);
    return sim_.Sets();
  }
  Lines SaveS7() {
    sim_.scanner().ClearReceived();
    ControlPage::StoreS7(page_, writer_);
    return sim_.Sets();
  }
};

// --- the template ---

TEST(ControlTemplateTest, HoldsTheFiftyNineControlsOfAChildPage) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(ids::kTemplateId);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->controls.size(), 59u);
  EXPECT_TRUE(dialog->childPage);
  EXPECT_STREQ(dialog->fontFace, "System");
  EXPECT_EQ(dialog->fontPointSize, 10);
  EXPECT_EQ(dialog->width, 323);
  EXPECT_EQ(dialog->height, 224);

  std::set<int> seen;
  int unnamed = 0;
  for (const res::ControlTemplate& control : dialog->controls) {
    if (control.id == res::kNoId) {
      ++unnamed;
      continue;
    }
    EXPECT_TRUE(seen.insert(control.id).second) << "id repeats: " << control.id;
    EXPECT_FALSE(control.style & (res::kDisabled | res::kHidden)) << control.id;
  }
  EXPECT_EQ(unnamed, 12);  // eleven labels and the group box
  EXPECT_EQ(dialog->controls.front().id, ids::kCodeBeep);
  EXPECT_EQ(dialog->controls.back().id, ids::kNfcRedFlash);
  EXPECT_STREQ(dialog->Find(ids::kRebootPinkLight)->caption, "重启开粉灯");
  EXPECT_STREQ(dialog->Find(ids::kContentPhidToChar)->caption, "phidtochar");
}

// Radio groups run from one group-start mark to the next, so the check boxes
// that sit inside a group are untouched by its radio buttons.
TEST(ControlTemplateTest, RadioGroupsFollowTheGroupStartMarks) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(ids::kTemplateId);
  using V = std::vector<int>;
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kSingleMode),
            (V{ids::kNormalMode, ids::kSingleMode, ids::kIntervalMode}));
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kRebootLightOff),
            (V{ids::kRebootLightOn, ids::kRebootRedLight, ids::kRebootPinkLight,
               ids::kRebootLightOff}));
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kHidDevelopMode),
            (V{ids::kSerialDevelopMode, ids::kHidDevelopMode, ids::kNormalScanMode}));
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kEngine2), (V{ids::kEngine1, ids::kEngine2}));
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kNfcDec3).size(), 9u);
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kCodeChar).size(), 9u);
  EXPECT_EQ(res::RadioGroupOf(dialog, ids::kContentChar1).size(), 9u);
}

TEST(ControlTemplateTest, ClicksClearOnlyTheirOwnGroup) {
  test::FakePageControls page(ids::kTemplateId);
  page.Click(ids::kNfcSwitch);
  page.Click(ids::kSerialDevelopMode);
  page.Click(ids::kNormalMode);
  page.Click(ids::kIntervalMode);
  EXPECT_EQ(page.CheckedIds(), (Ids{ids::kIntervalMode, ids::kNfcSwitch, ids::kSerialDevelopMode}));

  page.Click(ids::kNfcBeep);
  page.Click(ids::kRebootLightOn);
  page.Click(ids::kRebootRedLight);
  EXPECT_TRUE(page.IsChecked(ids::kRebootRedLight));
  EXPECT_FALSE(page.IsChecked(ids::kRebootLightOn));
  EXPECT_TRUE(page.IsChecked(ids::kNfcBeep));

  // The three format groups carry the same captions but are separate.
  page.Click(ids::kNfcHex);
  page.Click(ids::kCodeHex);
  page.Click(ids::kContentHex);
  page.Click(ids::kCodeDec3);
  EXPECT_TRUE(page.IsChecked(ids::kNfcHex));
  EXPECT_TRUE(page.IsChecked(ids::kContentHex));
  EXPECT_FALSE(page.IsChecked(ids::kCodeHex));
}

// --- Load ---

TEST_F(ControlPageTest, LoadReadsThirteenKeysWhenTheNfcReaderIsOff) {
  Seed(kRecognised);
  sim_.scanner().Set("nfcable", "0");
  Load();

  EXPECT_EQ(sim_.Gets(),
            (Lines{"GET codehint", "GET reboothint", "GET nfchint", "GET workmode",
                   "GET intervaltime", "GET nfccontentbegin", "GET nfccontentend", "GET nfcable",
                   "GET codecontentformat", "GET contentformat", "GET developctrl",
                   "GET scanmode", "GET enginelist"}));
  EXPECT_FALSE(page_.IsChecked(ids::kNfcSwitch));
  EXPECT_FALSE(page_.IsChecked(ids::kNfcDec2));
}

TEST_F(ControlPageTest, LoadReadsTheNfcFormatAsFourteenthKeyWhenTheReaderIsOn) {
  Seed(kRecognised);
  Load();

  EXPECT_EQ(sim_.Gets(),
            (Lines{"GET codehint", "GET reboothint", "GET nfchint", "GET workmode",
                   "GET intervaltime", "GET nfccontentbegin", "GET nfccontentend", "GET nfcable",
                   "GET nfccontentformat", "GET codecontentformat", "GET contentformat",
                   "GET developctrl", "GET scanmode", "GET enginelist"}));
  EXPECT_EQ(page_.CheckedIds(),
            (Ids{ids::kCodeBeep, ids::kNfcRedFlash, ids::kRebootLightOff, ids::kSingleMode,
                 ids::kNfcSwitch, ids::kNfcDec2, ids::kCodeChar, ids::kContentPhidToChar,
                 ids::kHidDevelopMode, ids::kEngine2}));
  EXPECT_EQ(page_.Text(ids::kIntervalEdit), "500");
  EXPECT_EQ(page_.Text(ids::kNfcBeginEdit), "0");
  EXPECT_EQ(page_.Text(ids::kNfcEndEdit), "4");
  EXPECT_TRUE(reader_.FailedKeys().empty());
}

TEST_F(ControlPageTest, UnchangedSaveWritesBackWhatTheLoadShowed) {
  Seed(kRecognised);
  Load();

  EXPECT_EQ(SaveS4(), (Lines{"SET intervaltime=500", "SET nfccontentbegin=0",
                            "SET nfccontentend=4", "SET nfchint=26", "SET codehint=1",
                            "SET reboothint=8,11", "SET workmode=1", "SET nfcserial=com0",
                            "SET nfcable=1", "SET com0_devname=/dev/ttyS2",
                            "SET nfccontentformat=dec2", "SET codecontentformat=char",
                            "SET contentformat=phidtochar"}));
  EXPECT_EQ(SaveS7(), (Lines{"SET developctrl=2", "SET scanmode=1",
                            "SET enginelist=belt,bra,cuff"}));
  EXPECT_TRUE(writer_.FailedKeys().empty());
}

// Every format token selects its own radio in each of the three groups.
TEST_F(ControlPageTest, EachFormatTokenRoundTripsInAllThreeGroups) {
  struct Row {
    const char* token;
    int nfc, code, content;
  };
  const Row rows[] = {
      {"char", ids::kNfcChar, ids::kCodeChar, ids::kContentChar},
      {"hex", ids::kNfcHex, ids::kCodeHex, ids::kContentHex},
      {"dec", ids::kNfcDec, ids::kCodeDec, ids::kContentDec},
      {"dec1", ids::kNfcDec1, ids::kCodeDec1, ids::kContentDec1},
      {"dec2", ids::kNfcDec2, ids::kCodeDec2, ids::kContentDec2},
      {"dec3", ids::kNfcDec3, ids::kCodeDec3, ids::kContentDec3},
      {"char1", ids::kNfcChar1, ids::kCodeChar1, ids::kContentChar1},
      {"hextochar", ids::kNfcHexToChar, ids::kCodeHexToChar, ids::kContentHexToChar},
      {"phidtochar", ids::kNfcPhidToChar, ids::kCodePhidToChar, ids::kContentPhidToChar},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    test::FakePageControls page(ControlPage::kTemplateId);
    ui::SettingReader reader;
    ui::SettingWriter writer;
    sim_.scanner().Set("nfcable", "1");
    for (const char* key : {"nfccontentformat", "codecontentformat", "contentformat"}) {
      sim_.scanner().Set(key, row.token);
    }
    ControlPage::Load(page, reader);
    EXPECT_TRUE(page.IsChecked(row.nfc));
    EXPECT_TRUE(page.IsChecked(row.code));
    EXPECT_TRUE(page.IsChecked(row.content));

    sim_.scanner().ClearReceived();
    ControlPage::StoreS4(page, writer);
    const Lines sets = sim_.Sets();
    const std::string token = row.token;
    EXPECT_EQ(Lines(sets.end() - 3, sets.end()),
              (Lines{"SET nfccontentformat=" + token, "SET codecontentformat=" + token,
                     "SET contentformat=" + token}));
  }
}

// --- hints and reboot light ---

TEST_F(ControlPageTest, FullHintWithRebootLightOnIsWrittenWhole) {
  Seed({{"codehint", "1,26"}, {"reboothint", "7,11"}});
  Load();
  EXPECT_EQ(page_.CheckedIds(), (Ids{ids::kCodeBeep, ids::kCodeRedFlash, ids::kRebootLightOn}));

  const Lines sets = SaveS4();
  EXPECT_EQ(Lines(sets.begin() + 3, sets.begin() + 6),
            (Lines{"SET nfchint=", "SET codehint=1,26", "SET reboothint=7,11"}));
}

// A coloured reboot light keeps the red-flash boxes out of the hints.
TEST_F(ControlPageTest, RedRebootLightDropsTheRedFlashFromTheHints) {
  Seed({{"codehint", "1,26"}, {"nfchint", "1,26"}, {"reboothint", "8,9,11"}});
  Load();
  EXPECT_EQ(page_.CheckedIds(), (Ids{ids::kCodeBeep, ids::kCodeRedFlash, ids::kNfcBeep,
                                     ids::kNfcRedFlash, ids::kRebootRedLight}));

  const Lines sets = SaveS4();
  EXPECT_EQ(Lines(sets.begin() + 3, sets.begin() + 6),
            (Lines{"SET nfchint=1", "SET codehint=1", "SET reboothint=8,9,11"}));
}

TEST_F(ControlPageTest, PinkRebootLightWithOnlyRedFlashSendsEmptyHints) {
  Seed({{"codehint", "26"}, {"nfchint", "26"}, {"reboothint", "7,9,11"}});
  Load();
  EXPECT_TRUE(page_.IsChecked(ids::kRebootPinkLight));

  const Lines sets = SaveS4();
  EXPECT_EQ(Lines(sets.begin() + 3, sets.begin() + 6),
            (Lines{"SET nfchint=", "SET codehint=", "SET reboothint=7,9,11"}));
}

// The hint test is a substring test: "21" holds a "1".
TEST_F(ControlPageTest, HintTwentyOneCountsAsABeep) {
  Seed({{"codehint", "21"}, {"reboothint", "7,11"}});
  Load();
  EXPECT_EQ(page_.CheckedIds(), (Ids{ids::kCodeBeep, ids::kRebootLightOn}));

  const Lines sets = SaveS4();
  EXPECT_EQ(sets[4], "SET codehint=1");
}

TEST_F(ControlPageTest, UnknownRebootLightSendsNoneOfTheHintKeys) {
  Seed({{"codehint", "1,26"}, {"nfchint", "1,26"}, {"reboothint", "7,11 "}});
  Load();
  EXPECT_EQ(page_.CheckedIds(),
            (Ids{ids::kCodeBeep, ids::kCodeRedFlash, ids::kNfcBeep, ids::kNfcRedFlash}));

  EXPECT_EQ(SaveS4(), (Lines{"SET intervaltime=", "SET nfccontentbegin=", "SET nfccontentend=",
                            "SET nfcable=0"}));
  EXPECT_EQ(sim_.scanner().Value("reboothint"), "7,11 ");
  EXPECT_EQ(sim_.scanner().Value("codehint"), "1,26");
}

TEST_F(ControlPageTest, UserPickedRebootLightSendsTheBoxesTheUserChecked) {
  Load();
  page_.Click(ids::kCodeBeep);
  page_.Click(ids::kCodeRedFlash);
  page_.Click(ids::kNfcBeep);
  page_.Click(ids::kRebootLightOn);

  const Lines sets = SaveS4();
  EXPECT_EQ(Lines(sets.begin() + 3, sets.begin() + 6),
            (Lines{"SET nfchint=1", "SET codehint=1,26", "SET reboothint=7,11"}));
}

// --- work mode, interval, NFC ---

TEST_F(ControlPageTest, UnknownWorkModeIsNotSent) {
  Seed({{"workmode", "3"}});
  Load();
  EXPECT_TRUE(page_.CheckedIds().empty());

  const Lines sets = SaveS4();
  EXPECT_TRUE(std::none_of(sets.begin(), sets.end(), [](const std::string& line) {
    return line.rfind("SET workmode=", 0) == 0;
  }));
  EXPECT_EQ(sim_.scanner().Value("workmode"), "3");
}

TEST_F(ControlPageTest, EmptiedIntervalIsSentEmptyWhateverTheWorkMode) {
  Seed(kRecognised);
  Load();
  page_.Type(ids::kIntervalEdit, "");
  page_.Type(ids::kNfcEndEdit, "12 ");
  page_.Click(ids::kNfcSwitch);

  const Lines sets = SaveS4();
  EXPECT_EQ(Lines(sets.begin(), sets.begin() + 3),
            (Lines{"SET intervaltime=", "SET nfccontentbegin=0", "SET nfccontentend=12 "}));
  EXPECT_EQ(sim_.scanner().Value("intervaltime"), "");
}

TEST_F(ControlPageTest, NfcOffIsNotAskedForItsFormatAndSavesOnlyTheSwitch) {
  Seed({{"nfcable", "0"}, {"nfccontentformat", "hex"}});
  Load();
  const Lines gets = sim_.Gets();
  EXPECT_EQ(std::count(gets.begin(), gets.end(), "GET nfccontentformat"), 0);
  EXPECT_TRUE(page_.CheckedIds().empty());

  const Lines sets = SaveS4();
  EXPECT_EQ(sets, (Lines{"SET intervaltime=", "SET nfccontentbegin=", "SET nfccontentend=",
                         "SET nfcable=0"}));
  EXPECT_EQ(sim_.scanner().Value("nfccontentformat"), "hex");
}

TEST_F(ControlPageTest, NfcSwitchedOnWithoutAFormatSendsNoFormat) {
  Seed({{"nfcable", "0"}});
  Load();
  page_.Click(ids::kNfcSwitch);

  EXPECT_EQ(SaveS4(), (Lines{"SET intervaltime=", "SET nfccontentbegin=", "SET nfccontentend=",
                            "SET nfcserial=com0", "SET nfcable=1",
                            "SET com0_devname=/dev/ttyS2"}));
}

// --- develop mode and engine ---

TEST_F(ControlPageTest, DevelopModeNeedsTheWholePair) {
  Seed({{"developctrl", "1"}, {"scanmode", "1"}});
  Load();
  EXPECT_TRUE(page_.CheckedIds().empty());
  EXPECT_EQ(SaveS7(), Lines{});

  test::FakePageControls page(ControlPage::kTemplateId);
  sim_.scanner().Set("scanmode", "0");
  ControlPage::Load(page, reader_);
  EXPECT_EQ(page.CheckedIds(), Ids{ids::kSerialDevelopMode});
  sim_.scanner().ClearReceived();
  ControlPage::StoreS7(page, writer_);
  EXPECT_EQ(sim_.Sets(), (Lines{"SET developctrl=1", "SET scanmode=0"}));
}

TEST_F(ControlPageTest, UserPickedNormalScanModeSendsZeroZero) {
  Seed({{"developctrl", "2"}, {"scanmode", "1"}, {"enginelist", "bra,cuff"}});
  Load();
  page_.Click(ids::kNormalScanMode);
  EXPECT_EQ(SaveS7(), (Lines{"SET developctrl=0", "SET scanmode=0", "SET enginelist=bra,cuff"}));
}

TEST_F(ControlPageTest, EngineListInAnotherOrderSelectsNoEngine) {
  Seed({{"enginelist", "cuff,bra"}});
  Load();
  EXPECT_FALSE(page_.IsChecked(ids::kEngine1));
  EXPECT_FALSE(page_.IsChecked(ids::kEngine2));
  EXPECT_EQ(SaveS7(), Lines{});
  EXPECT_EQ(sim_.scanner().Value("enginelist"), "cuff,bra");
}

// --- failures ---

TEST_F(ControlPageTest, RefusedGetsShowNothingAndAreNamed) {
  Seed(kRecognised);
  sim_.scanner().Faults().refusedCommands = {0x08};
  Load();

  EXPECT_TRUE(page_.CheckedIds().empty());
  EXPECT_EQ(page_.Text(ids::kIntervalEdit), "");
  // The reader counts as off, so its format is never asked for.
  EXPECT_EQ(reader_.FailedKeys(),
            (Lines{"codehint", "reboothint", "nfchint", "workmode", "intervaltime",
                   "nfccontentbegin", "nfccontentend", "nfcable", "codecontentformat",
                   "contentformat", "developctrl", "scanmode", "enginelist"}));
}

// A text too long for one set is not cut: the set is refused, the scanner
// keeps its value, the Save goes on and names the key.
TEST_F(ControlPageTest, OverlongIntervalIsRefusedAndNamed) {
  Seed(kRecognised);
  Load();
  page_.Type(ids::kIntervalEdit, std::string(300, '9'));

  const Lines sets = SaveS4();
  EXPECT_EQ(sets.front(), "SET nfccontentbegin=0");
  EXPECT_EQ(sets.size(), 12u);
  EXPECT_EQ(writer_.FailedKeys(), Lines{"intervaltime"});
  EXPECT_EQ(sim_.scanner().Value("intervaltime"), "500");
}

// --- place in the whole Save ---

class ControlPageSequenceTest : public ControlPageTest {
 protected:
  test::FakePageControls symbology_{130};
  test::FakePageControls outputMethod_{133};
  test::FakePageControls outputFormat_{132};
  test::FakePageControls version_{137};
  ui::PageSet pages_{symbology_, outputMethod_, outputFormat_, page_, version_};
};

// Index of the first set of `key`, or -1.
long IndexOfSet(const Lines& sets, const std::string& key) {
  for (size_t i = 0; i < sets.size(); ++i) {
    if (sets[i].rfind("SET " + key + "=", 0) == 0) return static_cast<long>(i);
  }
  return -1;
}

TEST_F(ControlPageSequenceTest, GroupAIsStepFourAndGroupBIsStepSeven) {
  Seed(kRecognised);
  Seed({{"io_outputs", "hid0"}, {"codeprepostformat", "hex"}, {"nfcprepostformat", "char"},
        {"deviceno", "42"}});
  LoadPages(pages_);
  sim_.scanner().ClearReceived();
  const ui::SaveOutcome outcome = ui::SavePages(pages_);
  const Lines sets = sim_.Sets();
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(sim_.Trace().back(), "COMMIT");

  // Each group runs whole, without another page's set inside it.
  const long aFirst = IndexOfSet(sets, "intervaltime");
  const long aLast = IndexOfSet(sets, "contentformat");
  const long bFirst = IndexOfSet(sets, "developctrl");
  const long bLast = IndexOfSet(sets, "enginelist");
  ASSERT_GE(aFirst, 0);
  EXPECT_EQ(aLast - aFirst, 12);
  ASSERT_GE(bFirst, 0);
  EXPECT_EQ(bLast - bFirst, 2);

  // The neighbours: S1 to S3 before S4, S5 and S6 between S4 and S7,
  // S8 after S7.
  const long end = static_cast<long>(sets.size());
  const auto expectBetween = [&](const char* key, long after, long before) {
    const long at = IndexOfSet(sets, key);
    EXPECT_GT(at, after) << key;
    EXPECT_LT(at, before) << key;
  };
  expectBetween("mirrorcode", -1, aFirst);           // S1
  expectBetween("io_outputs", -1, aFirst);           // S2
  expectBetween("contentorder", -1, aFirst);         // S3
  expectBetween("nfcpostfix", -1, aFirst);           // S3
  expectBetween("codeprepostformat", aLast, bFirst); // S5
  expectBetween("nfcprepostformat", aLast, bFirst);  // S5
  expectBetween("deviceno", aLast, bFirst);          // S6
  expectBetween("hid0_presskeytime", bLast, end);    // S8
  expectBetween("hid0_upkeytime", bLast, end);       // S8
  EXPECT_LT(IndexOfSet(sets, "io_outputs"), IndexOfSet(sets, "contentorder"));
  EXPECT_LT(IndexOfSet(sets, "nfcprepostformat"), IndexOfSet(sets, "deviceno"));
}

}  // namespace
}  // namespace lumiq
