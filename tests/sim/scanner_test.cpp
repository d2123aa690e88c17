#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "sim/simulated_scanner.h"
#include "tests/sim/sim_wire.h"
#include "tests/support/sim_fixture.h"

namespace lumiq::test {
namespace {

using sim::SimulatedScanner;

std::vector<std::string> TraceOf(const SimulatedScanner& scanner) {
  std::vector<std::string> lines;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

// --- frames and replies -----------------------------------------------------

TEST(SimulatedScannerTest, HandshakeIsAnsweredInOneReportEchoingItsHeader) {
  SimulatedScanner scanner;
  ASSERT_TRUE(SendFrame(scanner, HandshakeFrame()));
  const auto transfers = TakeAll(scanner);
  ASSERT_EQ(transfers.size(), 1u);
  ASSERT_EQ(transfers[0].size(), 65u);
  EXPECT_EQ(transfers[0][0], 0x00);
  EXPECT_EQ(std::vector<uint8_t>(transfers[0].begin() + 1, transfers[0].begin() + 9),
            std::vector<uint8_t>({0x77, 0xCC, 0xDD, 0x01, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(transfers[0][9], 0x77 ^ 0xCC ^ 0xDD ^ 0x01);
  for (size_t i = 10; i < 65; ++i) EXPECT_EQ(transfers[0][i], 0) << i;
  EXPECT_EQ(TraceOf(scanner), std::vector<std::string>{"HANDSHAKE"});
}

TEST(SimulatedScannerTest, GetAnswersKeyLengthKeyValueLengthValue) {
  SimulatedScanner scanner;
  scanner.Set("qrcode", "1");
  const Reply reply = Exchange(scanner, RequestFrame(0x08, "qrcode"));
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.length, 6u + 3u + 1u);
  EXPECT_EQ(reply.data, std::string("\x06qrcode\x01\x00" "1", 10));
  EXPECT_TRUE(reply.checksumOk);
  EXPECT_EQ(std::vector<uint8_t>(reply.bytes.begin(), reply.bytes.begin() + 5),
            std::vector<uint8_t>({0x66, 0xBB, 0xEE, 0x08, 0x00}));
}

TEST(SimulatedScannerTest, GetOfAnUnknownKeyAnswersAnEmptyValue) {
  SimulatedScanner scanner;
  const Reply reply = Exchange(scanner, RequestFrame(0x08, "nosuchkey"));
  EXPECT_EQ(reply.status, 0);
  EXPECT_EQ(reply.data, std::string("\x09nosuchkey\x00\x00", 12));
  EXPECT_TRUE(scanner.Settings().empty()) << "a get must not create the key";
}

TEST(SimulatedScannerTest, LongValuesTravelBothWaysOverSeveralReports) {
  SimulatedScanner scanner;
  std::string value;
  for (int i = 0; i < 300; ++i) value += static_cast<char>(i * 7);  // every kind of byte, zeros too
  const auto setFrame = RequestFrame(0x07, SetPayload("wifi0_httpph", value));
  ASSERT_GT(setFrame.size(), 256u);  // five request reports
  const Reply setReply = Exchange(scanner, setFrame);
  EXPECT_EQ(setReply.status, 0);
  EXPECT_EQ(setReply.length, 0u);
  EXPECT_EQ(scanner.Value("wifi0_httpph"), value);

  SendFrame(scanner, RequestFrame(0x08, "wifi0_httpph"));
  const auto transfers = TakeAll(scanner);
  const size_t length = 12 + 3 + value.size();
  EXPECT_EQ(transfers.size(), (length + 9 + 63) / 64);
  const Reply getReply = ParseReply(transfers);
  EXPECT_EQ(getReply.length, length);
  EXPECT_EQ(getReply.data.substr(getReply.data.size() - value.size()), value);
  EXPECT_TRUE(getReply.checksumOk);
}

TEST(SimulatedScannerTest, ReportsOutsideAFrameAreIgnoredAndFramesAreAssembledByLength) {
  SimulatedScanner scanner;
  uint8_t junk[64] = {0x00, 0x66, 0xBB, 0xEE, 0x08};  // a frame shifted by a report id
  EXPECT_TRUE(scanner.AcceptReport(junk));
  EXPECT_EQ(scanner.CommandCount(), 0);
  EXPECT_TRUE(TakeAll(scanner).empty());

  // A set of 57 payload bytes is 65 bytes long: its checksum alone is in
  // the second report, and nothing may be answered before it arrives.
  const std::string value(57 - 3 - 3, 'v');
  const auto frame = RequestFrame(0x07, SetPayload("key", value));
  ASSERT_EQ(frame.size(), 65u);
  uint8_t first[64];
  std::copy(frame.begin(), frame.begin() + 64, first);
  EXPECT_TRUE(scanner.AcceptReport(first));
  EXPECT_TRUE(scanner.Received().empty());
  EXPECT_TRUE(TakeAll(scanner).empty());
  uint8_t second[64] = {frame[64]};
  EXPECT_TRUE(scanner.AcceptReport(second));
  EXPECT_EQ(TraceOf(scanner), std::vector<std::string>{"SET key=" + value});
  EXPECT_EQ(ParseReply(TakeAll(scanner)).status, 0);
}

TEST(SimulatedScannerTest, CommitAnswersEmptyAndThenCallsOnCommit) {
  SimulatedScanner scanner;
  int commits = 0;
  size_t queuedAtCommit = 0;
  scanner.onCommit = [&] {
    ++commits;
    std::vector<uint8_t> transfer;
    while (scanner.TakeInput(&transfer)) ++queuedAtCommit;
  };
  SendFrame(scanner, RequestFrame(0x09, ""));
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(queuedAtCommit, 1u) << "the reply goes out before the commit's work";

  scanner.Faults().refusedCommands = {0x09};
  const Reply refused = Exchange(scanner, RequestFrame(0x09, ""));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(commits, 1) << "a refused commit commits nothing";
}

TEST(SimulatedScannerTest, UnknownCommandsAndBadFramesAreRefused) {
  SimulatedScanner scanner;
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x42, "")).status, 1);

  auto badChecksum = RequestFrame(0x07, SetPayload("qrcode", "1"));
  badChecksum.back() ^= 0xFF;
  EXPECT_EQ(Exchange(scanner, badChecksum).status, 1);

  // A value length pointing past the payload.
  std::string shortPayload = SetPayload("qrcode", "1");
  shortPayload[1 + 6] = 5;
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x07, shortPayload)).status, 1);

  EXPECT_TRUE(scanner.Settings().empty()) << "a refused set must store nothing";
  EXPECT_EQ(TraceOf(scanner),
            (std::vector<std::string>{"UNKNOWN 0x42", "SET qrcode=1", "SET qrcode=1"}));
}

