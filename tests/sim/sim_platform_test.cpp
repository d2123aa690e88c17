#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/hid_transport.h"
#include "sim/sim_pace.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/sim/sim_wire.h"

namespace lumiq::test {
namespace {

using sim::SimPlatform;
using sim::SimulatedScanner;

// One 65-byte output report carrying a frame that fits one report.
std::vector<uint8_t> OutputReport(const std::vector<uint8_t>& frame, uint8_t reportId = 0) {
  std::vector<uint8_t> report(kHidReportSize, 0);
  report[0] = reportId;
  std::copy(frame.begin(), frame.end(), report.begin() + 1);
  return report;
}

class SimPlatformTest : public ::testing::Test {
 protected:
  SimPlatformTest() {
    platform_.AddScanner(&first_);
    platform_.AddScanner(&second_);
  }
  SimulatedScanner first_;
  SimulatedScanner second_;
  SimPlatform platform_;
};

TEST_F(SimPlatformTest, EachScannerEnumeratesAsDecoyInterfaceThenInterfaceOne) {
  std::vector<std::string> paths;
  ASSERT_EQ(platform_.ListInterfaces(&paths), 0);
  EXPECT_EQ(paths, (std::vector<std::string>{"sim:scanner0/if0", "sim:scanner0/if1",
                                             "sim:scanner1/if0", "sim:scanner1/if1"}));
  for (size_t i = 0; i < paths.size(); ++i) {
    HidAttributes attributes;
    ASSERT_TRUE(platform_.ReadAttributes(paths[i], &attributes)) << paths[i];
    EXPECT_EQ(attributes.vendorId, 0x0525);
    EXPECT_EQ(attributes.productId, 0xA4AC);
    EXPECT_EQ(attributes.interfaceNumber, static_cast<int>(i % 2));
  }
  HidAttributes attributes;
  for (const char* path : {"sim:scanner2/if1", "sim:scanner0/if2", "sim:scanner0/if1x",
                           "sim:scanner/if1", "SIM:scanner0/if1", ""}) {
    EXPECT_FALSE(platform_.ReadAttributes(path, &attributes)) << path;
    EXPECT_EQ(platform_.Open(path, HidAccess::kRead).handle, kInvalidHidHandle) << path;
  }

  char path[kDevicePathSize];
  ASSERT_EQ(FindScannerPath(platform_, path, sizeof path), kScannerFound);
  EXPECT_STREQ(path, "sim:scanner0/if1");
}

TEST_F(SimPlatformTest, WritesToTheDecoyAreAcceptedAndIgnored) {
  const HidHandle decoyWrite = platform_.Open(SimPlatform::PathOf(0, 0), HidAccess::kWrite).handle;
  const HidHandle decoyRead = platform_.Open(SimPlatform::PathOf(0, 0), HidAccess::kRead).handle;
  ASSERT_NE(decoyWrite, kInvalidHidHandle);
  const auto report = OutputReport(HandshakeFrame());
  EXPECT_EQ(platform_.WriteReport(decoyWrite, report.data(), 2000), 65);
  uint8_t buffer[kHidReportSize];
  EXPECT_EQ(platform_.ReadReport(decoyRead, buffer, 2000), -3);
  EXPECT_EQ(first_.CommandCount(), 0);
  EXPECT_TRUE(first_.Received().empty());
}

TEST_F(SimPlatformTest, ReportsCrossOnInterfaceOneWithReportIdZeroOnly) {
  const HidHandle write = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kWrite).handle;
  const HidHandle read = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kRead).handle;
  ASSERT_NE(write, kInvalidHidHandle);
  ASSERT_NE(read, kInvalidHidHandle);
  ASSERT_NE(write, read);

  EXPECT_EQ(platform_.WriteReport(write, OutputReport(HandshakeFrame(), 1).data(), 2000), -1);
  EXPECT_EQ(platform_.WriteReport(read, OutputReport(HandshakeFrame()).data(), 2000), -1)
      << "a read handle cannot write";
  EXPECT_EQ(second_.CommandCount(), 0);

