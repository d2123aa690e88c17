#include "link/platform/hidraw.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "link/hid_transport.h"

namespace lumiq {
namespace {

using Clock = std::chrono::steady_clock;

std::string UsbUevent(const std::string& hidId, const std::string& phys) {
  return "DRIVER=hid-generic\nHID_ID=" + hidId +
         "\nHID_NAME=Lumiq Scanner\nHID_PHYS=" + phys +
         "\nHID_UNIQ=\nMODALIAS=hid:b0003g0001v00000525p0000A4AC\n";
}

// A throw-away sysfs and /dev laid out as the kernel does it:
// class/hidraw/hidrawN links into the device tree, and the hidraw node's
// "device" link points at the HID device, which hangs under its USB
// interface (or under uhid for a virtual device).
class FakeSysfs {
 public:
  FakeSysfs() {
    char pattern[] = "/tmp/lumiq-sysfs-XXXXXX";
    char* made = mkdtemp(pattern);
    if (made == nullptr) std::abort();
    root_ = made;
    MakeDirs(root_ + "/sys/class/hidraw");
    MakeDirs(root_ + "/dev");
  }
  ~FakeSysfs() {
    std::string command = "rm -rf '" + root_ + "'";
    if (std::system(command.c_str()) != 0) {
      ADD_FAILURE() << "could not remove " << root_;
    }
  }

  std::string sys() const { return root_ + "/sys"; }
  std::string dev() const { return root_ + "/dev"; }

  // A HID device under USB interface `usbInterface` ("01", "0a"), or under
  // the uhid node when `usbInterface` is empty.
  void AddHidraw(int n, const std::string& uevent,
                 const std::string& usbInterface) {
    std::string hidDevice;
    if (usbInterface.empty()) {
      hidDevice = "devices/virtual/misc/uhid/0003:0525:A4AC." + Id(n);
    } else {
      std::string interfaceDir = "devices/pci0000:00/0000:00:14.0/usb1/1-1/"
                                 "1-1:1." + usbInterface;
      MakeDirs(sys() + "/" + interfaceDir);
      WriteFile(sys() + "/" + interfaceDir + "/bInterfaceNumber",
                usbInterface + "\n");
      hidDevice = interfaceDir + "/0003:0525:A4AC." + Id(n);
    }
    AddHidrawAt(n, hidDevice, uevent);
  }

  void AddHidrawAt(int n, const std::string& hidDevice,
                   const std::string& uevent) {
    const std::string name = "hidraw" + std::to_string(n);
    const std::string node = hidDevice + "/hidraw/" + name;
    MakeDirs(sys() + "/" + node);
    WriteFile(sys() + "/" + hidDevice + "/uevent", uevent);
    Link("../..", sys() + "/" + node + "/device");
    Link("../../" + node, sys() + "/class/hidraw/" + name);
  }

  static void MakeDirs(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
      const std::string dir = path.substr(0, slash);
      if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) std::abort();
      if (slash == std::string::npos) break;
    }
  }
  static void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
  }

 private:
  static std::string Id(int n) {
    char id[8];
    std::snprintf(id, sizeof id, "%04X", n);
    return id;
  }
  static void Link(const std::string& target, const std::string& at) {
    if (symlink(target.c_str(), at.c_str()) != 0) std::abort();
  }

  std::string root_;
};

// Sysfs layout and the HID ids: enumeration, attributes, the interface rule.
class HidrawDiscoveryTest : public ::testing::Test {
 protected:
  FakeSysfs fs_;
  HidrawPlatform platform_{fs_.sys(), fs_.dev()};

  HidAttributes Attributes(int n) {
    HidAttributes attributes;
    EXPECT_TRUE(platform_.ReadAttributes(
        fs_.dev() + "/hidraw" + std::to_string(n), &attributes));
    return attributes;
  }
};

