// restore reads back what it wrote: a scanner that acknowledges a set but
// keeps another value is caught, named and fails the run.

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/frame_codec.h"
#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(ZrctlVerify, ReadBackCatchesAValueTheScannerDidNotKeep) {
  sim::SimulatedScanner clean;
  sim::SimulatedScanner faulty;
  sim::SeedDemoScanner(clean);
  sim::SeedDemoScanner(faulty);
  clean.Set("deviceno", "A-1");
  faulty.Set("deviceno", "B-2");
  // Acknowledged, but the scanner keeps a value of its own.
  faulty.Faults().keptValues = {{"codeprefix", std::string("SN\x02", 3)}};
  sim::SimPlatform platform;
  platform.AddScanner(&clean);
  platform.AddScanner(&faulty);
  const std::string path0 = sim::SimPlatform::PathOf(0, 1);
  const std::string path1 = sim::SimPlatform::PathOf(1, 1);
  TempFolder folder;
  const std::string file = folder.File("golden.profile");
  TempFolder::Write(file, "qrcode=0\ncodeprefix=SN\\x01\ndeviceno=GOLD\n");

  // One scanner that keeps what it is sent: read back after the commit, in
  // file order, and nothing named.
  const ZrctlResult one = RunZrctl({"--device", path0, "restore", file}, &platform);
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, "restored 3 settings, committed, verified\n");
  EXPECT_EQ(Record(clean),
            (std::vector<std::string>{"HANDSHAKE", "SET qrcode=0", "SET codeprefix=SN\\x01",
                                      "SET deviceno=GOLD", "COMMIT", "GET qrcode",
                                      "GET codeprefix", "GET deviceno"}));
  clean.Set("deviceno", "A-1");
  clean.ClearReceived();

  // The fleet: the faulty key on its own line, sent and stored with the
  // escapes, and each scanner's closing line with its device number.
  const ZrctlResult fleet = RunZrctl({"--all", "restore", file}, &platform);
  EXPECT_EQ(fleet.status, 1);
  const std::string note =
      "; deviceno not sent: each scanner keeps its own (--with-deviceno sends it)";
  EXPECT_EQ(Lines(fleet.out),
            (std::vector<std::string>{"restored 2 settings, committed, verified" + note,
                                      path0 + " (port 1-1, deviceno A-1): ok",
                                      "codeprefix: sent=SN\\x01 stored=SN\\x02",
                                      "restored 2 settings, committed, 1 not stored as sent" + note,
                                      path1 + " (port 1-2, deviceno B-2): failed: codeprefix"}));
  EXPECT_EQ(faulty.Value("codeprefix"), std::string("SN\x02", 3));

  // --no-verify: the same scanner passes, and nothing is read after the
  // commit.
  faulty.ClearReceived();
  const ZrctlResult unchecked =
      RunZrctl({"--device", path1, "restore", "--no-verify", file}, &platform);
  EXPECT_EQ(unchecked.status, 0) << unchecked.err;
  EXPECT_EQ(unchecked.out, "restored 3 settings, committed\n");
  EXPECT_EQ(Record(faulty).back(), "COMMIT");

  // A read-back that fails is a failed key too.
  faulty.Faults().keptValues.clear();
  faulty.Faults().refusedCommands = {CommandFrame::kCommandGet};
  const ZrctlResult unread = RunZrctl({"--all", "restore", file}, &platform);
  EXPECT_EQ(unread.status, 1);
  EXPECT_THAT(unread.out, HasSubstr("qrcode: sent=0 not read back: no answer or refused by the "
                                    "scanner (GetSetting -1)\n"));
  EXPECT_THAT(unread.out, HasSubstr(path1 + " (port 1-2, deviceno not read): failed: qrcode, codeprefix\n"));

  // One that does not answer at all still has its port on its line.
  faulty.Faults().silentFrom = faulty.CommandCount() + 1;
  const ZrctlResult silent = RunZrctl({"--all", "restore", file}, &platform);
  EXPECT_EQ(silent.status, 1);
  EXPECT_THAT(silent.out, HasSubstr(path1 + " (port 1-2): failed: the scanner at " + path1 +
                                    " did not answer the handshake (OpenDeviceAt -3)\n"));

  // --dry-run opens nothing, so verifies nothing.
  clean.ClearReceived();
  const ZrctlResult plan = RunZrctl({"restore", "--dry-run", file}, &platform);
  EXPECT_EQ(plan.status, 0);
  EXPECT_THAT(plan.out, Not(HasSubstr("GET")));
  EXPECT_TRUE(Record(clean).empty());

  // The option belongs to restore.
  EXPECT_EQ(RunZrctl({"--no-verify", "get", "qrcode"}, &platform).status, 2);
}

}  // namespace
}  // namespace lumiq::test
