#include "link/hid_transport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/link/link_fakes.h"

namespace lumiq::test {
namespace {

std::string Find(FakePlatform& platform, int* result) {
  char path[kDevicePathSize];
  std::memset(path, 'x', sizeof path);
  *result = FindScannerPath(platform, path, sizeof path);
  return *result == kScannerFound ? std::string(path) : std::string();
}

// --- discovery ----------------------------------------------------------------

TEST(FindScannerPath, ChoosesInterfaceOneWhateverTheOrder) {
  for (bool interfaceOneFirst : {false, true}) {
    SCOPED_TRACE(interfaceOneFirst);
    FakePlatform platform;
    platform.AddInterface("mouse", 0x046D, 0xC077, 0);
    const std::string one = FakePlatform::ScannerPath("usb#a", 1);
    const std::string zero = FakePlatform::ScannerPath("usb#a", 0);
    platform.AddInterface(interfaceOneFirst ? one : zero, 0x0525, 0xA4AC, interfaceOneFirst ? 1 : 0);
    platform.AddInterface(interfaceOneFirst ? zero : one, 0x0525, 0xA4AC, interfaceOneFirst ? 0 : 1);
    int result = 0;
    EXPECT_EQ(Find(platform, &result), one);
    EXPECT_EQ(result, kScannerFound);
    EXPECT_TRUE(platform.opens.empty()) << "discovery opens nothing for reading or writing";
  }
}

TEST(FindScannerPath, FirstOfTwoScannersWins) {
  FakePlatform platform;
  platform.AddScanner("first");
  platform.AddScanner("second");
  int result = 0;
  EXPECT_EQ(Find(platform, &result), FakePlatform::ScannerPath("first", 1));
}

TEST(FindScannerPath, PassesOverUnreadableAndForeignInterfaces) {
  FakePlatform platform;
  platform.AddInterface("unreadable&mi_01", 0x0525, 0xA4AC, 1, /*readable=*/false);
  platform.AddInterface("other-vendor&mi_01", 0x0526, 0xA4AC, 1);
  platform.AddInterface("other-product&mi_01", 0x0525, 0xA4AD, 1);
  platform.AddInterface("good&mi_01", 0x0525, 0xA4AC, 1);
  int result = 0;
  EXPECT_EQ(Find(platform, &result), "good&mi_01");
}

TEST(FindScannerPath, PathThatDoesNotFitIsPassedOver) {
  FakePlatform platform;
  const std::string tooLong(kDevicePathSize, 'L');  // no room for the terminator
  const std::string longest(kDevicePathSize - 1, 'F');
  platform.AddInterface(tooLong, 0x0525, 0xA4AC, 1);
  platform.AddInterface(longest, 0x0525, 0xA4AC, 1);

  GuardedBuffer path(kDevicePathSize);
  ASSERT_EQ(FindScannerPath(platform, path.chars(), path.size()), kScannerFound);
  EXPECT_EQ(std::string(path.chars()), longest);
  EXPECT_TRUE(path.GuardsIntact());

  // A small buffer: the path is copied whole into it, zero-filled, or not at all.
  GuardedBuffer small(16);
  EXPECT_EQ(FindScannerPath(platform, small.chars(), small.size()), kNoScanner);
  EXPECT_TRUE(small.Untouched());

  FakePlatform shortPath;
  shortPath.AddInterface("ab&mi_01", 0x0525, 0xA4AC, 1);
  ASSERT_EQ(FindScannerPath(shortPath, small.chars(), small.size()), kScannerFound);
  EXPECT_EQ(small.Contents(), Bytes({'a', 'b', '&', 'm', 'i', '_', '0', '1', 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(small.GuardsIntact());
}

TEST(FindScannerPath, NothingFoundAndOutOfMemory) {
  FakePlatform platform;
  int result = 0;
  Find(platform, &result);
  EXPECT_EQ(result, kNoScanner);

  platform.AddInterface("only&mi_00", 0x0525, 0xA4AC, 0);
  Find(platform, &result);
  EXPECT_EQ(result, kNoScanner);

  platform.listResult = -1;
  Find(platform, &result);
  EXPECT_EQ(result, kDiscoveryOutOfMemory);
}

TEST(ListScannerInterfaces, MarksTheInterfaceTheToolUses) {
  FakePlatform platform;
  platform.AddInterface("keyboard", 0x1234, 0x5678, 0);
  platform.AddScanner("a");
  platform.AddScanner("b");
  const std::vector<ScannerInterfaceInfo> found = ListScannerInterfaces(platform);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].path, FakePlatform::ScannerPath("a", 0));
  EXPECT_FALSE(found[0].usedByTool);
  EXPECT_EQ(found[1].path, FakePlatform::ScannerPath("a", 1));
  EXPECT_TRUE(found[1].usedByTool);
  EXPECT_FALSE(found[2].usedByTool);
  EXPECT_FALSE(found[3].usedByTool);
  EXPECT_EQ(found[3].attributes.interfaceNumber, 1);
}

// --- the link's handles -------------------------------------------------------

TEST(HidLink, OpensReadThenWriteAndUndoesHalfOpens) {
  FakePlatform platform;
  {
    HidLink link(platform);
    ASSERT_EQ(link.OpenHandles("dev"), 0);
    EXPECT_TRUE(link.IsOpen());
    ASSERT_EQ(platform.opens.size(), 2u);
    EXPECT_EQ(platform.opens[0], std::make_pair(std::string("dev"), HidAccess::kRead));
    EXPECT_EQ(platform.opens[1], std::make_pair(std::string("dev"), HidAccess::kWrite));
  }
  EXPECT_EQ(platform.OpenHandleCount(), 0) << "a link closes its handles when it goes";

  platform.opens.clear();
  platform.failWriteOpen = true;
  HidLink halfOpen(platform);
  EXPECT_EQ(halfOpen.OpenHandles("dev"), -1);
  EXPECT_FALSE(halfOpen.IsOpen());
  EXPECT_EQ(platform.OpenHandleCount(), 0);

  platform.opens.clear();
  platform.failReadOpen = true;
  HidLink unopened(platform);
  EXPECT_EQ(unopened.OpenHandles("dev"), -1);
  EXPECT_EQ(platform.opens.size(), 1u) << "no write open after the read open failed";
}

TEST(HidLink, CloseHandlesClosesReadThenWrite) {
  FakePlatform platform;
  HidLink link(platform);
  ASSERT_EQ(link.OpenHandles("dev"), 0);
  const HidHandle readHandle = platform.open[0].first;
  const HidHandle writeHandle = platform.open[1].first;
  link.CloseHandles();
  EXPECT_EQ(platform.closed, (std::vector<HidHandle>{readHandle, writeHandle}));
  link.CloseHandles();
  EXPECT_EQ(platform.closed.size(), 2u);
  EXPECT_EQ(link.WriteReports(reinterpret_cast<const uint8_t*>("x"), 1), -1);
  uint8_t report[kReportSize];
  EXPECT_EQ(link.ReadReport(report, 0), -3);
}

// --- reports out ----------------------------------------------------------------

class HidLinkReports : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link_.OpenHandles("dev"), 0); }