TEST_F(HidrawDiscoveryTest, ListsNodesInNumericOrder) {
  for (int n : {10, 2, 0, 1}) {
    fs_.AddHidraw(n, UsbUevent("0003:00000525:0000A4AC", "x/input1"), "01");
  }
  // Entries that are not hidraw nodes are not listed.
  FakeSysfs::MakeDirs(fs_.sys() + "/class/hidraw/hidrawx");
  FakeSysfs::MakeDirs(fs_.sys() + "/class/hidraw/other0");

  std::vector<std::string> paths = {"stale entry"};
  ASSERT_EQ(platform_.ListInterfaces(&paths), 0);
  const std::string dev = fs_.dev();
  EXPECT_EQ(paths, (std::vector<std::string>{dev + "/hidraw0", dev + "/hidraw1",
                                             dev + "/hidraw2",
                                             dev + "/hidraw10"}));
}

TEST_F(HidrawDiscoveryTest, NoHidrawClassMeansNoInterfaces) {
  HidrawPlatform platform(fs_.sys() + "/missing", fs_.dev());
  std::vector<std::string> paths;
  EXPECT_EQ(platform.ListInterfaces(&paths), 0);
  EXPECT_TRUE(paths.empty());
}

TEST_F(HidrawDiscoveryTest, IdsAndInterfaceFromTheUsbParent) {
  // HID_PHYS disagrees on purpose: the USB interface has the last word.
  fs_.AddHidraw(0, UsbUevent("0003:00000525:0000A4AC", "usb-1/input0"), "01");
  fs_.AddHidraw(1, UsbUevent("0003:0000046D:0000C52B", "usb-2/input3"), "0a");

  HidAttributes scanner = Attributes(0);
  EXPECT_EQ(scanner.vendorId, 0x0525);
  EXPECT_EQ(scanner.productId, 0xA4AC);
  EXPECT_EQ(scanner.interfaceNumber, 1);

  HidAttributes other = Attributes(1);
  EXPECT_EQ(other.vendorId, 0x046D);
  EXPECT_EQ(other.productId, 0xC52B);
  EXPECT_EQ(other.interfaceNumber, 10);  // "0a" is hexadecimal
}

TEST_F(HidrawDiscoveryTest, VirtualDeviceTakesInterfaceFromPhys) {
  fs_.AddHidraw(
      3, UsbUevent("0003:00000525:0000A4AC", "usb-0000:00:14.0-1.2/input1"),
      "");
  fs_.AddHidraw(4, UsbUevent("0003:00000525:0000A4AC", "lumiq/input2/input0"),
                "");
  fs_.AddHidraw(5, "HID_ID=0003:00000525:0000A4AC\nHID_NAME=no phys\n", "");

  EXPECT_EQ(Attributes(3).interfaceNumber, 1);
  EXPECT_EQ(Attributes(4).interfaceNumber, 0);  // the last "/input" counts
  HidAttributes unknown = Attributes(5);
  EXPECT_EQ(unknown.interfaceNumber, -1);
  EXPECT_EQ(unknown.vendorId, 0x0525);
}

TEST_F(HidrawDiscoveryTest, BluetoothDeviceBehindUsbDongleIsNotTheDongle) {
  FakeSysfs::MakeDirs(fs_.sys() + "/devices/usb1/1-3/1-3:1.0");
  FakeSysfs::WriteFile(fs_.sys() + "/devices/usb1/1-3/1-3:1.0/bInterfaceNumber",
                       "01\n");
  fs_.AddHidrawAt(6, "devices/usb1/1-3/1-3:1.0/bluetooth/hci0/0005:0525:A4AC.1",
                  UsbUevent("0005:00000525:0000A4AC", "aa:bb:cc:dd:ee:ff"));
  EXPECT_EQ(Attributes(6).interfaceNumber, -1);
}

TEST_F(HidrawDiscoveryTest, MalformedOrMissingIdsAreNotRead) {
  fs_.AddHidraw(0, "HID_NAME=no id at all\n", "01");
  fs_.AddHidraw(1, UsbUevent("0003:00000525", "x/input1"), "01");
  fs_.AddHidraw(2, UsbUevent("0003:00010525:0000A4AC", "x/input1"), "01");
  fs_.AddHidraw(3, UsbUevent("0003:0000052G:0000A4AC", "x/input1"), "01");
  fs_.AddHidraw(4, "XHID_ID=0003:00000525:0000A4AC\n", "01");
  for (int n = 0; n <= 4; ++n) {
    HidAttributes attributes;
    EXPECT_FALSE(platform_.ReadAttributes(
        fs_.dev() + "/hidraw" + std::to_string(n), &attributes))
        << "hidraw" << n;
  }
  HidAttributes attributes;
  EXPECT_FALSE(platform_.ReadAttributes(fs_.dev() + "/hidraw9", &attributes));
  EXPECT_FALSE(platform_.ReadAttributes(fs_.dev() + "/null", &attributes));
}

