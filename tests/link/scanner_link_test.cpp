#include "link/scanner_link.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/link/link_fakes.h"

namespace lumiq::test {
namespace {

using namespace std::string_literals;

// A scanner link's device commands over the real HidLink and discovery,
// with a scripted device behind the platform.
class ScannerLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_.AddScanner("usb#scanner"); }

  void Connect() {
    platform_.ScriptReply(0, {});
    ASSERT_EQ(link_.Open().code, kOpened);
    platform_.frames.clear();
    platform_.written.clear();
    platform_.reads.clear();
  }

  // The data bytes of the reports written, in order.
  std::vector<Bytes> ReportsWritten() const {
    std::vector<Bytes> reports;
    for (const auto& report : platform_.written) reports.emplace_back(report.begin(), report.end());
    return reports;
  }

  FakePlatform platform_;
  ScannerLink link_{platform_};
};

// --- open and handshake -----------------------------------------------------------

TEST_F(ScannerLinkTest, OpenSendsTheHandshakeOnInterfaceOne) {
  platform_.ScriptReply(0, {});
  ASSERT_EQ(link_.Open().code, kOpened);
  EXPECT_TRUE(link_.IsOpen());
  ASSERT_EQ(platform_.opens.size(), 2u);
  EXPECT_EQ(platform_.opens[0].first, FakePlatform::ScannerPath("usb#scanner", 1));
  ASSERT_EQ(platform_.written.size(), 1u);
  Bytes expected(kHidReportSize, 0);
  const Bytes handshake = Hex("77 CC DD 01 00 00 00 67");
  std::copy(handshake.begin(), handshake.end(), expected.begin() + 1);
  EXPECT_EQ(Bytes(platform_.written[0].begin(), platform_.written[0].end()), expected);
  EXPECT_EQ(platform_.ReplyReadTimeouts(), (std::vector<int>{2000}));
}

TEST_F(ScannerLinkTest, FailedHandshakeLeavesNoLink) {
  for (bool silent : {true, false}) {
    SCOPED_TRACE(silent ? "silent" : "refused");
    if (silent) {
      platform_.ScriptSilence();
    } else {
      platform_.ScriptReply(1, {});
    }
    EXPECT_EQ(link_.Open().code, kOpenNoAnswer);
    EXPECT_FALSE(link_.IsOpen());
    EXPECT_EQ(platform_.OpenHandleCount(), 0);

    // Later commands fail at once, with nothing sent and nothing awaited.
    const size_t writes = platform_.written.size();
    const size_t reads = platform_.reads.size();
    GuardedBuffer value(kValueBufferSize);
    EXPECT_EQ(link_.GetSetting("qrcode", value.chars(), value.size()), -1);
    EXPECT_EQ(link_.SetSetting("qrcode", "1"), -1);
    EXPECT_EQ(link_.CommitSettings(), -1);
    EXPECT_EQ(link_.Handshake(), -1);
    EXPECT_TRUE(value.Untouched());
    EXPECT_EQ(platform_.written.size(), writes);
    EXPECT_EQ(platform_.reads.size(), reads);
  }
}

TEST_F(ScannerLinkTest, HandshakeReplyStatusDecides) {
  Connect();
  Bytes reply(kReportSize, 0xFF);
  reply[5] = 0;  // every other byte is ignored
  platform_.ScriptTransfers({FakePlatform::Transfer(reply)});
  EXPECT_EQ(link_.Handshake(), 0);
  reply[5] = 0x80;
  platform_.ScriptTransfers({FakePlatform::Transfer(reply)});
  EXPECT_EQ(link_.Handshake(), -2);
  platform_.ScriptTransfers({FakePlatform::Transfer(reply, 0x01)});
  EXPECT_EQ(link_.Handshake(), -1);
}

TEST_F(ScannerLinkTest, DiscoveryFailureKeepsTheLinkHeld) {
  Connect();
  platform_.interfaces.clear();
  EXPECT_EQ(link_.Open().code, kOpenNoScanner);
  EXPECT_TRUE(link_.IsOpen());
  platform_.listResult = -1;
  EXPECT_EQ(link_.Open().code, kOpenOutOfMemory);
  EXPECT_TRUE(link_.IsOpen());

  platform_.ScriptReply(0, GetReplyData("qrcode", "1"));
  char value[kValueBufferSize] = {};
  EXPECT_EQ(link_.GetSetting("qrcode", value, sizeof value), 1);
}

