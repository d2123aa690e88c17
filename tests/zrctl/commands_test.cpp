// version, get, set, commit, list and --trace against one simulated scanner
// behind the real discovery, link and codec.

#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/hid_transport.h"
#include "res/udev_rule.h"
#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "tests/support/sim_fixture.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/commands.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;

class ZrctlCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::SeedDemoScanner(sim_.scanner()); }

  ZrctlResult Run(const std::vector<std::string>& args) {
    return RunZrctl(args, &sim_.platform());
  }
  sim::SimulatedScanner& scanner() { return sim_.scanner(); }
  const std::vector<sim::ReceivedCommand>& Received() { return sim_.scanner().Received(); }

  SimScannerFixture sim_;
};

TEST_F(ZrctlCommandTest, GetPrintsEachKeyEscapedAsInSeedFiles) {
  scanner().Set("codeprefix", std::string("a\\b\x01\xFF", 5));

  const ZrctlResult result = Run({"get", "qrcode", "codeprefix"});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "qrcode=1\ncodeprefix=a\\\\b\\x01\\xFF\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Record(scanner()),
            (std::vector<std::string>{"HANDSHAKE", "GET qrcode", "GET codeprefix"}));
}

TEST_F(ZrctlCommandTest, GetGoesOnPastARefusedKeyAndExitsOne) {
  scanner().Faults().refusedKeys = {"dmcode"};

  const ZrctlResult result = Run({"get", "qrcode", "dmcode", "onecode"});

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "qrcode=1\nonecode=1\n");
  EXPECT_THAT(result.err, HasSubstr("get dmcode failed"));
  EXPECT_THAT(result.err, HasSubstr("(GetSetting -1)"));
}

TEST_F(ZrctlCommandTest, SetSendsUnescapedValuesInOrderAndCommitsInTheSameRun) {
  const ZrctlResult result =
      Run({"set", "--commit", "codeprefix=a\\x3Db\\\\\\x00", "qrcode=0", "codepostfix="});

  EXPECT_EQ(result.status, 0) << result.err;
  ASSERT_EQ(Received().size(), 5u);
  EXPECT_EQ(Received()[1].command, 0x07);
  EXPECT_EQ(Received()[1].key, "codeprefix");
  EXPECT_EQ(Received()[1].value, std::string("a=b\\\0", 5));
  EXPECT_EQ(Received()[2].key, "qrcode");
  EXPECT_EQ(Received()[2].value, "0");
  EXPECT_EQ(Received()[3].key, "codepostfix");
  EXPECT_EQ(Received()[3].value, "");
  EXPECT_EQ(Received()[4].command, 0x09);
}

TEST_F(ZrctlCommandTest, SetWithoutCommitSendsNoCommitAndSaysSo) {
  const ZrctlResult result = Run({"set", "qrcode=0"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "zrctl: not committed: run zrctl commit, or set with --commit\n");
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE", "SET qrcode=0"}));
  EXPECT_EQ(Run({"set", "--commit", "qrcode=1"}).err, "");
}

TEST_F(ZrctlCommandTest, KeysAreUnescapedAndAnUnknownOneIsNotedInEveryCommand) {
  scanner().Set("myAkey", "v");
  const ZrctlResult get = Run({"get", "my\\x41key", "qr"});
  EXPECT_EQ(get.out, "myAkey=v\nqr=\n");
  EXPECT_EQ(get.err,
            "zrctl: note: myAkey is not a key zrctl knows\n"
            "zrctl: note: qr is not a key zrctl knows\n");
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE", "GET myAkey", "GET qr"}));
  EXPECT_THAT(Run({"set", "--commit", "qr=0"}).err,
              HasSubstr("zrctl: note: qr is not a key zrctl knows\n"));
  EXPECT_EQ(Run({"get", "qrcode"}).err, "");
  EXPECT_EQ(Run({"get", "my\\qkey"}).status, 2);
}

TEST_F(ZrctlCommandTest, AFailedSetIsReportedAndTheCommitStillGoesOut) {
  scanner().Faults().refusedKeys = {"qrcode"};

  const ZrctlResult result = Run({"set", "--commit", "qrcode=0", "dmcode=0"});

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("set qrcode failed: refused by the scanner (SetSetting -3)"));
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE", "SET qrcode=0",
                                                         "SET dmcode=0", "COMMIT"}));
  EXPECT_EQ(scanner().Value("dmcode"), "0");
}

