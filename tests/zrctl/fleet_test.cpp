// --all and --simulate=FILE: several scanners one after another, and
// simulated scanners whose committed settings outlive the run.

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;

class ZrctlFleetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SeedDemoScanner(first_);
    sim::SeedDemoScanner(second_);
    platform_.AddScanner(&first_);
    platform_.AddScanner(&second_);
  }
  ZrctlResult Run(const std::vector<std::string>& args) { return RunZrctl(args, &platform_); }

  sim::SimulatedScanner first_;
  sim::SimulatedScanner second_;
  sim::SimPlatform platform_;
  TempFolder folder_;
};

TEST_F(ZrctlFleetTest, AllReportsEveryScannerAndExitsOneWhenOneFails) {
  second_.Faults().silentFrom = 1;

  const ZrctlResult result = Run({"--all", "get", "qrcode"});

  EXPECT_EQ(result.status, 1);
  const std::string path1 = sim::SimPlatform::PathOf(1, 1);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{
                "qrcode=1", sim::SimPlatform::PathOf(0, 1) + ": ok",
                path1 + ": failed: the scanner at " + path1 +
                    " did not answer the handshake (OpenDeviceAt -3)"}));
  EXPECT_THAT(result.err, HasSubstr("did not answer"));
  EXPECT_EQ(Record(first_), (std::vector<std::string>{"HANDSHAKE", "GET qrcode"}));
  EXPECT_EQ(Record(second_), (std::vector<std::string>{"HANDSHAKE"}));
}

TEST_F(ZrctlFleetTest, AllRestoresOneProfileOntoEveryScanner) {
  const std::string file = folder_.File("fleet.profile");
  TempFolder::Write(file, "qrcode=0\nio_outputs=hid0\n");

  const ZrctlResult result = Run({"restore", file, "--all"});

  EXPECT_EQ(result.status, 0) << result.err;
  // The sets, the commit, the read-back, and the device number for the
  // closing line.
  const std::vector<std::string> expected = {"HANDSHAKE",  "SET qrcode=0",   "SET io_outputs=hid0",
                                             "COMMIT",     "GET qrcode",     "GET io_outputs",
                                             "GET deviceno"};
  EXPECT_EQ(Record(first_), expected);
  EXPECT_EQ(Record(second_), expected);
  const std::string deviceNumber = first_.Value("deviceno");
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{
                "restored 2 settings, committed, verified",
                sim::SimPlatform::PathOf(0, 1) + " (port 1-1, deviceno " + deviceNumber + "): ok",
                "restored 2 settings, committed, verified",
                sim::SimPlatform::PathOf(1, 1) + " (port 1-2, deviceno " + deviceNumber + "): ok"}));
}

TEST_F(ZrctlFleetTest, AllDiffTellsWhichScannerDiffers) {
  const std::string file = folder_.File("p");
  TempFolder::Write(file, "qrcode=1\n");
  second_.Set("qrcode", "0");

  const ZrctlResult result = Run({"--all", "diff", file});

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{sim::SimPlatform::PathOf(0, 1) + ": ok",
                                      "qrcode: scanner=0 file=1",
                                      sim::SimPlatform::PathOf(1, 1) + ": differs"}));
}

TEST(ZrctlFleet, AllWithNoScannerExitsOne) {
  sim::SimPlatform nothing;
  const ZrctlResult result = RunZrctl({"--all", "version"}, &nothing);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("no scanner found"));
}

TEST(ZrctlSimulate, ACommittedSetIsSeenByTheNextRun) {
  TempFolder folder;
  const std::string seed = folder.File("scanner.seed");
  TempFolder::Write(seed, "# my scanner\nqrcode=1\nmasterver=V9\n");

  const ZrctlResult set =
      RunZrctl({"--simulate=" + seed, "set", "--commit", "qrcode=0", "codeprefix=x\\x01"});
  ASSERT_EQ(set.status, 0) << set.err;
  // Keys keep their place in the file, comments stay; new keys follow.
  EXPECT_EQ(TempFolder::Read(seed), "# my scanner\nqrcode=0\nmasterver=V9\ncodeprefix=x\\x01\n");

  const ZrctlResult get = RunZrctl({"--simulate=" + seed, "get", "qrcode", "codeprefix"});
  EXPECT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "qrcode=0\ncodeprefix=x\\x01\n");
}

TEST(ZrctlSimulate, ASetWithoutCommitIsLostLikeOnTheScanner) {
  TempFolder folder;
  const std::string seed = folder.File("scanner.seed");
  TempFolder::Write(seed, "qrcode=1\n");

  ASSERT_EQ(RunZrctl({"--simulate=" + seed, "set", "qrcode=0"}).status, 0);

  EXPECT_EQ(TempFolder::Read(seed), "qrcode=1\n");
  EXPECT_EQ(RunZrctl({"--simulate=" + seed, "get", "qrcode"}).out, "qrcode=1\n");
}