TEST_F(ScannerLinkTest, LinkThatCannotBeOpenedLeavesNothingHalfMade) {
  platform_.failWriteOpen = true;
  EXPECT_EQ(link_.Open().code, kOpenNoAnswer);
  EXPECT_FALSE(link_.IsOpen());
  EXPECT_EQ(platform_.OpenHandleCount(), 0);
  EXPECT_TRUE(platform_.written.empty());
}

TEST_F(ScannerLinkTest, ReopenReplacesTheEarlierLink) {
  Connect();
  ASSERT_EQ(platform_.OpenHandleCount(), 2);
  const HidHandle oldRead = platform_.open[0].first;
  platform_.ScriptReply(0, {});
  ASSERT_EQ(link_.Open().code, kOpened);
  EXPECT_EQ(platform_.OpenHandleCount(), 2);
  EXPECT_NE(platform_.open[0].first, oldRead);
  EXPECT_EQ(link_.Close(), 0);
  EXPECT_EQ(platform_.OpenHandleCount(), 0);
  EXPECT_FALSE(link_.IsOpen());
}

TEST_F(ScannerLinkTest, OpenDeviceAtSkipsDiscovery) {
  platform_.interfaces.clear();
  platform_.ScriptReply(0, {});
  ASSERT_EQ(link_.OpenAt("/dev/hidraw7").code, kOpened);
  EXPECT_EQ(platform_.opens.at(0).first, "/dev/hidraw7");
}

// --- get ---------------------------------------------------------------------------

TEST_F(ScannerLinkTest, GetSendsTheKeyAndReturnsTheValue) {
  Connect();
  platform_.ScriptReply(0, GetReplyData("qrcode", "abc"));
  GuardedBuffer value(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("qrcode", value.chars(), value.size()), 3);
  EXPECT_EQ(std::string(value.chars()), "abc");
  EXPECT_TRUE(value.GuardsIntact());
  ASSERT_EQ(platform_.frames.size(), 1u);
  EXPECT_EQ(platform_.frames[0], Hex("66 BB EE 08 00 06 00 71 72 63 6F 64 65 33"));
  EXPECT_EQ(platform_.ReplyReadTimeouts(), (std::vector<int>{2000}));
}

TEST_F(ScannerLinkTest, GetReplyOfExactlyKeyPlusThreeIsAnEmptyValue) {
  Connect();
  Bytes data = BytesOf("\x06qrcode\x00\x00"s);
  platform_.ScriptReply(0, data);
  GuardedBuffer value(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("qrcode", value.chars(), value.size()), 0);
  EXPECT_EQ(value.data()[0], 0);
  EXPECT_EQ(value.data()[1], GuardedBuffer::kFill) << "only the terminator is written";
}

TEST_F(ScannerLinkTest, FailedGetLeavesTheValueUntouched) {
  Connect();
  platform_.ScriptReply(0, BytesOf("\x06qrcode\x00"s));  // K + 2 bytes
  platform_.ScriptReply(1, GetReplyData("qrcode", "1"));
  platform_.ScriptSilence();
  platform_.ScriptReply(0, {});
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    GuardedBuffer value(kValueBufferSize);
    EXPECT_EQ(link_.GetSetting("qrcode", value.chars(), value.size()), -1);
    EXPECT_TRUE(value.Untouched());
  }
}