  EXPECT_EQ(platform_.WriteReport(write, OutputReport(HandshakeFrame()).data(), 2000), 65);
  uint8_t buffer[kHidReportSize] = {};
  EXPECT_EQ(platform_.ReadReport(write, buffer, 2000), -3) << "a write handle cannot read";
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), 65);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 0x77);
  EXPECT_EQ(buffer[6], 0x00);  // status
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), -3) << "one reply, one report";
  EXPECT_EQ(platform_.ReportsExchanged(), 2);
  EXPECT_EQ(first_.CommandCount(), 0);
  EXPECT_EQ(second_.CommandCount(), 1);

  platform_.Close(read);
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), -3);
}

TEST_F(SimPlatformTest, OverlongTransferIsCutToTheBufferAndShowsItsTrueSize) {
  second_.Faults().wrongSizeReportAt = 1;
  second_.Faults().wrongReportSize = 200;
  const HidHandle write = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kWrite).handle;
  const HidHandle read = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kRead).handle;
  platform_.WriteReport(write, OutputReport(HandshakeFrame()).data(), 2000);
  uint8_t buffer[kHidReportSize + 16];
  std::memset(buffer, 0xCD, sizeof buffer);
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), 200);
  for (size_t i = kHidReportSize; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xCD) << i;
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), 65);
}

TEST_F(SimPlatformTest, LateReplyArrivesOnlyAfterAReadTimedOut) {
  second_.Faults().lateReplyAt = 1;
  const HidHandle write = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kWrite).handle;
  const HidHandle read = platform_.Open(SimPlatform::PathOf(1, 1), HidAccess::kRead).handle;
  platform_.WriteReport(write, OutputReport(HandshakeFrame()).data(), 2000);
  uint8_t buffer[kHidReportSize];
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), -3);
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), 65);
  EXPECT_EQ(buffer[1], 0x77);
}

TEST_F(SimPlatformTest, UnpluggedScannerVanishesAndItsHandlesFail) {
  const HidHandle write = platform_.Open(SimPlatform::PathOf(0, 1), HidAccess::kWrite).handle;
  const HidHandle read = platform_.Open(SimPlatform::PathOf(0, 1), HidAccess::kRead).handle;
  const HidHandle decoy = platform_.Open(SimPlatform::PathOf(0, 0), HidAccess::kWrite).handle;
  platform_.WriteReport(write, OutputReport(HandshakeFrame()).data(), 2000);
  first_.Unplug();

  uint8_t buffer[kHidReportSize];
  EXPECT_EQ(platform_.ReadReport(read, buffer, 2000), -3) << "the queued reply is gone";
  EXPECT_EQ(platform_.WriteReport(write, OutputReport(HandshakeFrame()).data(), 2000), -1);
  EXPECT_EQ(platform_.WriteReport(decoy, OutputReport(HandshakeFrame()).data(), 2000), -1);
  std::vector<std::string> paths;
  platform_.ListInterfaces(&paths);
  EXPECT_EQ(paths, (std::vector<std::string>{"sim:scanner1/if0", "sim:scanner1/if1"}));
  HidAttributes attributes;
  EXPECT_FALSE(platform_.ReadAttributes(SimPlatform::PathOf(0, 1), &attributes));
  EXPECT_EQ(platform_.Open(SimPlatform::PathOf(0, 1), HidAccess::kRead).failure,
            OpenFailure::kNotFound);

  char path[kDevicePathSize];
  ASSERT_EQ(FindScannerPath(platform_, path, sizeof path), kScannerFound);
  EXPECT_STREQ(path, "sim:scanner1/if1");
}

TEST(SimPace, TimesWithTheirUnits) {
  int micros = -1;
  std::string error;
  for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
           {"1ms", 1000}, {"250us", 250}, {"2s", 2000000}, {"0", 0}, {"0ms", 0},
           {"10s", 10000000}}) {
    ASSERT_TRUE(sim::ParsePace(text, &micros, &error)) << text << ": " << error;
    EXPECT_EQ(micros, expected) << text;
  }
  micros = 7;
  for (const std::string text : {"", "1", "ms", "1.5ms", "-1ms", "1 ms", "1m", "11s",
                                 "99999999999999999999us"}) {
    EXPECT_FALSE(sim::ParsePace(text, &micros, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_EQ(micros, 7) << text;
  }
}

}  // namespace
}  // namespace lumiq::test
