// A scanner link against the simulated scanner, through discovery, the HID
// link and the codec: what the scanner received is the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/device_commands.h"
#include "link/hid_transport.h"
#include "link/scanner_link.h"
#include "sim/sim_platform.h"
#include "tests/support/sim_fixture.h"

namespace lumiq::test {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(SimLink, OpenHandshakesOnceOnTheConfigurationInterface) {
  SimLinkFixture sim;
  ASSERT_EQ(sim.link().Open().code, kOpened);
  EXPECT_EQ(sim.Trace(), Lines{"HANDSHAKE"});
  EXPECT_TRUE(sim.link().IsOpen());
}

TEST(SimLink, SilentScannerFailsTheOpenAndLaterCommandsAtOnce) {
  SimLinkFixture sim;
  sim.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(sim.link().Open().code, kOpenNoAnswer);
  EXPECT_FALSE(sim.link().IsOpen());
  char value[kValueBufferSize] = "untouched";
  EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "untouched");
  EXPECT_EQ(sim.Trace(), Lines{"HANDSHAKE"}) << "the get never reached the scanner";
}

TEST(SimLink, GetSetCommitVersionInOrder) {
  SimLinkFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Set("masterver", "ZR-1.0.7");
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = {};
  EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "1");
  EXPECT_EQ(sim.link().GetSetting("absent", value, sizeof value), 0);
  EXPECT_EQ(value[0], '\0');
  EXPECT_EQ(sim.link().SetSetting("workmode", "1"), 0);
  EXPECT_EQ(sim.link().SetSetting("com1_baudrate", ""), 0);
  EXPECT_EQ(sim.link().CommitSettings(), 0);
  char version[kLongValueBufferSize] = {};
  int length = 0;
  EXPECT_EQ(sim.link().GetVersion(version, sizeof version, &length), 8);
  EXPECT_EQ(std::string(version), "ZR-1.0.7");

  EXPECT_EQ(sim.Trace(), (Lines{"GET qrcode", "GET absent", "SET workmode=1", "SET com1_baudrate=",
                                "COMMIT", "GET masterver"}));
  EXPECT_EQ(sim.scanner().Value("workmode"), "1");
}

TEST(SimLink, ValuesAreBytesBothWays) {
  SimLinkFixture sim;
  ASSERT_EQ(sim.Connect(), kOpened);
  const std::string bytes = "a\0b\xFF"s;
  EXPECT_EQ(sim.link().SetSetting("prefix", bytes), 0);
  EXPECT_EQ(sim.scanner().Value("prefix"), bytes);
  char value[kValueBufferSize] = {};
  EXPECT_EQ(sim.link().GetSetting("prefix", value, sizeof value), 4);
  EXPECT_EQ(std::string(value, 4), bytes);
}

TEST(SimLink, LongestValuesRoundTrip) {
  SimLinkFixture sim;
  const std::string url(1000, 'u');
  sim.scanner().Set("wifi0_httpph", url);
  ASSERT_EQ(sim.Connect(), kOpened);
  char value[kLongValueBufferSize] = {};
  EXPECT_EQ(sim.link().GetSetting("wifi0_httpph", value, sizeof value), 1000);
  EXPECT_EQ(std::string(value), url);

  const std::string longest(256 - 3 - 6, 'p');
  EXPECT_EQ(sim.link().SetSetting("prefix", longest), 0);
  EXPECT_EQ(sim.link().SetSetting("prefix", longest + "p"), -1);
  EXPECT_EQ(sim.Sets(), Lines{"SET prefix=" + longest});
}

TEST(SimLink, RefusalsAreReported) {
  SimLinkFixture sim;
  sim.scanner().Set("locked", "v");
  sim.scanner().Faults().refusedKeys = {"locked"};
  ASSERT_EQ(sim.Connect(), kOpened);
  char value[kValueBufferSize] = "before";
  EXPECT_EQ(sim.link().GetSetting("locked", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "before");
  EXPECT_EQ(sim.link().SetSetting("locked", "w"), kTransactRefused);
  sim.scanner().Faults().refusedCommands = {0x09};
  EXPECT_EQ(sim.link().CommitSettings(), -1);
  EXPECT_EQ(sim.Trace(), (Lines{"GET locked", "SET locked=w", "COMMIT"}));
}

TEST(SimLink, LeftoverReportsNeverAnswerTheNextRequest) {
  SimLinkFixture sim;
  sim.scanner().Set("a", "first");
  sim.scanner().Set("b", "second");
  sim.scanner().Set("c", "third");
  // Command 1 is the handshake; 2 is the first get below.
  sim.scanner().Faults().lateReplyAt = 2;
  sim.scanner().Faults().strayReportAfter = 3;
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = {};
  EXPECT_EQ(sim.link().GetSetting("a", value, sizeof value), -1) << "the reply came too late";
  EXPECT_EQ(sim.link().GetSetting("b", value, sizeof value), 6);
  EXPECT_EQ(std::string(value), "second");
  EXPECT_EQ(sim.link().GetSetting("c", value, sizeof value), 5);
  EXPECT_EQ(std::string(value), "third");
}

TEST(SimLink, CommitReplyWithDataFailsAndTheLinkStaysInStep) {
  SimLinkFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Faults().replyPadding = 100;  // set and commit replies span three reports
  ASSERT_EQ(sim.Connect(), kOpened);
  EXPECT_EQ(sim.link().SetSetting("qrcode", "0"), 0);
  EXPECT_EQ(sim.link().CommitSettings(), -1);
  char value[kValueBufferSize] = {};
  EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "0");
}

