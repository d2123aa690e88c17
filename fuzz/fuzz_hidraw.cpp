// The Linux backend meets two kinds of outside input: what the kernel hands
// up from a device node (input transfers of any size, a device that goes
// away) and the texts of sysfs (uevent, HID_PHYS, bInterfaceNumber). Neither
// may crash it, make it wait past its time-out or write past a buffer, and
// the parsers must accept exactly the forms they document.
//
// A socket pair stands in for the device node: SOCK_SEQPACKET keeps each
// write a transfer of its own, as the kernel keeps reports. A temporary
// directory stands in for sysfs. The Windows backend's device path rules,
// plain text work built on every platform, are checked alongside.

#include <fuzzer/FuzzedDataProvider.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <system_error>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/scanner_link.h"
#include "link/hid_platform.h"
#include "link/hid_transport.h"
#include "link/platform/hidraw.h"
#include "link/platform/win32_path.h"

namespace {

using lumiq::HidrawPlatform;
using lumiq::kHidReportSize;
using Bytes = std::vector<uint8_t>;
namespace hidraw = lumiq::hidraw;

// --- reference forms of the sysfs texts ---------------------------------------

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool HexField(const std::string& text, uint32_t* value) {
  if (text.empty() || text.size() > 8) return false;
  for (char c : text) {
    if (!IsHex(c)) return false;
  }
  *value = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
  return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

void CheckParsers(const std::string& text) {
  uint32_t bus = 0;
  uint16_t vendor = 0;
  uint16_t product = 0;
  const bool parsed = hidraw::ParseHidId(text, &bus, &vendor, &product);
  const std::vector<std::string> fields = Split(text, ':');
  uint32_t b = 0, v = 0, p = 0;
  const bool expected = fields.size() == 3 && HexField(fields[0], &b) &&
                        HexField(fields[1], &v) && HexField(fields[2], &p) &&
                        v <= 0xFFFF && p <= 0xFFFF;
  FUZZ_CHECK(parsed == expected);
  if (parsed) FUZZ_CHECK(bus == b && vendor == v && product == p);

  const int fromPhys = hidraw::InterfaceFromPhys(text);
  FUZZ_CHECK(fromPhys >= -1 && fromPhys <= 255);
  if (fromPhys >= 0) {
    const size_t at = text.rfind("/input");
    FUZZ_CHECK(at != std::string::npos);
    FUZZ_CHECK(std::to_string(fromPhys) ==
               std::to_string(std::atoi(text.c_str() + at + 6)));
  }

  const int number = hidraw::ParseInterfaceNumber(text);
  FUZZ_CHECK(number >= -1 && number <= 0xFF);

  // The Windows backend's path rules are plain text work too, built here.
  const int fromPath = lumiq::win32::InterfaceFromDevicePath(text);
  FUZZ_CHECK(fromPath >= -1 && fromPath <= 0xFF);
  if (text.find("&mi_01") != std::string::npos) FUZZ_CHECK(fromPath == 1);
  // A detail record's field of exactly the text's size: never read past it.
  std::unique_ptr<char[]> field(new char[text.size()]);
  std::memcpy(field.get(), text.data(), text.size());
  std::string path;
  const size_t terminator = text.find('\0');
  const bool taken = lumiq::win32::TakeDevicePath(field.get(), text.size(), 1024, &path);
  FUZZ_CHECK(taken == (terminator != std::string::npos && terminator < 1024));
  if (taken) FUZZ_CHECK(path == text.substr(0, terminator));

  const int index = hidraw::HidrawIndex(text);
  if (index >= 0) {
    FUZZ_CHECK(text.compare(0, 6, "hidraw") == 0);
    FUZZ_CHECK(text.size() > 6 && text.size() <= 12);
    FUZZ_CHECK(std::to_string(index) == std::to_string(std::atol(text.c_str() + 6)));
  }
}

// --- a fake sysfs tree ----------------------------------------------------------

struct FakeSysfs {
  std::string root;  // holds sys/ and dev/
  std::string usbUevent;
  std::string usbInterfaceNumber;
  std::string virtualUevent;

  FakeSysfs() {
    char pattern[] = "/tmp/lumiq-fuzz-sysfs-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern) != nullptr);
    root = pattern;
    const std::string usbInterface = root + "/sys/devices/pci0000:00/usb1/1-1/1-1:1.1";
    const std::string usbDevice = usbInterface + "/0003:0525:A4AC.0001";
    const std::string virtualDevice = root + "/sys/devices/virtual/misc/uhid/0003:0525:A4AC.0002";
    for (const std::string& dir :
         {root + "/sys", root + "/sys/devices", root + "/sys/devices/pci0000:00",
          root + "/sys/devices/pci0000:00/usb1", root + "/sys/devices/pci0000:00/usb1/1-1",
          usbInterface, usbDevice, root + "/sys/devices/virtual",
          root + "/sys/devices/virtual/misc", root + "/sys/devices/virtual/misc/uhid",
          virtualDevice, root + "/sys/class", root + "/sys/class/hidraw",
          root + "/sys/class/hidraw/hidraw0", root + "/sys/class/hidraw/hidraw1",
          root + "/dev"}) {
      mkdir(dir.c_str(), 0700);
    }
    FUZZ_CHECK(symlink(usbDevice.c_str(), (root + "/sys/class/hidraw/hidraw0/device").c_str()) == 0);
    FUZZ_CHECK(symlink(virtualDevice.c_str(), (root + "/sys/class/hidraw/hidraw1/device").c_str()) == 0);
    usbUevent = usbDevice + "/uevent";
    usbInterfaceNumber = usbInterface + "/bInterfaceNumber";
    virtualUevent = virtualDevice + "/uevent";
  }
};

FakeSysfs& Sysfs() {
  static FakeSysfs sysfs;
  return sysfs;
}

void RemoveSysfs() {
  std::error_code ignored;
  std::filesystem::remove_all(Sysfs().root, ignored);
}

void WriteFile(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  FUZZ_CHECK(fd >= 0);
  FUZZ_CHECK(write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()));
  close(fd);
}

// The value of the first KEY= line, as a uevent reader must find it.
bool UeventValue(const std::string& uevent, const std::string& key, std::string* value) {
  for (const std::string& line : Split(uevent, '\n')) {
    if (line.compare(0, key.size() + 1, key + "=") == 0) {
      *value = line.substr(key.size() + 1);
      return true;
    }
  }
  return false;
}

void FuzzSysfs(FuzzedDataProvider& in) {
  FakeSysfs& sysfs = Sysfs();
  // Mostly uevent-like text, so the fuzzer reaches the interface rules.
  std::string uevent;
  if (in.ConsumeBool()) {
    uevent = "DRIVER=hid-generic\nHID_ID=" + in.ConsumeRandomLengthString(30) +
             "\nHID_NAME=ZR\nHID_PHYS=" + in.ConsumeRandomLengthString(40) + "\n";
  }
  uevent += in.ConsumeRandomLengthString(5000);
  const std::string interfaceNumber = in.ConsumeRandomLengthString(8);
  WriteFile(sysfs.usbUevent, uevent);
  WriteFile(sysfs.virtualUevent, uevent);
  WriteFile(sysfs.usbInterfaceNumber, interfaceNumber);

  HidrawPlatform platform(sysfs.root + "/sys", sysfs.root + "/dev");
  std::vector<std::string> paths;
  FUZZ_CHECK(platform.ListInterfaces(&paths) == 0);
  FUZZ_CHECK(paths == (std::vector<std::string>{sysfs.root + "/dev/hidraw0",
                                                 sysfs.root + "/dev/hidraw1"}));

  std::string hidId;
  uint32_t bus = 0;
  uint16_t vendor = 0;
  uint16_t product = 0;
  // Files longer than any real uevent are refused whole.
  const bool readable = uevent.size() <= 4096;
  const bool valid = readable && UeventValue(uevent, "HID_ID", &hidId) &&
                     hidraw::ParseHidId(hidId, &bus, &vendor, &product);
  std::string phys;
  const int physInterface =
      UeventValue(uevent, "HID_PHYS", &phys) ? hidraw::InterfaceFromPhys(phys) : -1;

  for (int node = 0; node < 2; ++node) {
    lumiq::HidAttributes attributes;
    attributes.interfaceNumber = 77;
    const bool read = platform.ReadAttributes(paths[node], &attributes);
    FUZZ_CHECK(read == valid);
    if (!read) {
      FUZZ_CHECK(attributes.interfaceNumber == 77);  // untouched
      continue;
    }
    FUZZ_CHECK(attributes.vendorId == vendor && attributes.productId == product);
    int expected = physInterface;
    if (node == 0 && bus == 3) {
      const int fromUsb = hidraw::ParseInterfaceNumber(interfaceNumber);
      if (fromUsb >= 0) expected = fromUsb;
    }
    FUZZ_CHECK(attributes.interfaceNumber == expected);
  }
}

// --- reports through a socket pair --------------------------------------------

struct SocketPair {
  int node = -1;    // the backend's end
  int device = -1;  // the device's end
  SocketPair() {
    int fds[2];
    FUZZ_CHECK(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) == 0);
    node = fds[0];
    device = fds[1];
  }
  ~SocketPair() {
    if (node >= 0) close(node);
    if (device >= 0) close(device);
  }
  void Unplug() {
    close(device);
    device = -1;
  }
};