TEST(SimulatedScannerTest, TraceLinesEscapeEveryUnprintableByte) {
  SimulatedScanner scanner;
  SendFrame(scanner, RequestFrame(0x07, SetPayload("a\\b", std::string("x=\r\n\0\xFF", 6))));
  SendFrame(scanner, RequestFrame(0x08, "k\x7F"));
  SendFrame(scanner, RequestFrame(0x09, ""));
  EXPECT_EQ(TraceOf(scanner), (std::vector<std::string>{"SET a\\\\b=x=\\x0D\\x0A\\x00\\xFF",
                                                        "GET k\\x7F", "COMMIT"}));
}

// --- faults ------------------------------------------------------------------

TEST(SimulatedScannerFaultTest, SilentFromCommandNRecordsButNeverAnswers) {
  SimulatedScanner scanner;
  scanner.Faults().silentFrom = 2;
  EXPECT_EQ(Exchange(scanner, HandshakeFrame()).status, 0);
  SendFrame(scanner, RequestFrame(0x07, SetPayload("qrcode", "0")));
  SendFrame(scanner, RequestFrame(0x08, "qrcode"));
  EXPECT_TRUE(TakeAll(scanner).empty());
  scanner.NoteReadTimedOut();
  EXPECT_TRUE(TakeAll(scanner).empty()) << "a time-out must not conjure up a reply";
  EXPECT_EQ(TraceOf(scanner),
            (std::vector<std::string>{"HANDSHAKE", "SET qrcode=0", "GET qrcode"}));
}

TEST(SimulatedScannerFaultTest, UnplugFromCommandNRefusesThatCommandAndEverythingAfter) {
  SimulatedScanner scanner;
  scanner.Faults().unplugFrom = 2;
  ASSERT_TRUE(SendFrame(scanner, HandshakeFrame()));
  EXPECT_FALSE(SendFrame(scanner, RequestFrame(0x08, "qrcode")));
  EXPECT_TRUE(scanner.IsUnplugged());
  EXPECT_TRUE(TakeAll(scanner).empty()) << "the handshake reply went with the cable";
  EXPECT_FALSE(SendFrame(scanner, HandshakeFrame()));
  EXPECT_EQ(TraceOf(scanner), std::vector<std::string>{"HANDSHAKE"});
}

TEST(SimulatedScannerFaultTest, RefusedKeysAndCommandsAnswerStatusOne) {
  SimulatedScanner scanner;
  scanner.Set("dmcode", "1");
  scanner.Faults().refusedKeys = {"dmcode"};
  scanner.Faults().refusedCommands = {0x01};
  EXPECT_EQ(Exchange(scanner, HandshakeFrame()).status, 1);
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x08, "dmcode")).status, 1);
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x07, SetPayload("dmcode", "0"))).status, 1);
  EXPECT_EQ(scanner.Value("dmcode"), "1");
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x08, "qrcode")).status, 0);
}