TEST(SimLink, InvalidTransferBeforeAReplyFailsOnlyThatCommand) {
  for (bool wrongSize : {true, false}) {
    SCOPED_TRACE(wrongSize ? "wrong size" : "report id 1");
    SimLinkFixture sim;
    sim.scanner().Set("qrcode", "1");
    if (wrongSize) {
      sim.scanner().Faults().wrongSizeReportAt = 2;
    } else {
      sim.scanner().Faults().nonZeroReportIdAt = 2;
    }
    ASSERT_EQ(sim.Connect(), kOpened);
    char value[kValueBufferSize] = {};
    EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), -1);
    EXPECT_EQ(value[0], '\0');
    EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), 1);
    EXPECT_EQ(std::string(value), "1");
  }
}

// A refusal whose data fill two reports, the second still crossing when the
// next request goes out: read to its end, it never answers that request. Its
// zero-filled second report would read as a success with no data.
TEST(SimLink, RefusalSpanningTwoReportsNeverAnswersTheNextCommand) {
  SimLinkFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Faults().refusedKeys = {"locked", "sealed"};
  sim.scanner().Faults().refusalData = 100;  // 109-byte frame: two reports
  sim.scanner().Faults().continuationsInFlight = true;
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = "before";
  EXPECT_EQ(sim.link().GetSetting("locked", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "before");
  // Refused in its own reply, not taken as done from the leftover report.
  EXPECT_EQ(sim.link().SetSetting("sealed", "1"), kTransactRefused);
  EXPECT_EQ(sim.link().SetSetting("qrcode", "0"), 0);
  EXPECT_EQ(sim.link().GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "0");
  EXPECT_EQ(sim.link().CommitSettings(), 0);
  EXPECT_EQ(sim.Trace(), (Lines{"GET locked", "SET sealed=1", "SET qrcode=0", "GET qrcode",
                                "COMMIT"}));
}

// Why an open failed travels with that open; the link holds the scanner
// against every other link, in this program or another, not against its own
// next open.
TEST(SimLink, OpenFailuresNameTheirCause) {
  SimLinkFixture sim;
  sim.scanner().Faults().silentFrom = 1;
  const LinkOpenResult silent = sim.link().Open();
  EXPECT_EQ(silent.code, kOpenNoAnswer);
  EXPECT_EQ(silent.cause, OpenFailure::kNoAnswer);
  sim.scanner().Faults().silentFrom = 0;
  const LinkOpenResult absent = sim.link().OpenAt("sim:scanner3/if1");
  EXPECT_EQ(absent.code, kOpenNoAnswer);
  EXPECT_EQ(absent.cause, OpenFailure::kNotFound);

  const LinkOpenResult opened = sim.link().Open();
  ASSERT_EQ(opened.code, kOpened);
  EXPECT_EQ(opened.cause, OpenFailure::kNone);
  ASSERT_TRUE(sim.link().Open().Opened()) << "refused by its own earlier link";

  ScannerLink sameProgram(sim.platform());
  const LinkOpenResult taken = sameProgram.Open();
  EXPECT_EQ(taken.code, kOpenNoAnswer);
  EXPECT_EQ(taken.cause, OpenFailure::kInUse);
  sim::SimPlatform otherProgram;
  otherProgram.AddScanner(&sim.scanner());
  HidLink other(otherProgram);
  HidOpenResult refused;
  EXPECT_EQ(other.OpenHandles(sim::SimPlatform::PathOf(0, 1).c_str(), &refused), -1);
  EXPECT_EQ(refused.failure, OpenFailure::kInUse);

  sim.link().Close();
  EXPECT_TRUE(sameProgram.Open().Opened()) << "let go by the closed link";
  sim::SimPlatform empty;
  ScannerLink nowhere(empty);
  const LinkOpenResult none = nowhere.Open();
  EXPECT_EQ(none.code, kOpenNoScanner);
  EXPECT_EQ(none.cause, OpenFailure::kNotFound);
}

// The window's connection: one link on the platform plugged in, given up
// when that platform is taken away, and the last open's cause kept for the
// connect messages.
TEST(WindowConnection, FollowsThePlatformPluggedIn) {
  SimScannerFixture sim;
  sim.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(OpenDevice(), kOpenNoAnswer);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNoAnswer);
  sim.scanner().Faults().silentFrom = 0;
  ASSERT_EQ(OpenDevice(), kOpened);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNone);
  EXPECT_TRUE(IsDeviceOpen());

  sim::SimPlatform otherProgram;
  otherProgram.AddScanner(&sim.scanner());
  UseHidPlatform(&otherProgram);
  EXPECT_FALSE(IsDeviceOpen());
  EXPECT_EQ(OpenDevice(), kOpened) << "the scanner was let go with the platform";
  UseHidPlatform(&sim.platform());
  sim::SimPlatform empty;
  UseHidPlatform(&empty);
  EXPECT_EQ(OpenDevice(), kOpenNoScanner);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNotFound);
}

}  // namespace
}  // namespace lumiq::test