// What ReadReport must hand up for one transfer of `sent` bytes.
void CheckRead(const Bytes& sent, int result, const uint8_t* buffer) {
  if (sent.empty()) {
    FUZZ_CHECK(result == -3);  // a zero-length read is the end of the device
    return;
  }
  if (sent.size() == kHidReportSize - 1) {
    // Unnumbered input: the report id 0 is put in front.
    FUZZ_CHECK(result == kHidReportSize);
    FUZZ_CHECK(buffer[0] == 0);
    FUZZ_CHECK(std::memcmp(buffer + 1, sent.data(), sent.size()) == 0);
    return;
  }
  const size_t kept = std::min<size_t>(sent.size(), kHidReportSize);
  FUZZ_CHECK(result == static_cast<int>(kept));
  FUZZ_CHECK(std::memcmp(buffer, sent.data(), kept) == 0);
}

void FuzzReports(FuzzedDataProvider& in) {
  HidrawPlatform platform("/nonexistent", "/nonexistent");
  SocketPair pair;
  std::deque<Bytes> sent;
  const int transfers = in.ConsumeIntegralInRange(0, 12);
  for (int i = 0; i < transfers; ++i) {
    Bytes transfer = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 200));
    if (send(pair.device, transfer.data(), transfer.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(transfer.size())) {
      break;
    }
    sent.push_back(std::move(transfer));
  }
  const bool unplug = in.ConsumeBool();
  if (unplug) pair.Unplug();

  while (true) {
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kHidReportSize]);
    const int result = platform.ReadReport(pair.node, buffer.get(), 0);
    if (sent.empty()) {
      FUZZ_CHECK(result == -3);  // nothing queued: the time-out, at once
      break;
    }
    CheckRead(sent.front(), result, buffer.get());
    const bool ended = sent.front().empty();
    sent.pop_front();
    if (ended) break;
  }

  // Writes: each report arrives whole, or the write fails; a full queue or
  // a vanished device never blocks.
  const int writes = in.ConsumeIntegralInRange(0, 300);
  std::deque<Bytes> written;
  for (int i = 0; i < writes; ++i) {
    Bytes report = in.ConsumeBytes<uint8_t>(kHidReportSize);
    report.resize(kHidReportSize, 0);
    const int result = platform.WriteReport(pair.node, report.data(), 0);
    if (pair.device < 0) {
      FUZZ_CHECK(result == -1);
      continue;
    }
    FUZZ_CHECK(result == kHidReportSize || result == -1);
    if (result == kHidReportSize) written.push_back(report);
    if (!written.empty() && in.ConsumeBool()) {
      uint8_t received[kHidReportSize + 8];
      FUZZ_CHECK(recv(pair.device, received, sizeof received, 0) == kHidReportSize);
      FUZZ_CHECK(std::memcmp(received, written.front().data(), kHidReportSize) == 0);
      written.pop_front();
    }
  }

  uint8_t scratch[kHidReportSize];
  FUZZ_CHECK(platform.ReadReport(-1, scratch, 0) == -3);
  FUZZ_CHECK(platform.ReadReport(static_cast<lumiq::HidHandle>(INT_MAX) + 1, scratch, 0) == -3);
  FUZZ_CHECK(platform.WriteReport(-1, scratch, 0) == -1);
}