// The transport's discovery over this backend: the first interface 1 of the
// scanner wins; its interface 0, other devices and broken entries do not.
TEST_F(HidrawDiscoveryTest, FindScannerPathChoosesInterfaceOne) {
  fs_.AddHidraw(0, UsbUevent("0003:0000046D:0000C52B", "k/input1"), "01");
  fs_.AddHidraw(1, "garbage\n", "01");
  fs_.AddHidraw(2, UsbUevent("0003:00000525:0000A4AC", "s/input0"), "00");
  fs_.AddHidraw(3, UsbUevent("0003:00000525:0000A4AC", "s/input1"), "01");
  fs_.AddHidraw(11, UsbUevent("0003:00000525:0000A4AC", "t/input1"), "");

  char path[kDevicePathSize];
  ASSERT_EQ(FindScannerPath(platform_, path, sizeof path), kScannerFound);
  EXPECT_EQ(std::string(path), fs_.dev() + "/hidraw3");

  std::vector<ScannerInterfaceInfo> listed = ListScannerInterfaces(platform_);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].path, fs_.dev() + "/hidraw2");
  EXPECT_FALSE(listed[0].usedByTool);
  EXPECT_TRUE(listed[1].usedByTool);
  EXPECT_EQ(listed[2].path, fs_.dev() + "/hidraw11");
  EXPECT_FALSE(listed[2].usedByTool);
  // The port: the USB device's name above the interface; for a virtual
  // device, its creator's physical path.
  EXPECT_EQ(listed[1].port, "1-1");
  EXPECT_EQ(listed[2].port, "t");
}

TEST(HidrawParsers, PortOfInterfaceName) {
  EXPECT_EQ(hidraw::PortOfInterfaceName("1-2.3:1.1"), "1-2.3");
  EXPECT_EQ(hidraw::PortOfInterfaceName("3-10:1.0"), "3-10");
  EXPECT_EQ(hidraw::PortOfInterfaceName("usb1"), "");
  EXPECT_EQ(hidraw::PortOfInterfaceName(":1.0"), "");
  EXPECT_EQ(hidraw::PortOfInterfaceName("0003:0525:A4AC.0001"), "");
}

TEST(HidrawParsers, HidId) {
  uint32_t bus = 0;
  uint16_t vendor = 0, product = 0;
  ASSERT_TRUE(hidraw::ParseHidId("0003:00000525:0000A4AC", &bus, &vendor,
                                 &product));
  EXPECT_EQ(bus, 3u);
  EXPECT_EQ(vendor, 0x0525);
  EXPECT_EQ(product, 0xA4AC);
  EXPECT_TRUE(hidraw::ParseHidId("3:525:a4ac", &bus, &vendor, &product));
  EXPECT_EQ(product, 0xA4AC);

  for (const char* bad : {"", "0003", "0003:00000525", "0003::0000A4AC",
                          "0003:00000525:", "0003:00000525:0000A4AC:1",
                          "0003:000000525:0000A4AC", "0003:00000525:0001A4AC",
                          "0003:-0000525:0000A4AC", "0003:00000525:0000A4AC "}) {
    EXPECT_FALSE(hidraw::ParseHidId(bad, &bus, &vendor, &product)) << bad;
  }
}

