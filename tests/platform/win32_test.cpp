#include "link/platform/win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/hid_transport.h"

namespace lumiq {
namespace {

using Clock = std::chrono::steady_clock;

// A named pipe plays the device: the backend opens it by path with the same
// CreateFileA call it uses for HID interfaces, and its reads and writes then
// go through the real overlapped machinery, time-outs and cancels included.
class FakeDevice {
 public:
  explicit FakeDevice(DWORD inboundQuota = 4096) {
    static int serial = 0;
    path_ = "\\\\.\\pipe\\lumiq-platform-" +
            std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    pipe_ = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE |
                                 PIPE_WAIT,
                             1, 4096, inboundQuota, 0, nullptr);
  }
  ~FakeDevice() {
    if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  }

  bool ok() const { return pipe_ != INVALID_HANDLE_VALUE; }
  const std::string& path() const { return path_; }

  // After the backend has opened the path.
  bool Accept() {
    return ConnectNamedPipe(pipe_, nullptr) ||
           GetLastError() == ERROR_PIPE_CONNECTED;
  }
  bool Send(const std::vector<uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()),
                     &written, nullptr) &&
           written == bytes.size();
  }
  DWORD Available() {
    DWORD available = 0;
    PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr);
    return available;
  }
  std::vector<uint8_t> Receive() {
    std::vector<uint8_t> bytes(256);
    DWORD read = 0;
    if (!ReadFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()),
                  &read, nullptr)) {
      read = 0;
    }
    bytes.resize(read);
    return bytes;
  }

 private:
  std::string path_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
};

std::vector<uint8_t> Counting(size_t size, uint8_t first) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

class Win32BackendTest : public ::testing::Test {
 protected:
  HidHandle OpenConnected(FakeDevice& device, HidAccess access) {
    HidHandle handle = platform_.Open(device.path(), access).handle;
    if (handle != kInvalidHidHandle) {
      EXPECT_TRUE(device.Accept());
      opened_.push_back(handle);
    }
    return handle;
  }
  void TearDown() override {
    for (HidHandle handle : opened_) platform_.Close(handle);
  }

  Win32HidPlatform platform_;
  std::vector<HidHandle> opened_;
  // The caller's 65 bytes, followed by a guard that must stay untouched.
  std::array<uint8_t, kHidReportSize + 16> buffer_{};
};

TEST_F(Win32BackendTest, TimedOutReadIsCancelledAndTakesNothing) {
  FakeDevice device;
  ASSERT_TRUE(device.ok());
  HidHandle handle = OpenConnected(device, HidAccess::kRead);
  ASSERT_NE(handle, kInvalidHidHandle);

  buffer_.fill(0xEE);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(platform_.ReadReport(handle, buffer_.data(), 10), -3);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(9));
  EXPECT_EQ(buffer_[0], 0xEE);

  // Had the first read stayed pending, it would swallow this report.
  std::vector<uint8_t> report = Counting(65, 0);
  ASSERT_TRUE(device.Send(report));
  ASSERT_EQ(platform_.ReadReport(handle, buffer_.data(), 5000), 65);
  EXPECT_TRUE(std::equal(report.begin(), report.end(), buffer_.begin()));
  EXPECT_EQ(buffer_[65], 0xEE);
}

TEST_F(Win32BackendTest, ReadReturnsWhatArrived) {
  FakeDevice device;
  ASSERT_TRUE(device.ok());
  HidHandle handle = OpenConnected(device, HidAccess::kRead);
  ASSERT_NE(handle, kInvalidHidHandle);

  buffer_.fill(0xEE);
  ASSERT_TRUE(device.Send(Counting(64, 1)));
  EXPECT_EQ(platform_.ReadReport(handle, buffer_.data(), 5000), 64);
  ASSERT_TRUE(device.Send(Counting(65, 1)));
  EXPECT_EQ(platform_.ReadReport(handle, buffer_.data(), 0), 65);
  EXPECT_EQ(buffer_[0], 1);
  for (size_t i = kHidReportSize; i < buffer_.size(); ++i) {
    EXPECT_EQ(buffer_[i], 0xEE) << "written past the report at " << i;
  }
}