TEST_F(ScannerLinkTest, LongValuesAreReadWholeOrRefused) {
  Connect();
  std::string thousand(1000, 'v');
  thousand[500] = '\0';  // values are bytes
  const std::string fills1024(1023, 'f');
  const std::string fits256(255, 's');
  platform_.ScriptReply(0, GetReplyData("wifi0_httpph", thousand));
  platform_.ScriptReply(0, GetReplyData("wifi0_httpph", fills1024));
  platform_.ScriptReply(0, GetReplyData("k", fits256));

  GuardedBuffer big(kLongValueBufferSize);
  EXPECT_EQ(link_.GetSetting("wifi0_httpph", big.chars(), big.size()), 1000);
  EXPECT_EQ(std::string(big.chars(), 1000), thousand);
  EXPECT_EQ(big.data()[1000], 0);
  EXPECT_TRUE(big.GuardsIntact());

  GuardedBuffer full(kLongValueBufferSize);
  EXPECT_EQ(link_.GetSetting("wifi0_httpph", full.chars(), full.size()), 1023);
  EXPECT_EQ(std::string(full.chars()), fills1024);
  EXPECT_TRUE(full.GuardsIntact());

  GuardedBuffer page(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("k", page.chars(), page.size()), 255);
  EXPECT_EQ(std::string(page.chars()), fits256);
  EXPECT_TRUE(page.GuardsIntact());

  // One byte more than fits, and far more than fits: refused, never cut.
  platform_.ScriptReply(0, GetReplyData("k", std::string(256, 'x')));
  platform_.ScriptReply(0, GetReplyData("qrcode", std::string(300, 'x')));
  platform_.ScriptReply(0, GetReplyData("wifi0_httpph", std::string(1024, 'x')));
  GuardedBuffer small1(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("k", small1.chars(), small1.size()), -1);
  EXPECT_TRUE(small1.Untouched());
  GuardedBuffer small2(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("qrcode", small2.chars(), small2.size()), -1);
  EXPECT_TRUE(small2.Untouched());
  GuardedBuffer big2(kLongValueBufferSize);
  EXPECT_EQ(link_.GetSetting("wifi0_httpph", big2.chars(), big2.size()), -1);
  EXPECT_TRUE(big2.Untouched());

  // The refused replies were read to their end: the next answer is the right one.
  platform_.ScriptReply(0, GetReplyData("qrcode", "1"));
  GuardedBuffer after(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("qrcode", after.chars(), after.size()), 1);
}

TEST_F(ScannerLinkTest, LateReplyIsNotTakenAsTheNextAnswer) {
  Connect();
  platform_.ScriptSilence();
  GuardedBuffer first(kValueBufferSize);
  EXPECT_EQ(link_.GetSetting("first", first.chars(), first.size()), -1);
  // The answer to the first get turns up after the tool gave up on it.
  for (const Bytes& report : CutReports(ReplyFrame(0, GetReplyData("first", "late")))) {
    platform_.QueueInput(FakePlatform::Transfer(report));
  }
  platform_.ScriptReply(0, GetReplyData("second", "mine"));
  char value[kValueBufferSize] = {};
  EXPECT_EQ(link_.GetSetting("second", value, sizeof value), 4);
  EXPECT_EQ(std::string(value), "mine");
}

// --- set, commit, version --------------------------------------------------------

TEST_F(ScannerLinkTest, SetFramesTheKeyAndValue) {
  Connect();
  platform_.ScriptReply(0, {});
  platform_.ScriptReply(0, {});
  platform_.ScriptReply(0, {});
  EXPECT_EQ(link_.SetSetting("qrcode", "1"), 0);
  EXPECT_EQ(link_.SetSetting("qrcode", ""), 0);
  EXPECT_EQ(link_.SetSetting("k", "a\0b"s), 0);
  ASSERT_EQ(platform_.frames.size(), 3u);
  EXPECT_EQ(platform_.frames[0],
            Hex("66 BB EE 07 00 0A 00 06 71 72 63 6F 64 65 01 00 31 06"));
  const Bytes emptyValue = platform_.frames[1];
  EXPECT_EQ(Bytes(emptyValue.begin() + 5, emptyValue.end() - 1),
            Hex("09 00 06 71 72 63 6F 64 65 00 00"));
  const Bytes withZero = platform_.frames[2];
  EXPECT_EQ(Bytes(withZero.begin() + 5, withZero.end() - 1),
            Hex("07 00 01 6B 03 00 61 00 62"));
}

TEST_F(ScannerLinkTest, SetOfSixtyFiveByteFrameTakesTwoReports) {
  Connect();
  platform_.ScriptReply(0, {});
  const std::string key = "key";
  const std::string value(57 - 3 - key.size(), 'v');  // payload 57
  EXPECT_EQ(link_.SetSetting(key, value), 0);
  const std::vector<Bytes> reports = ReportsWritten();
  ASSERT_EQ(reports.size(), 2u);
  Bytes second(kHidReportSize, 0);
  second[1] = platform_.frames[0].back();  // the checksum alone
  EXPECT_EQ(reports[1], second);
}

TEST_F(ScannerLinkTest, SetsThatDoNotFitAreRefusedUnsent) {
  Connect();
  // The longest key that leaves room for the value length: 253 bytes.
  const std::string key253(253, 'k');
  EXPECT_EQ(link_.SetSetting("", "1"), -1);
  EXPECT_EQ(link_.SetSetting(std::string(256, 'k'), ""), -1);
  EXPECT_EQ(link_.SetSetting(std::string(254, 'k'), ""), -1);
  EXPECT_EQ(link_.SetSetting(key253, "v"), -1);
  EXPECT_EQ(link_.SetSetting("qrcode", std::string(256 - 3 - 6 + 1, 'v')), -1);
  EXPECT_TRUE(platform_.written.empty());

  platform_.ScriptReply(0, {});
  platform_.ScriptReply(0, {});
  EXPECT_EQ(link_.SetSetting("qrcode", std::string(256 - 3 - 6, 'v')), 0);
  EXPECT_EQ(link_.SetSetting(key253, ""), 0);
  ASSERT_EQ(platform_.frames.size(), 2u);
  EXPECT_EQ(platform_.frames[0].size(), 264u);
  EXPECT_EQ(platform_.frames[1][7], 253);
}