TEST(HidrawParsers, InterfaceNumbers) {
  EXPECT_EQ(hidraw::InterfaceFromPhys("usb-0000:00:14.0-1.2/input1"), 1);
  EXPECT_EQ(hidraw::InterfaceFromPhys("usb-0000:00:14.0-1.2/input12"), 12);
  EXPECT_EQ(hidraw::InterfaceFromPhys("a/input3/b/input0"), 0);
  for (const char* bad : {"", "input1", "usb-1/input", "usb-1/input1a",
                          "usb-1/input-1", "usb-1/input256", "usb-1/input1.0"}) {
    EXPECT_EQ(hidraw::InterfaceFromPhys(bad), -1) << bad;
  }

  EXPECT_EQ(hidraw::ParseInterfaceNumber("01\n"), 1);
  EXPECT_EQ(hidraw::ParseInterfaceNumber("0a\n"), 10);
  EXPECT_EQ(hidraw::ParseInterfaceNumber("ff"), 255);
  for (const char* bad : {"", "\n", "zz\n", "100\n", "-1\n"}) {
    EXPECT_EQ(hidraw::ParseInterfaceNumber(bad), -1) << bad;
  }

  EXPECT_EQ(hidraw::HidrawIndex("hidraw0"), 0);
  EXPECT_EQ(hidraw::HidrawIndex("hidraw10"), 10);
  for (const char* bad : {"hidraw", "hidrawx", "hidraw1x", "xhidraw1", "."}) {
    EXPECT_EQ(hidraw::HidrawIndex(bad), -1) << bad;
  }
}

// Opening: flags, and the error kept for the caller.
TEST_F(HidrawDiscoveryTest, OpenUsesNonBlockingCloseOnExecHandles) {
  const std::string node = fs_.dev() + "/hidraw0";
  ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
  platform_.AcceptPipes(true);

  const HidOpenResult opened = platform_.Open(node, HidAccess::kRead);
  ASSERT_TRUE(opened.Opened());
  EXPECT_EQ(opened.systemError, 0);
  EXPECT_EQ(opened.failure, OpenFailure::kNone);
  HidHandle read = opened.handle;
  HidHandle write = platform_.Open(node, HidAccess::kWrite).handle;
  ASSERT_NE(write, kInvalidHidHandle);

  int readFlags = fcntl(static_cast<int>(read), F_GETFL);
  int writeFlags = fcntl(static_cast<int>(write), F_GETFL);
  EXPECT_EQ(readFlags & O_ACCMODE, O_RDONLY);
  EXPECT_EQ(writeFlags & O_ACCMODE, O_WRONLY);
  EXPECT_TRUE(readFlags & O_NONBLOCK);
  EXPECT_TRUE(writeFlags & O_NONBLOCK);
  EXPECT_TRUE(fcntl(static_cast<int>(read), F_GETFD) & FD_CLOEXEC);
  EXPECT_TRUE(fcntl(static_cast<int>(write), F_GETFD) & FD_CLOEXEC);
  platform_.Close(read);
  platform_.Close(write);
}

// Each failed open carries its own error: a later one, failing otherwise,
// changes nothing of an earlier one's.
TEST_F(HidrawDiscoveryTest, FailedOpenKeepsItsError) {
  const HidOpenResult missing = platform_.Open(fs_.dev() + "/hidraw7", HidAccess::kRead);
  const HidOpenResult folder = platform_.Open(fs_.dev(), HidAccess::kWrite);
  EXPECT_EQ(missing.handle, kInvalidHidHandle);
  EXPECT_EQ(missing.systemError, ENOENT);
  EXPECT_EQ(missing.failure, OpenFailure::kNotFound);
  EXPECT_EQ(missing.refusal, "");
  EXPECT_EQ(folder.handle, kInvalidHidHandle);
  EXPECT_EQ(folder.failure, OpenFailure::kNotAScanner);
  EXPECT_EQ(folder.refusal, "a folder");
}