// --- the link above the backend ---------------------------------------------------

// The backend's report handling under HidLink and the device commands. Open
// hands out duplicates of the socket; after each report written, the
// "device" queues the next batch of transfers. Reads never wait: the answer
// is either queued already or not coming.
class SocketHidPlatform : public lumiq::HidPlatform {
 public:
  explicit SocketHidPlatform(SocketPair& pair) : pair_(pair) {}

  int ListInterfaces(std::vector<std::string>* paths) override {
    *paths = {"socket"};
    return 0;
  }
  bool ReadAttributes(const std::string&, lumiq::HidAttributes* attributes) override {
    attributes->vendorId = lumiq::kScannerVendorId;
    attributes->productId = lumiq::kScannerProductId;
    attributes->interfaceNumber = lumiq::kScannerInterface;
    return true;
  }
  lumiq::HidOpenResult Open(const std::string&, lumiq::HidAccess) override {
    lumiq::HidOpenResult result;
    const int fd = fcntl(pair_.node, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
      result.failure = lumiq::OpenFailure::kUnknown;
      return result;
    }
    ++open_;
    result.handle = fd;
    return result;
  }
  int WriteReport(lumiq::HidHandle handle, const uint8_t* report, int) override {
    const int result = backend_.WriteReport(handle, report, 0);
    if (pair_.device >= 0) {
      uint8_t drained[kHidReportSize];
      while (recv(pair_.device, drained, sizeof drained, MSG_DONTWAIT) > 0) {
      }
      if (!batches.empty()) {
        for (const Bytes& transfer : batches.front()) {
          send(pair_.device, transfer.data(), transfer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        batches.pop_front();
      }
      if (unplugAfterWrites > 0 && --unplugAfterWrites == 0) pair_.Unplug();
    }
    return result;
  }
  int ReadReport(lumiq::HidHandle handle, uint8_t* buffer, int) override {
    return backend_.ReadReport(handle, buffer, 0);
  }
  void Close(lumiq::HidHandle handle) override {
    backend_.Close(handle);
    --open_;
  }

  std::deque<std::vector<Bytes>> batches;
  int unplugAfterWrites = 0;
  int OpenCount() const { return open_; }

 private:
  SocketPair& pair_;
  HidrawPlatform backend_{"/nonexistent", "/nonexistent"};
  int open_ = 0;
};

Bytes ReplyTransfer(FuzzedDataProvider& in) {
  // One 64-byte report of a reply frame, mostly well formed: status and
  // length as the fuzzer picks them; unnumbered, as hidraw delivers it.
  Bytes report(kHidReportSize - 1, 0);
  report[5] = in.ConsumeBool() ? 0 : in.ConsumeIntegral<uint8_t>();
  const uint16_t length = in.ConsumeIntegralInRange<uint16_t>(0, 400);
  report[6] = static_cast<uint8_t>(length & 0xFF);
  report[7] = static_cast<uint8_t>(length >> 8);
  const Bytes data = in.ConsumeBytes<uint8_t>(kHidReportSize - 1 - 8);
  std::copy(data.begin(), data.end(), report.begin() + 8);
  return report;
}

void FuzzLink(FuzzedDataProvider& in) {
  SocketPair pair;
  SocketHidPlatform platform(pair);
  const int batches = in.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < batches; ++i) {
    std::vector<Bytes> batch;
    const int items = in.ConsumeIntegralInRange(0, 5);
    for (int j = 0; j < items; ++j) {
      if (in.ConsumeBool()) {
        batch.push_back(ReplyTransfer(in));
      } else {
        batch.push_back(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 140)));
      }
    }
    platform.batches.push_back(std::move(batch));
  }
  platform.unplugAfterWrites = in.ConsumeIntegralInRange(0, 3) == 0 ? in.ConsumeIntegralInRange(1, 12) : 0;

  lumiq::ScannerLink link(platform);
  if (link.Open().Opened()) {
    const int commands = in.ConsumeIntegralInRange(1, 8);
    for (int i = 0; i < commands; ++i) {
      const std::string key = in.ConsumeBool() ? "qrcode" : in.ConsumeRandomLengthString(20);
      switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: {
          const size_t size = in.ConsumeBool() ? lumiq::kValueBufferSize : lumiq::kLongValueBufferSize;
          std::unique_ptr<char[]> value(new char[size]);
          std::memset(value.get(), 0x5A, size);
          const int result = link.GetSetting(key, value.get(), size);
          FUZZ_CHECK(result >= -1);
          if (result >= 0) {
            FUZZ_CHECK(static_cast<size_t>(result) < size && value[result] == '\0');
          } else {
            for (size_t at = 0; at < size; ++at) FUZZ_CHECK(value[at] == 0x5A);
          }
          break;
        }
        case 1: {
          const int result = link.SetSetting(key, in.ConsumeRandomLengthString(260));
          FUZZ_CHECK(result >= -3 && result <= 0);
          break;
        }
        default:
          FUZZ_CHECK(link.CommitSettings() >= -1);
          break;
      }
    }
  }
  link.Close();
  FUZZ_CHECK(platform.OpenCount() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A socket whose peer is gone raises SIGPIPE on write; a device node
  // never does, and the backend is exercised on sockets only here.
  signal(SIGPIPE, SIG_IGN);
  Sysfs();
  std::atexit(RemoveSysfs);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      CheckParsers(in.ConsumeRemainingBytesAsString());
      break;
    case 1:
      FuzzSysfs(in);
      break;
    case 2:
      FuzzReports(in);
      break;
    default:
      FuzzLink(in);
      break;
  }
  return 0;
}