TEST_F(ScannerLinkTest, SetAndCommitFailures) {
  Connect();
  platform_.ScriptReply(1, {});
  EXPECT_EQ(link_.SetSetting("qrcode", "1"), kTransactRefused);
  platform_.ScriptSilence();
  EXPECT_EQ(link_.SetSetting("qrcode", "1"), kTransactNoReply);
  platform_.ScriptReply(0, std::vector<uint8_t>(248, 0x5A));  // more than 256 bytes delivered
  EXPECT_EQ(link_.SetSetting("qrcode", "1"), kTransactNoReply);
  platform_.ScriptReply(0, std::vector<uint8_t>(247, 0x5A));
  EXPECT_EQ(link_.SetSetting("qrcode", "1"), 0);

  platform_.ScriptReply(0, Bytes{0x01});
  EXPECT_EQ(link_.CommitSettings(), -1) << "a commit reply carrying data";
  platform_.ScriptSilence();
  EXPECT_EQ(link_.CommitSettings(), -1);
  platform_.ScriptReply(1, {});
  EXPECT_EQ(link_.CommitSettings(), -1);
  platform_.frames.clear();
  platform_.ScriptReply(0, {});
  EXPECT_EQ(link_.CommitSettings(), 0);
  EXPECT_EQ(platform_.frames.at(0), Hex("66 BB EE 09 00 00 00 3A"));
}

TEST_F(ScannerLinkTest, VersionMustBeNonEmpty) {
  Connect();
  platform_.ScriptReply(0, GetReplyData("masterver", "V2.1.0"));
  platform_.ScriptReply(0, GetReplyData("masterver", ""));
  char value[kLongValueBufferSize] = {};
  int length = -7;
  EXPECT_EQ(link_.GetVersion(value, sizeof value, &length), 6);
  EXPECT_EQ(length, 6);
  EXPECT_EQ(std::string(value), "V2.1.0");
  length = -7;
  EXPECT_EQ(link_.GetVersion(value, sizeof value, &length), -1);
  EXPECT_EQ(length, -7);
  const Bytes& frame = platform_.frames.at(0);
  EXPECT_EQ(frame[3], CommandFrame::kCommandGet);
  EXPECT_EQ(std::string(frame.begin() + 7, frame.end() - 1), "masterver");
}

TEST_F(ScannerLinkTest, ObserverSeesHandshakeAndCommands) {
  RecordingObserver observer;
  link_.SetFrameObserver(&observer);
  Connect();
  platform_.ScriptReply(0, GetReplyData("qrcode", "1"));
  char value[kValueBufferSize] = {};
  ASSERT_EQ(link_.GetSetting("qrcode", value, sizeof value), 1);

  ASSERT_EQ(observer.requests.size(), 2u);
  EXPECT_EQ(observer.requests[0], Hex("77 CC DD 01 00 00 00 67"));
  EXPECT_EQ(observer.requests[1], Hex("66 BB EE 08 00 06 00 71 72 63 6F 64 65 33"));
  ASSERT_EQ(observer.replies.size(), 2u);
  EXPECT_EQ(observer.replies[0], ReplyFrame(0, {}));
  EXPECT_EQ(observer.replies[1], ReplyFrame(0, GetReplyData("qrcode", "1")));
}

TEST(SetFits, KeyAndValueLimits) {
  EXPECT_TRUE(SetFits("k", ""));
  EXPECT_FALSE(SetFits("", "v"));
  EXPECT_TRUE(SetFits(std::string(253, 'k'), ""));
  EXPECT_FALSE(SetFits(std::string(254, 'k'), ""));
  EXPECT_FALSE(SetFits(std::string(256, 'k'), ""));
  EXPECT_TRUE(SetFits("k", std::string(252, 'v')));
  EXPECT_FALSE(SetFits("k", std::string(253, 'v')));
}

}  // namespace
}  // namespace lumiq::test