// Two programs on one node: the first read handle holds it until closed; the
// second program's read open fails at once, its cause told. A write handle
// asks for nothing, so the link's own second open is never refused.
TEST_F(HidrawDiscoveryTest, ReadHandleHoldsTheNodeAgainstOtherPrograms) {
  const std::string node = fs_.dev() + "/hidraw0";
  ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
  HidrawPlatform first(fs_.sys(), fs_.dev());
  HidrawPlatform second(fs_.sys(), fs_.dev());
  first.AcceptPipes(true);
  second.AcceptPipes(true);

  HidHandle held = first.Open(node, HidAccess::kRead).handle;
  ASSERT_NE(held, kInvalidHidHandle);
  HidHandle write = first.Open(node, HidAccess::kWrite).handle;
  EXPECT_NE(write, kInvalidHidHandle);
  const HidOpenResult refused = second.Open(node, HidAccess::kRead);
  EXPECT_EQ(refused.handle, kInvalidHidHandle);
  EXPECT_EQ(refused.systemError, EWOULDBLOCK);
  EXPECT_EQ(refused.failure, OpenFailure::kInUse);
  // A second read handle of the same program is refused alike: two links of
  // one program never share a scanner.
  EXPECT_EQ(first.Open(node, HidAccess::kRead).failure, OpenFailure::kInUse);

  first.Close(held);
  const HidOpenResult later = second.Open(node, HidAccess::kRead);
  EXPECT_NE(later.handle, kInvalidHidHandle);
  EXPECT_EQ(later.failure, OpenFailure::kNone);
  second.Close(later.handle);
  first.Close(write);
}

// A node as the kernel creates it without the udev rule: owned by root,
// mode 0600 (a FIFO plays it). An ordinary user must get EACCES back, not a
// bare failure.
TEST_F(HidrawDiscoveryTest, PermissionDeniedIsTold) {
  const std::string node = fs_.dev() + "/hidraw1";
  ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
  ASSERT_EQ(chmod(node.c_str(), 0600), 0);
  ASSERT_EQ(chmod(fs_.dev().c_str(), 0755), 0);
  ASSERT_EQ(chmod((fs_.dev() + "/..").c_str(), 0755), 0);

  auto openAsUser = [&] {
    HidrawPlatform platform(fs_.sys(), fs_.dev());
    platform.AcceptPipes(true);
    const HidOpenResult opened = platform.Open(node, HidAccess::kRead);
    return !opened.Opened() && opened.systemError == EACCES &&
           opened.failure == OpenFailure::kPermissionDenied;
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(openAsUser());
    return;
  }
  // Root opens anything: try as "nobody" in a child process.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(openAsUser() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Reports through a packet socket, which keeps report boundaries the way a
// hidraw node does. The backend's handle is the descriptor itself.
class HidrawReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, fds_), 0);
  }
  void TearDown() override {
    for (int fd : fds_) {
      if (fd >= 0) close(fd);
    }
  }
  HidHandle ours() const { return fds_[0]; }
  int device() const { return fds_[1]; }
  void Unplug() {
    close(fds_[1]);
    fds_[1] = -1;
  }
  void DeviceSends(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(send(device(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }

  static std::vector<uint8_t> Counting(size_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
  }

  HidrawPlatform platform_;
  int fds_[2] = {-1, -1};
  // The caller's 65 bytes, followed by a guard that must stay untouched.
  std::array<uint8_t, kHidReportSize + 16> buffer_{};
};

TEST_F(HidrawReportTest, UnnumberedInputBecomesReportWithIdZero) {
  std::vector<uint8_t> data = Counting(64, 1);
  DeviceSends(data);
  buffer_.fill(0xEE);
  ASSERT_EQ(platform_.ReadReport(ours(), buffer_.data(), 1000), 65);
  EXPECT_EQ(buffer_[0], 0);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer_.begin() + 1));
  EXPECT_EQ(buffer_[65], 0xEE);
}

TEST_F(HidrawReportTest, OtherSizesArePassedOnAsTheyCame) {
  DeviceSends(Counting(65, 7));  // a numbered report: the link judges byte 0
  DeviceSends(Counting(10, 1));
  DeviceSends(Counting(200, 1));  // longer than any report: cut at 65
  buffer_.fill(0xEE);

  ASSERT_EQ(platform_.ReadReport(ours(), buffer_.data(), 1000), 65);
  EXPECT_EQ(buffer_[0], 7);
  EXPECT_EQ(buffer_[64], 7 + 64);
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 1000), 10);
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 1000), 65);
  for (size_t i = kHidReportSize; i < buffer_.size(); ++i) {
    EXPECT_EQ(buffer_[i], 0xEE) << "written past the report at " << i;
  }
}

