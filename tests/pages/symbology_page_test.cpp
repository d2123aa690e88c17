#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "res/ids/symbology_ids.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/symbology_page.h"

namespace lumiq {
namespace {

namespace ids = res::symbology;
using ui::SymbologyPage;
using Lines = std::vector<std::string>;

const Lines kSixKeys = {"qrcode", "dmcode", "onecode", "pdf417code", "anticode", "mirrorcode"};

class SymbologyPageTest : public test::PageTest<SymbologyPage> {
 protected:
  void SeedAll(const Lines& values) {
    for (size_t i = 0; i < kSixKeys.size(); ++i) sim_.scanner().Set(kSixKeys[i], values[i]);
  }
  void Save() { SymbologyPage::StoreS1(page_, writer_); }
};

TEST_F(SymbologyPageTest, LoadReadsTheSixKeysInOrderAndShowsOnlyTheFourVisibleBoxes) {
  SeedAll({"1", "1", "1", "1", "1", "1"});
  Load();

  EXPECT_EQ(sim_.Gets(), (Lines{"GET qrcode", "GET dmcode", "GET onecode", "GET pdf417code",
                                "GET anticode", "GET mirrorcode"}));
  EXPECT_EQ(sim_.Sets(), Lines{});
  EXPECT_EQ(page_.CheckedIds(), (std::set<int>{ids::kQr, ids::kDm, ids::kLinear, ids::kPdf417,
                                               ids::kInverse, ids::kMirror}));
  EXPECT_EQ(page_.ShownIds(), (std::set<int>{ids::kQr, ids::kDm, ids::kLinear, ids::kPdf417}));
  EXPECT_TRUE(reader_.FailedKeys().empty());
}

TEST_F(SymbologyPageTest, SaveWithoutChangesWritesOneAndZeroBack) {
  SeedAll({"1", "0", "1", "0", "0", "0"});
  Load();
  Save();

  EXPECT_TRUE(page_.IsChecked(ids::kQr));
  EXPECT_FALSE(page_.IsChecked(ids::kDm));
  EXPECT_EQ(sim_.Sets(), (Lines{"SET qrcode=1", "SET dmcode=0", "SET onecode=1",
                                "SET pdf417code=0", "SET anticode=0", "SET mirrorcode=0"}));
  EXPECT_TRUE(writer_.FailedKeys().empty());
}

// Only the exact text "1" enables; anything else is written back as "0".
TEST_F(SymbologyPageTest, ValuesOtherThanExactlyOneAreSavedAsZero) {
  SeedAll({"01", "1 ", "", "2", "1", "2"});
  Load();
  EXPECT_EQ(page_.CheckedIds(), std::set<int>{ids::kInverse});

  Save();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET qrcode=0", "SET dmcode=0", "SET onecode=0",
                                "SET pdf417code=0", "SET anticode=1", "SET mirrorcode=0"}));
  EXPECT_EQ(sim_.scanner().Value("mirrorcode"), "0");
}

// The user cannot reach the hidden boxes, so their loaded state is what Save
// writes: an inverse-code "1" survives a Save the user never saw it in.
TEST_F(SymbologyPageTest, HiddenBoxesKeepTheirLoadedStateAgainstClicks) {
  SeedAll({"0", "0", "0", "0", "1", "0"});
  Load();
  page_.Click(ids::kInverse);
  page_.Click(ids::kMirror);
  Save();

  EXPECT_EQ(sim_.Sets()[4], "SET anticode=1");
  EXPECT_EQ(sim_.Sets()[5], "SET mirrorcode=0");
}

TEST_F(SymbologyPageTest, UncheckingLinearCodesWritesZeroAsTheThirdSet) {
  SeedAll({"1", "1", "1", "1", "1", "1"});
  Load();
  page_.Click(ids::kLinear);
  Save();

  EXPECT_EQ(sim_.Sets(), (Lines{"SET qrcode=1", "SET dmcode=1", "SET onecode=0",
                                "SET pdf417code=1", "SET anticode=1", "SET mirrorcode=1"}));
  EXPECT_EQ(sim_.scanner().Value("onecode"), "0");
}

TEST_F(SymbologyPageTest, RefusedGetsLeaveAllUncheckedAndSaveWritesZeros) {
  SeedAll({"1", "1", "1", "1", "1", "1"});
  sim_.scanner().Faults().refusedCommands = {0x08};
  Load();

  EXPECT_EQ(reader_.FailedKeys(), kSixKeys);
  EXPECT_TRUE(page_.CheckedIds().empty());

  Save();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET qrcode=0", "SET dmcode=0", "SET onecode=0",
                                "SET pdf417code=0", "SET anticode=0", "SET mirrorcode=0"}));
  for (const std::string& key : kSixKeys) EXPECT_EQ(sim_.scanner().Value(key), "0") << key;
}

// A scanner that goes quiet after the handshake: every get times out, every
// set is still issued, and both failures are on record for the window.
TEST_F(SymbologyPageTest, SilentScannerFailsEveryKeyButEverySetIsIssued) {
  SeedAll({"1", "1", "1", "1", "1", "1"});
  sim_.scanner().Faults().silentFrom = 2;
  Load();

  EXPECT_EQ(reader_.FailedKeys(), kSixKeys);
  EXPECT_TRUE(page_.CheckedIds().empty());

  Save();
  EXPECT_EQ(sim_.Sets(), (Lines{"SET qrcode=0", "SET dmcode=0", "SET onecode=0",
                                "SET pdf417code=0", "SET anticode=0", "SET mirrorcode=0"}));
  EXPECT_EQ(writer_.FailedKeys(), kSixKeys);
}

}  // namespace
}  // namespace lumiq