TEST_F(Win32BackendTest, WriteSendsTheWholeReport) {
  FakeDevice device;
  ASSERT_TRUE(device.ok());
  HidHandle handle = OpenConnected(device, HidAccess::kWrite);
  ASSERT_NE(handle, kInvalidHidHandle);

  std::vector<uint8_t> report = Counting(65, 0);
  ASSERT_EQ(platform_.WriteReport(handle, report.data(), 5000), 65);
  EXPECT_EQ(device.Receive(), report);
}

TEST_F(Win32BackendTest, StuckWriteIsCancelledAfterItsTimeOut) {
  // With no room in the pipe a write completes only while the device reads.
  FakeDevice device(1);
  ASSERT_TRUE(device.ok());
  HidHandle handle = OpenConnected(device, HidAccess::kWrite);
  ASSERT_NE(handle, kInvalidHidHandle);

  std::vector<uint8_t> stuck = Counting(65, 0);
  const Clock::time_point start = Clock::now();
  const int first = platform_.WriteReport(handle, stuck.data(), 10);
  if (first == 65) GTEST_SKIP() << "this pipe takes writes nobody reads";
  EXPECT_EQ(first, -1);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(9));

  // The cancelled report never arrives; the next one does, whole.
  std::vector<uint8_t> received;
  std::thread reader([&] { received = device.Receive(); });
  std::vector<uint8_t> next = Counting(65, 100);
  EXPECT_EQ(platform_.WriteReport(handle, next.data(), 5000), 65);
  reader.join();
  EXPECT_EQ(received, next);
}

TEST_F(Win32BackendTest, FailedOpenKeepsItsError) {
  const HidOpenResult missing =
      platform_.Open("\\\\.\\pipe\\lumiq-nothing-here", HidAccess::kRead);
  EXPECT_EQ(missing.handle, kInvalidHidHandle);
  EXPECT_NE(missing.systemError, 0);
  EXPECT_EQ(missing.failure, OpenFailure::kNotFound);
  HidAttributes attributes;
  EXPECT_FALSE(platform_.ReadAttributes("\\\\.\\lumiq-nothing-here",
                                        &attributes));
  EXPECT_EQ(platform_.ReadReport(kInvalidHidHandle, buffer_.data(), 10), -3);
  EXPECT_EQ(platform_.WriteReport(kInvalidHidHandle, buffer_.data(), 10), -1);
}

// Two programs on one interface: the first read handle holds it until it is
// closed; the second program's read open fails at once, its cause told, and
// a write handle asks for nothing.
TEST_F(Win32BackendTest, ReadHandleHoldsTheInterfaceAgainstOtherPrograms) {
  FakeDevice device;
  ASSERT_TRUE(device.ok());
  HidHandle held = OpenConnected(device, HidAccess::kRead);
  ASSERT_NE(held, kInvalidHidHandle);

  Win32HidPlatform second;
  const HidOpenResult refused = second.Open(device.path(), HidAccess::kRead);
  EXPECT_EQ(refused.handle, kInvalidHidHandle);
  EXPECT_EQ(refused.systemError, static_cast<long>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(refused.failure, OpenFailure::kInUse);
  // So is another read handle of this program: two links never share one.
  EXPECT_EQ(platform_.Open(device.path(), HidAccess::kRead).failure, OpenFailure::kInUse);

  // Let go, the interface is no longer held (the pipe, with its one
  // instance used up, still refuses, for a reason of its own).
  platform_.Close(held);
  opened_.clear();
  const HidOpenResult later = second.Open(device.path(), HidAccess::kRead);
  EXPECT_NE(later.failure, OpenFailure::kInUse);
  if (later.Opened()) second.Close(later.handle);
}

// Discovery on whatever this machine has: it must run to its end, and any
// path it lists fits the connection's path buffer.
TEST_F(Win32BackendTest, DiscoveryRunsThroughTheSetupServices) {
  std::vector<std::string> paths;
  ASSERT_EQ(platform_.ListInterfaces(&paths), 0);
  for (const std::string& path : paths) {
    EXPECT_LT(path.size(), kDevicePathSize) << path;
  }
  char path[kDevicePathSize];
  int found = FindScannerPath(NativeHidPlatform(), path, sizeof path);
  EXPECT_TRUE(found == kScannerFound || found == kNoScanner) << found;
}

}  // namespace
}  // namespace lumiq