TEST(SimulatedScannerFaultTest, LateReplyIsReleasedOnlyByATimedOutRead) {
  SimulatedScanner scanner;
  scanner.Set("qrcode", "1");
  scanner.Faults().lateReplyAt = 2;
  EXPECT_EQ(Exchange(scanner, HandshakeFrame()).status, 0);
  SendFrame(scanner, RequestFrame(0x08, "qrcode"));
  EXPECT_TRUE(TakeAll(scanner).empty());
  scanner.NoteReadTimedOut();
  const Reply late = ParseReply(TakeAll(scanner));
  EXPECT_EQ(late.status, 0);
  EXPECT_EQ(late.data, std::string("\x06qrcode\x01\x00" "1", 10));
  // Only that one reply was late.
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x09, "")).status, 0);
}

TEST(SimulatedScannerFaultTest, BadTransfersComeBeforeReplyNAndAStrayCopyAfterIt) {
  SimulatedScanner scanner;
  scanner.Faults().wrongSizeReportAt = 2;
  scanner.Faults().nonZeroReportIdAt = 2;
  scanner.Faults().strayReportAfter = 2;
  Exchange(scanner, HandshakeFrame());
  SendFrame(scanner, RequestFrame(0x08, "qrcode"));
  const auto transfers = TakeAll(scanner);
  ASSERT_EQ(transfers.size(), 4u);
  EXPECT_EQ(transfers[0].size(), 64u);
  EXPECT_EQ(transfers[1].size(), 65u);
  EXPECT_EQ(transfers[1][0], 0x01);
  EXPECT_NE(transfers[1][1 + 5], 0) << "a bad report taken for the reply must fail";
  EXPECT_EQ(transfers[2][0], 0x00);
  EXPECT_EQ(transfers[3], transfers[2]);
  EXPECT_EQ(ParseReply({transfers[2]}).status, 0);
  // The next exchange is clean.
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x09, "")).bytes.size(), 64u);
}

TEST(SimulatedScannerFaultTest, ReplyPaddingSpreadsSetAndCommitRepliesOverMoreReports) {
  SimulatedScanner scanner;
  scanner.Faults().replyPadding = 60;
  SendFrame(scanner, RequestFrame(0x07, SetPayload("qrcode", "1")));
  auto transfers = TakeAll(scanner);
  EXPECT_EQ(transfers.size(), 2u);
  EXPECT_EQ(ParseReply(transfers).length, 60u);
  SendFrame(scanner, RequestFrame(0x09, ""));
  EXPECT_EQ(ParseReply(TakeAll(scanner)).length, 60u);
  // Gets are as always.
  EXPECT_EQ(Exchange(scanner, RequestFrame(0x08, "qrcode")).length, 10u);
}

// --- the whole link against the scanner -----------------------------------------

TEST(SimulatedScannerLinkTest, DeviceCommandsRoundTripThroughTheScanner) {
  SimLinkFixture fixture;
  fixture.scanner().Set("masterver", "V2.0.7");
  ASSERT_EQ(fixture.Connect(), kOpened);
  EXPECT_TRUE(fixture.Trace().empty());

  EXPECT_EQ(fixture.link().SetSetting("deviceno", "ZR-1"), 0);
  char value[kValueBufferSize];
  EXPECT_EQ(fixture.link().GetSetting("deviceno", value, sizeof value), 4);
  EXPECT_STREQ(value, "ZR-1");
  EXPECT_EQ(fixture.link().GetSetting("unknown", value, sizeof value), 0);
  EXPECT_STREQ(value, "");
  char version[kLongValueBufferSize];
  int length = 0;
  EXPECT_EQ(fixture.link().GetVersion(version, sizeof version, &length), 6);
  EXPECT_EQ(fixture.link().CommitSettings(), 0);
  EXPECT_EQ(fixture.Trace(),
            (std::vector<std::string>{"SET deviceno=ZR-1", "GET deviceno", "GET unknown",
                                      "GET masterver", "COMMIT"}));
}

TEST(SimulatedScannerLinkTest, SilentScannerFailsEveryCommandWithoutWaiting) {
  SimLinkFixture fixture;
  fixture.scanner().Faults().silentFrom = 2;
  ASSERT_EQ(fixture.Connect(), kOpened);
  char value[kValueBufferSize];
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(fixture.link().GetSetting("qrcode", value, sizeof value), -1);
    EXPECT_LT(fixture.link().SetSetting("qrcode", "1"), 0);
  }
  EXPECT_EQ(fixture.link().CommitSettings(), -1);
  // Forty-one missed replies; a single real 2000 ms wait would show.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  EXPECT_EQ(fixture.Trace().size(), 41u);
}

}  // namespace
}  // namespace lumiq::test
