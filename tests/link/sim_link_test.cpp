// The device commands against the simulated scanner, through discovery, the
// HID link and the codec: what the scanner received is the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/device_commands.h"
#include "link/hid_transport.h"
#include "sim/sim_platform.h"
#include "tests/support/sim_fixture.h"

namespace lumiq::test {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(SimLink, OpenHandshakesOnceOnTheConfigurationInterface) {
  SimScannerFixture sim;
  ASSERT_EQ(OpenDevice(), kOpened);
  EXPECT_EQ(sim.Trace(), Lines{"HANDSHAKE"});
  EXPECT_TRUE(IsDeviceOpen());
}

TEST(SimLink, SilentScannerFailsTheOpenAndLaterCommandsAtOnce) {
  SimScannerFixture sim;
  sim.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(OpenDevice(), kOpenNoAnswer);
  EXPECT_FALSE(IsDeviceOpen());
  char value[kValueBufferSize] = "untouched";
  EXPECT_EQ(GetSetting("qrcode", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "untouched");
  EXPECT_EQ(sim.Trace(), Lines{"HANDSHAKE"}) << "the get never reached the scanner";
}

TEST(SimLink, GetSetCommitVersionInOrder) {
  SimScannerFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Set("masterver", "ZR-1.0.7");
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = {};
  EXPECT_EQ(GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "1");
  EXPECT_EQ(GetSetting("absent", value, sizeof value), 0);
  EXPECT_EQ(value[0], '\0');
  EXPECT_EQ(SetSetting("workmode", "1"), 0);
  EXPECT_EQ(SetSetting("com1_baudrate", ""), 0);
  EXPECT_EQ(CommitSettings(), 0);
  char version[kLongValueBufferSize] = {};
  int length = 0;
  EXPECT_EQ(GetVersion(version, sizeof version, &length), 8);
  EXPECT_EQ(std::string(version), "ZR-1.0.7");

  EXPECT_EQ(sim.Trace(), (Lines{"GET qrcode", "GET absent", "SET workmode=1", "SET com1_baudrate=",
                                "COMMIT", "GET masterver"}));
  EXPECT_EQ(sim.scanner().Value("workmode"), "1");
}

TEST(SimLink, ValuesAreBytesBothWays) {
  SimScannerFixture sim;
  ASSERT_EQ(sim.Connect(), kOpened);
  const std::string bytes = "a\0b\xFF"s;
  EXPECT_EQ(SetSetting("prefix", bytes), 0);
  EXPECT_EQ(sim.scanner().Value("prefix"), bytes);
  char value[kValueBufferSize] = {};
  EXPECT_EQ(GetSetting("prefix", value, sizeof value), 4);
  EXPECT_EQ(std::string(value, 4), bytes);
}

TEST(SimLink, LongestValuesRoundTrip) {
  SimScannerFixture sim;
  const std::string url(1000, 'u');
  sim.scanner().Set("wifi0_httpph", url);
  ASSERT_EQ(sim.Connect(), kOpened);
  char value[kLongValueBufferSize] = {};
  EXPECT_EQ(GetSetting("wifi0_httpph", value, sizeof value), 1000);
  EXPECT_EQ(std::string(value), url);

  const std::string longest(256 - 3 - 6, 'p');
  EXPECT_EQ(SetSetting("prefix", longest), 0);
  EXPECT_EQ(SetSetting("prefix", longest + "p"), -1);
  EXPECT_EQ(sim.Sets(), Lines{"SET prefix=" + longest});
}

TEST(SimLink, RefusalsAreReported) {
  SimScannerFixture sim;
  sim.scanner().Set("locked", "v");
  sim.scanner().Faults().refusedKeys = {"locked"};
  ASSERT_EQ(sim.Connect(), kOpened);
  char value[kValueBufferSize] = "before";
  EXPECT_EQ(GetSetting("locked", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "before");
  EXPECT_EQ(SetSetting("locked", "w"), kTransactRefused);
  sim.scanner().Faults().refusedCommands = {0x09};
  EXPECT_EQ(CommitSettings(), -1);
  EXPECT_EQ(sim.Trace(), (Lines{"GET locked", "SET locked=w", "COMMIT"}));
}

TEST(SimLink, LeftoverReportsNeverAnswerTheNextRequest) {
  SimScannerFixture sim;
  sim.scanner().Set("a", "first");
  sim.scanner().Set("b", "second");
  sim.scanner().Set("c", "third");
  // Command 1 is the handshake; 2 is the first get below.
  sim.scanner().Faults().lateReplyAt = 2;
  sim.scanner().Faults().strayReportAfter = 3;
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = {};
  EXPECT_EQ(GetSetting("a", value, sizeof value), -1) << "the reply came too late";
  EXPECT_EQ(GetSetting("b", value, sizeof value), 6);
  EXPECT_EQ(std::string(value), "second");
  EXPECT_EQ(GetSetting("c", value, sizeof value), 5);
  EXPECT_EQ(std::string(value), "third");
}

TEST(SimLink, CommitReplyWithDataFailsAndTheLinkStaysInStep) {
  SimScannerFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Faults().replyPadding = 100;  // set and commit replies span three reports
  ASSERT_EQ(sim.Connect(), kOpened);
  EXPECT_EQ(SetSetting("qrcode", "0"), 0);
  EXPECT_EQ(CommitSettings(), -1);
  char value[kValueBufferSize] = {};
  EXPECT_EQ(GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "0");
}

TEST(SimLink, InvalidTransferBeforeAReplyFailsOnlyThatCommand) {
  for (bool wrongSize : {true, false}) {
    SCOPED_TRACE(wrongSize ? "wrong size" : "report id 1");
    SimScannerFixture sim;
    sim.scanner().Set("qrcode", "1");
    if (wrongSize) {
      sim.scanner().Faults().wrongSizeReportAt = 2;
    } else {
      sim.scanner().Faults().nonZeroReportIdAt = 2;
    }
    ASSERT_EQ(sim.Connect(), kOpened);
    char value[kValueBufferSize] = {};
    EXPECT_EQ(GetSetting("qrcode", value, sizeof value), -1);
    EXPECT_EQ(value[0], '\0');
    EXPECT_EQ(GetSetting("qrcode", value, sizeof value), 1);
    EXPECT_EQ(std::string(value), "1");
  }
}

// A refusal whose data fill two reports, the second still crossing when the
// next request goes out: read to its end, it never answers that request. Its
// zero-filled second report would read as a success with no data.
TEST(SimLink, RefusalSpanningTwoReportsNeverAnswersTheNextCommand) {
  SimScannerFixture sim;
  sim.scanner().Set("qrcode", "1");
  sim.scanner().Faults().refusedKeys = {"locked", "sealed"};
  sim.scanner().Faults().refusalData = 100;  // 109-byte frame: two reports
  sim.scanner().Faults().continuationsInFlight = true;
  ASSERT_EQ(sim.Connect(), kOpened);

  char value[kValueBufferSize] = "before";
  EXPECT_EQ(GetSetting("locked", value, sizeof value), -1);
  EXPECT_EQ(std::string(value), "before");
  // Refused in its own reply, not taken as done from the leftover report.
  EXPECT_EQ(SetSetting("sealed", "1"), kTransactRefused);
  EXPECT_EQ(SetSetting("qrcode", "0"), 0);
  EXPECT_EQ(GetSetting("qrcode", value, sizeof value), 1);
  EXPECT_EQ(std::string(value), "0");
  EXPECT_EQ(CommitSettings(), 0);
  EXPECT_EQ(sim.Trace(), (Lines{"GET locked", "SET sealed=1", "SET qrcode=0", "GET qrcode",
                                "COMMIT"}));
}

// Why an open failed, as the connection tells it; the link holds the scanner
// against another program, not against the connection's own next open, and
// is let go when its platform is taken away.
TEST(SimLink, OpenFailuresNameTheirCause) {
  SimScannerFixture sim;
  sim.scanner().Faults().silentFrom = 1;
  EXPECT_EQ(OpenDevice(), kOpenNoAnswer);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNoAnswer);
  sim.scanner().Faults().silentFrom = 0;
  EXPECT_EQ(OpenDeviceAt("sim:scanner3/if1"), kOpenNoAnswer);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNotFound);

  ASSERT_EQ(OpenDevice(), kOpened);
  EXPECT_EQ(LastOpenFailure(), OpenFailure::kNone);
  ASSERT_EQ(OpenDevice(), kOpened) << "refused by its own earlier link";
  sim::SimPlatform otherProgram;
  otherProgram.AddScanner(&sim.scanner());
  HidLink other(otherProgram);
  EXPECT_EQ(other.OpenHandles(sim::SimPlatform::PathOf(0, 1).c_str()), -1);
  EXPECT_EQ(otherProgram.LastOpenFailure(), OpenFailure::kInUse);

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