TEST_F(HidrawReportTest, QueuedInputIsTakenWithoutWaiting) {
  DeviceSends(Counting(64, 0));
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 0), 65);
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 0), -3);
}

TEST_F(HidrawReportTest, SilenceTimesOutAfterTheGivenTime) {
  buffer_.fill(0xEE);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 10), -3);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(10));
  EXPECT_EQ(buffer_[0], 0xEE);
}

TEST_F(HidrawReportTest, UnpluggedDeviceEndsTheWaitAtOnce) {
  DeviceSends(Counting(64, 0));
  Unplug();
  // What was queued before the device went is still delivered.
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 30000), 65);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(platform_.ReadReport(ours(), buffer_.data(), 30000), -3);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST_F(HidrawReportTest, HangUpWithoutInputAndBadHandlesGiveTimeOutCode) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  close(pipeFds[1]);
  EXPECT_EQ(platform_.ReadReport(pipeFds[0], buffer_.data(), 30000), -3);
  close(pipeFds[0]);
  // Now a closed descriptor: poll answers POLLNVAL.
  EXPECT_EQ(platform_.ReadReport(pipeFds[0], buffer_.data(), 30000), -3);
  EXPECT_EQ(platform_.ReadReport(kInvalidHidHandle, buffer_.data(), 30000), -3);
}

int g_signalPeer = -1;
void SendReportFromSignal(int) {
  uint8_t report[64] = {0x42};
  ssize_t ignored = send(g_signalPeer, report, sizeof report, MSG_NOSIGNAL);
  (void)ignored;
}

TEST_F(HidrawReportTest, InterruptedWaitGoesOn) {
  // The signal both interrupts the wait and delivers the report: a wait
  // that took the interruption for a failure would return -3.
  g_signalPeer = device();
  struct sigaction action = {};
  struct sigaction previous = {};
  action.sa_handler = SendReportFromSignal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval timer = {};
  timer.it_value.tv_usec = 20000;
  ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

  int result = platform_.ReadReport(ours(), buffer_.data(), 10000);

  itimerval off = {};
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_EQ(result, 65);
  EXPECT_EQ(buffer_[1], 0x42);
}

TEST_F(HidrawReportTest, WriteSendsTheWholeReportWithItsId) {
  std::vector<uint8_t> report = Counting(65, 0);
  ASSERT_EQ(platform_.WriteReport(ours(), report.data(), 1000), 65);
  uint8_t received[128] = {};
  ASSERT_EQ(recv(device(), received, sizeof received, 0), 65);
  EXPECT_TRUE(std::equal(report.begin(), report.end(), received));
}

TEST_F(HidrawReportTest, WriteThatCannotGoOutFailsAfterItsTimeOut) {
  int small = 1;
  setsockopt(fds_[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  std::vector<uint8_t> report = Counting(65, 0);
  int sent = 0;
  while (sent < 10000 && platform_.WriteReport(ours(), report.data(), 0) == 65) {
    ++sent;
  }
  ASSERT_LT(sent, 10000) << "the device never stopped taking reports";

  const Clock::time_point start = Clock::now();
  EXPECT_EQ(platform_.WriteReport(ours(), report.data(), 10), -1);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(10));

  // Once the device takes reports again, a waiting write goes out.
  std::thread reader([this, sent] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    uint8_t sink[128];
    for (int i = 0; i < sent; ++i) recv(device(), sink, sizeof sink, 0);
  });
  EXPECT_EQ(platform_.WriteReport(ours(), report.data(), 10000), 65);
  reader.join();
}

TEST_F(HidrawReportTest, WriteFailuresAreReported) {
  std::vector<uint8_t> report = Counting(65, 0);
  EXPECT_EQ(platform_.WriteReport(kInvalidHidHandle, report.data(), 10), -1);
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  // A read-only descriptor refuses writes.
  EXPECT_EQ(platform_.WriteReport(pipeFds[0], report.data(), 10), -1);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

}  // namespace
}  // namespace lumiq