TEST_F(ZrctlCommandTest, BadSetOperandsAreRefusedBeforeTheScannerIsOpened) {
  const std::vector<std::vector<std::string>> refused = {
      {"set", "qrcode"},                       // no '='
      {"set", "=1"},                           // no key
      {"set", "qrcode=\\q"},                   // bad escape
      {"set", "qrcode=1", "qrcode=0"},         // named twice
      {"set", "codeprefix=" + std::string(244, 'x')},  // 10 + 244 + 3 > 256
      {"get", std::string(256, 'k')},          // key longer than 255 bytes
  };
  for (const std::vector<std::string>& args : refused) {
    const ZrctlResult result = Run(args);
    EXPECT_EQ(result.status, 2) << args.back();
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr("zrctl: "));
  }
  EXPECT_TRUE(Received().empty());
}

TEST_F(ZrctlCommandTest, TheLongestSetThatFitsIsSent) {
  const std::string value(243, 'x');  // 10 + 243 + 3 = 256
  EXPECT_EQ(Run({"set", "codeprefix=" + value}).status, 0);
  EXPECT_EQ(scanner().Value("codeprefix"), value);
}

TEST_F(ZrctlCommandTest, CommitSendsOneCommitAndReportsARefusal) {
  EXPECT_EQ(Run({"commit"}).status, 0);
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE", "COMMIT"}));

  scanner().Faults().refusedCommands = {0x09};
  const ZrctlResult refused = Run({"commit"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("commit failed"));
  EXPECT_THAT(refused.err, HasSubstr("(CommitSettings -1)"));
}

TEST_F(ZrctlCommandTest, VersionPrintsTheFirmwareVersion) {
  scanner().Set("masterver", "V3.1.4");
  const ZrctlResult result = Run({"version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "V3.1.4\n");
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE", "GET masterver"}));

  scanner().Set("masterver", "");
  const ZrctlResult empty = Run({"version"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "");
  EXPECT_THAT(empty.err, HasSubstr("(GetVersion -1)"));
}

TEST_F(ZrctlCommandTest, TraceShowsEveryFrameOnStderrInUpperCaseHex) {
  const ZrctlResult result = Run({"--trace", "get", "qrcode"});

  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "qrcode=1\n");
  const std::vector<std::string> lines = Lines(result.err);
  ASSERT_EQ(lines.size(), 4u) << result.err;
  EXPECT_EQ(lines[0], "> 77 CC DD 01 00 00 00 67");
  EXPECT_EQ(lines[1].substr(0, 2), "< ");
  EXPECT_EQ(lines[2], "> 66 BB EE 08 00 06 00 71 72 63 6F 64 65 33");
  // Reply: status 0 at offset 5, data length K + 3 + 1 = 10, the value "1"
  // last before the checksum.
  EXPECT_EQ(lines[3].substr(0, 2), "< ");
  EXPECT_EQ(lines[3].substr(2 + 5 * 3, 8), "00 0A 00");
  EXPECT_EQ(lines[3].substr(lines[3].size() - 5, 2), "31");
}

TEST_F(ZrctlCommandTest, TraceShowsTheWorkedSetAndCommitFrames) {
  const ZrctlResult result = Run({"--trace", "set", "--commit", "qrcode=1"});
  const std::vector<std::string> lines = Lines(result.err);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "> 66 BB EE 07 00 0A 00 06 71 72 63 6F 64 65 01 00 31 06"),
            lines.end())
      << result.err;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "> 66 BB EE 09 00 00 00 3A"), lines.end());
}

TEST_F(ZrctlCommandTest, ListShowsBothInterfacesAndWhichOneIsUsed) {
  const ZrctlResult result = Run({"list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{
                sim::SimPlatform::PathOf(0, 0) + "  0525:A4AC  interface 0  not used  port 1-1",
                sim::SimPlatform::PathOf(0, 1) +
                    "  0525:A4AC  interface 1  used by zrctl  port 1-1  deviceno " +
                    scanner().Value("deviceno") + "  firmware " + scanner().Value("masterver")}));
  // Only the configuration interface is asked, and let go again.
  EXPECT_EQ(Record(scanner()),
            (std::vector<std::string>{"HANDSHAKE", "GET deviceno", "GET masterver"}));
  EXPECT_FALSE(scanner().IsHeld());
}

