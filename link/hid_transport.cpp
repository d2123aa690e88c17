#include "link/hid_transport.h"

#include <cstring>
#include <utility>

namespace lumiq {

namespace {

// Input left over from an earlier exchange is normally one or two reports;
// the bound only stops a device that never falls silent from holding the
// write up.
constexpr int kMaxDiscardedReports = 64;

bool HasScannerIds(const HidAttributes& attributes) {
  return attributes.vendorId == kScannerVendorId &&
         attributes.productId == kScannerProductId;
}

}  // namespace

bool IsScannerInterface(const HidAttributes& attributes) {
  return HasScannerIds(attributes) &&
         attributes.interfaceNumber == kScannerInterface;
}

int FindScannerPath(HidPlatform& platform, char* path, size_t size) {
  std::vector<std::string> paths;
  if (platform.ListInterfaces(&paths) < 0) return kDiscoveryOutOfMemory;
  if (path == nullptr) return kNoScanner;

  for (const std::string& candidate : paths) {
    // A path that cannot be handed on whole, terminator included, would
    // open some other device or none.
    if (candidate.size() + 1 > size) continue;
    HidAttributes attributes;
    if (!platform.ReadAttributes(candidate, &attributes)) continue;
    if (!IsScannerInterface(attributes)) continue;
    std::memset(path, 0, size);
    std::memcpy(path, candidate.data(), candidate.size());
    return kScannerFound;
  }
  return kNoScanner;
}

std::vector<ScannerInterfaceInfo> ListScannerInterfaces(HidPlatform& platform) {
  std::vector<ScannerInterfaceInfo> found;
  std::vector<std::string> paths;
  if (platform.ListInterfaces(&paths) < 0) return found;

  bool chosen = false;
  for (const std::string& candidate : paths) {
    HidAttributes attributes;
    if (!platform.ReadAttributes(candidate, &attributes)) continue;
    if (!HasScannerIds(attributes)) continue;
    ScannerInterfaceInfo info;
    info.path = candidate;
    info.attributes = attributes;
    info.port = platform.PortOf(candidate);
    // The same choice FindScannerPath makes with the connection's buffer.
    if (!chosen && IsScannerInterface(attributes) &&
        candidate.size() + 1 <= kDevicePathSize) {
      info.usedByTool = true;
      chosen = true;
    }
    found.push_back(std::move(info));
  }
  return found;
}

HidLink::HidLink(HidPlatform& platform) : platform_(platform) {}

HidLink::~HidLink() { CloseHandles(); }

int HidLink::OpenHandles(const char* path, HidOpenResult* failed) {
  CloseHandles();
  if (path == nullptr) {
    if (failed != nullptr) *failed = HidOpenResult{kInvalidHidHandle, OpenFailure::kUnknown, {}, 0};
    return -1;
  }
  HidOpenResult read = platform_.Open(path, HidAccess::kRead);
  if (!read.Opened()) {
    if (failed != nullptr) *failed = std::move(read);
    return -1;
  }
  read_ = read.handle;
  HidOpenResult write = platform_.Open(path, HidAccess::kWrite);
  if (!write.Opened()) {
    platform_.Close(read_);
    read_ = kInvalidHidHandle;
    if (failed != nullptr) *failed = std::move(write);
    return -1;
  }
  write_ = write.handle;
  return 0;
}

void HidLink::CloseHandles() {
  if (read_ != kInvalidHidHandle) {
    platform_.Close(read_);
    read_ = kInvalidHidHandle;
  }
  if (write_ != kInvalidHidHandle) {
    platform_.Close(write_);
    write_ = kInvalidHidHandle;
  }
}

bool HidLink::IsOpen() const {
  return read_ != kInvalidHidHandle && write_ != kInvalidHidHandle;
}

void HidLink::DiscardQueuedInput() {
  for (int i = 0; i < kMaxDiscardedReports; ++i) {
    if (platform_.ReadReport(read_, receive_, 0) < 0) return;
  }
}

int HidLink::WriteReports(const uint8_t* data, int count) {
  if (count <= 0) return count;
  if (data == nullptr || !IsOpen()) return -1;

  DiscardQueuedInput();
  for (int offset = 0; offset < count; offset += kReportSize) {
    uint8_t report[kHidReportSize] = {};  // report id 0, zero fill
    const int chunk = count - offset < kReportSize ? count - offset : kReportSize;
    std::memcpy(report + 1, data + offset, static_cast<size_t>(chunk));
    if (platform_.WriteReport(write_, report, kWriteTimeoutMs) != kHidReportSize) {
      return -1;
    }
  }
  return count;
}

int HidLink::ReadReport(uint8_t* report, int timeoutMs) {
  if (!IsOpen()) return kNoReport;
  std::memset(receive_, 0, sizeof receive_);
  const int received = platform_.ReadReport(read_, receive_, timeoutMs);
  if (received < 0) return kNoReport;
  if (received != kHidReportSize || receive_[0] != 0) return 0;
  std::memcpy(report, receive_ + 1, kReportSize);
  return kReportSize;
}

}  // namespace lumiq