  std::vector<Bytes> Written() const {
    std::vector<Bytes> reports;
    for (const auto& report : platform_.written) reports.emplace_back(report.begin(), report.end());
    return reports;
  }

  FakePlatform platform_;
  HidLink link_{platform_};
};

Bytes ReportOnWire(const Bytes& chunk) {
  Bytes report(kHidReportSize, 0);
  std::copy(chunk.begin(), chunk.end(), report.begin() + 1);
  return report;
}

TEST_F(HidLinkReports, FramesAreCutIntoZeroFilledReportsWithIdZero) {
  const Bytes frame8 = Hex("77 CC DD 01 00 00 00 67");
  Bytes frame64(64), frame65(65);
  for (size_t i = 0; i < frame65.size(); ++i) frame65[i] = static_cast<uint8_t>(0x80 + i);
  std::copy(frame65.begin(), frame65.begin() + 64, frame64.begin());

  EXPECT_EQ(link_.WriteReports(frame8.data(), 8), 8);
  EXPECT_EQ(link_.WriteReports(frame64.data(), 64), 64);
  EXPECT_EQ(link_.WriteReports(frame65.data(), 65), 65);

  const std::vector<Bytes> written = Written();
  ASSERT_EQ(written.size(), 4u);
  EXPECT_EQ(written[0], ReportOnWire(frame8));
  EXPECT_EQ(written[1], ReportOnWire(frame64));
  EXPECT_EQ(written[2], ReportOnWire(frame64));
  EXPECT_EQ(written[3], ReportOnWire({frame65[64]})) << "one byte, then 63 zeros";
  for (int timeout : platform_.writeTimeouts) EXPECT_EQ(timeout, kWriteTimeoutMs);
}