TEST(ZrctlSimulate, EachSimulateAddsAScanner) {
  TempFolder folder;
  const std::string a = folder.File("a.seed");
  const std::string b = folder.File("b.seed");
  TempFolder::Write(a, "qrcode=1\n");
  TempFolder::Write(b, "qrcode=1\n");

  const ZrctlResult result =
      RunZrctl({"--simulate=" + a, "--simulate=" + b, "--all", "set", "--commit", "qrcode=0"});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(TempFolder::Read(a), "qrcode=0\n");
  EXPECT_EQ(TempFolder::Read(b), "qrcode=0\n");
  EXPECT_EQ(Lines(result.out).size(), 2u);
}

// One golden profile on a fleet: every scanner takes its settings but keeps
// its own device number, unless asked; one scanner (a replacement) takes the
// number over, as before.
TEST(ZrctlSimulate, AllRestoreKeepsEachScannersDeviceNumber) {
  TempFolder folder;
  const std::string a = folder.File("a.seed");
  const std::string b = folder.File("b.seed");
  const std::string golden = folder.File("golden.profile");
  TempFolder::Write(golden, "qrcode=0\ndeviceno=GOLD\n");
  auto seed = [&] {
    TempFolder::Write(a, "qrcode=1\ndeviceno=A-1\n");
    TempFolder::Write(b, "qrcode=1\ndeviceno=B-2\n");
  };
  const std::vector<std::string> fleet = {"--simulate=" + a, "--simulate=" + b, "--all"};
  auto withFleet = [&](std::vector<std::string> args) {
    args.insert(args.begin(), fleet.begin(), fleet.end());
    return RunZrctl(args);
  };

  seed();
  const ZrctlResult kept = withFleet({"restore", golden});
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_EQ(TempFolder::Read(a), "qrcode=0\ndeviceno=A-1\n");
  EXPECT_EQ(TempFolder::Read(b), "qrcode=0\ndeviceno=B-2\n");
  const std::string keptLine =
      "restored 1 settings, committed, verified; deviceno not sent: each scanner keeps its own "
      "(--with-deviceno sends it)";
  EXPECT_EQ(Lines(kept.out),
            (std::vector<std::string>{keptLine, sim::SimPlatform::PathOf(0, 1) + " (port 1-1, deviceno A-1): ok",
                                      keptLine,
                                      sim::SimPlatform::PathOf(1, 1) + " (port 1-2, deviceno B-2): ok"}));
  const ZrctlResult plan = withFleet({"restore", "--dry-run", golden});
  EXPECT_EQ(plan.out,
            "# deviceno not sent: each scanner keeps its own (--with-deviceno sends it)\n"
            "SET qrcode=0\nCOMMIT\n");

  seed();
  const ZrctlResult asked = withFleet({"restore", "--with-deviceno", golden});
  EXPECT_EQ(asked.status, 0) << asked.err;
  EXPECT_EQ(TempFolder::Read(a), "qrcode=0\ndeviceno=GOLD\n");
  EXPECT_EQ(TempFolder::Read(b), "qrcode=0\ndeviceno=GOLD\n");
  EXPECT_THAT(asked.out, HasSubstr("restored 2 settings, committed, verified; deviceno sent as in the file"));

  seed();
  const ZrctlResult one = RunZrctl({"--simulate=" + a, "restore", golden});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, "restored 2 settings, committed, verified\n");
  EXPECT_EQ(TempFolder::Read(a), "qrcode=0\ndeviceno=GOLD\n");
}

TEST(ZrctlSimulate, TheDemoScannerNeedsNoFile) {
  const ZrctlResult result = RunZrctl({"--simulate", "get", "masterver"});
  sim::SimulatedScanner demo;
  sim::SeedDemoScanner(demo);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "masterver=" + demo.Value("masterver") + "\n");
}

TEST(ZrctlSimulate, AnUnreadableSeedFileIsReported) {
  TempFolder folder;
  const std::string missing = folder.File("missing.seed");
  const ZrctlResult result = RunZrctl({"--simulate=" + missing, "get", "qrcode"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr(missing));

  const std::string bad = folder.File("bad.seed");
  TempFolder::Write(bad, "qrcode=1\nnonsense\n");
  const ZrctlResult malformed = RunZrctl({"--simulate=" + bad, "get", "qrcode"});
  EXPECT_EQ(malformed.status, 1);
  EXPECT_THAT(malformed.err, HasSubstr(bad + ":2:"));
}

}  // namespace
}  // namespace lumiq::test