TEST_F(ZrctlCommandTest, DeviceSelectsOneInterface) {
  const ZrctlResult decoy = Run({"--device", sim::SimPlatform::PathOf(0, 0), "get", "qrcode"});
  EXPECT_EQ(decoy.status, 1);
  EXPECT_THAT(decoy.err, HasSubstr("did not answer the handshake (OpenDeviceAt -3)"));

  const ZrctlResult missing = Run({"--device=sim:scanner7/if1", "get", "qrcode"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err,
              HasSubstr("sim:scanner7/if1 is not there (unplugged?) (OpenDeviceAt -3)"));
  EXPECT_EQ(Lines(missing.err).size(), 1u);
}

TEST_F(ZrctlCommandTest, ASilentScannerIsReportedInOneLine) {
  scanner().Faults().silentFrom = 1;
  const ZrctlResult result = Run({"get", "qrcode"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(Lines(result.err),
            (std::vector<std::string>{"zrctl: the scanner at " + sim::SimPlatform::PathOf(0, 1) +
                                      " did not answer the handshake (OpenDevice -3)"}));
  EXPECT_EQ(Record(scanner()), (std::vector<std::string>{"HANDSHAKE"}));
}

TEST(ZrctlOpenTest, NoScannerAnywhere) {
  sim::SimPlatform nothing;
  const ZrctlResult get = RunZrctl({"get", "qrcode"}, &nothing);
  EXPECT_EQ(get.status, 1);
  EXPECT_EQ(Lines(get.err), (std::vector<std::string>{
                                "zrctl: no scanner found (vendor 0525, product A4AC, "
                                "interface 1) (OpenDevice -2)"}));

  const ZrctlResult list = RunZrctl({"list"}, &nothing);
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.out, "");
  EXPECT_THAT(list.err, HasSubstr("no scanner interface found"));
}

TEST(ZrctlOpenTest, APermissionErrorPointsToTheUdevRuleOnLinuxOnly) {
  const std::string message = zrctl::OpenFailureMessage("/dev/hidraw3", false, -3,
                                                         OpenFailure::kPermissionDenied);
#ifdef __linux__
  EXPECT_THAT(message, HasSubstr("no permission to open /dev/hidraw3 (OpenDeviceAt -3)"));
  EXPECT_THAT(message, HasSubstr("the package's udev rule "
                                 "/usr/lib/udev/rules.d/70-lumiq-scanner.rules lets only the "
                                 "user logged in at the seat (uaccess) and group lumiq-scanner "
                                 "open the scanner; an ssh session or a second user is refused "
                                 "unless in that group"));
  EXPECT_EQ(message.find("copy packaging/70-lumiq-scanner.rules to /etc/udev/rules.d/") !=
                std::string::npos,
            res::kSourceBuild);
#else
  EXPECT_EQ(message.find("udev"), std::string::npos);
#endif
  EXPECT_EQ(zrctl::OpenFailureMessage("/dev/hidraw3", false, -3, OpenFailure::kUnknown),
            "the scanner at /dev/hidraw3 could not be opened (OpenDeviceAt -3)");
}

// Each cause of a failed open, as the link tells it, in zrctl's one line
// (nothing there: DeviceSelectsOneInterface, NoScannerAnywhere); none of
// these runs sends the scanner anything.
TEST(ZrctlOpenTest, EachCauseOfAFailedOpenIsNamed) {
  sim::SimulatedScanner scanner;
  sim::SimPlatform devices;
  devices.AddScanner(&scanner);
  const std::string path = sim::SimPlatform::PathOf(0, 1);

  // Another program's link holds the scanner.
  {
    sim::SimPlatform otherProgram;
    otherProgram.AddScanner(&scanner);
    HidLink held(otherProgram);
    ASSERT_EQ(held.OpenHandles(path.c_str()), 0);
    const ZrctlResult inUse = RunZrctl({"get", "qrcode"}, &devices);
    EXPECT_EQ(inUse.status, 1);
    EXPECT_EQ(Lines(inUse.err),
              (std::vector<std::string>{"zrctl: the scanner at " + path +
                                        " is in use by another program (OpenDevice -3): close "
                                        "the other program, or wait for it to finish"}));
  }

  devices.SetAccessDenied(true);
  const ZrctlResult denied = RunZrctl({"version"}, &devices);
  EXPECT_EQ(denied.status, 1);
  EXPECT_THAT(denied.err, HasSubstr("zrctl: no permission to open " + path + " (OpenDevice -3)"));
#ifdef __linux__
  EXPECT_THAT(denied.err, HasSubstr("/usr/lib/udev/rules.d/70-lumiq-scanner.rules"));
#endif
  devices.SetAccessDenied(false);
  EXPECT_TRUE(scanner.Received().empty());

  // Once the other program has let go, the same run goes through.
  const ZrctlResult after = RunZrctl({"get", "qrcode"}, &devices);
  EXPECT_EQ(after.status, 0) << after.err;
}

}  // namespace
}  // namespace lumiq::test