TEST_F(HidLinkReports, NothingToWriteIsReturnedUnchanged) {
  const uint8_t byte = 0x42;
  EXPECT_EQ(link_.WriteReports(&byte, 0), 0);
  EXPECT_EQ(link_.WriteReports(&byte, -5), -5);
  EXPECT_TRUE(platform_.written.empty());
}

TEST_F(HidLinkReports, WriteErrorStopsTheRemainingReports) {
  platform_.failWriteNumber = 2;
  const Bytes frame(150, 0x11);  // three reports
  EXPECT_EQ(link_.WriteReports(frame.data(), 150), -1);
  EXPECT_EQ(platform_.written.size(), 2u);
}

TEST_F(HidLinkReports, QueuedInputIsDroppedBeforeTheNextRequest) {
  Bytes late(kReportSize, 0);
  late[5] = 0x00;
  late[8] = 'L';
  platform_.QueueInput(FakePlatform::Transfer(late));
  platform_.QueueInput(FakePlatform::Transfer(late));
  Bytes answer(kReportSize, 0);
  answer[8] = 'A';
  platform_.ScriptTransfers({FakePlatform::Transfer(answer)});

  const Bytes frame = Hex("66 BB EE 09 00 00 00 3A");
  ASSERT_EQ(link_.WriteReports(frame.data(), 8), 8);
  uint8_t report[kReportSize] = {};
  ASSERT_EQ(link_.ReadReport(report, 2000), kReportSize);
  EXPECT_EQ(report[8], 'A');
}

TEST_F(HidLinkReports, DeviceThatNeverFallsSilentDoesNotHoldTheWrite) {
  platform_.endlessInput = true;
  const Bytes frame = Hex("66 BB EE 09 00 00 00 3A");
  EXPECT_EQ(link_.WriteReports(frame.data(), 8), 8);
  EXPECT_LE(platform_.reads.size(), 64u);
  EXPECT_EQ(platform_.written.size(), 1u);
}

// --- reports in -------------------------------------------------------------------

TEST_F(HidLinkReports, ValidReportIsCopiedWithoutItsId) {
  Bytes report(kReportSize);
  for (size_t i = 0; i < report.size(); ++i) report[i] = static_cast<uint8_t>(i + 1);
  platform_.QueueInput(FakePlatform::Transfer(report));
  GuardedBuffer buffer(kReportSize);
  ASSERT_EQ(link_.ReadReport(buffer.data(), 1500), kReportSize);
  EXPECT_EQ(buffer.Contents(), report);
  EXPECT_TRUE(buffer.GuardsIntact());
  EXPECT_EQ(platform_.reads.back().timeoutMs, 1500);
}

TEST_F(HidLinkReports, InvalidTransfersLeaveTheBufferUntouched) {
  const Bytes report(kReportSize, 0x33);
  Bytes shortTransfer = FakePlatform::Transfer(report);
  shortTransfer.pop_back();  // 64 bytes
  platform_.QueueInput(shortTransfer);
  platform_.QueueInput(FakePlatform::Transfer(report, 0x01));
  platform_.QueueInput(Bytes(1, 0));

  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    GuardedBuffer buffer(kReportSize);
    EXPECT_EQ(link_.ReadReport(buffer.data(), 10), 0);
    EXPECT_TRUE(buffer.Untouched());
  }
  GuardedBuffer buffer(kReportSize);
  EXPECT_EQ(link_.ReadReport(buffer.data(), 10), -3) << "nothing queued: time-out";
  EXPECT_TRUE(buffer.Untouched());
}

}  // namespace
}  // namespace lumiq::test
