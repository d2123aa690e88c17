#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/hid_platform.h"
#include "link/report_channel.h"

namespace lumiq {

inline constexpr uint16_t kScannerVendorId = 0x0525;
inline constexpr uint16_t kScannerProductId = 0xA4AC;
inline constexpr int kScannerInterface = 1;
inline constexpr size_t kDevicePathSize = 1024;

// Result codes of FindScannerPath.
inline constexpr int kScannerFound = 1;
inline constexpr int kDiscoveryOutOfMemory = -1;
inline constexpr int kNoScanner = -2;

// True for the scanner's configuration interface.
bool IsScannerInterface(const HidAttributes& attributes);

// Finds the first scanner interface in enumeration order and copies its path,
// zero-terminated, into `path` (`size` bytes, kDevicePathSize from the
// connection). An interface whose attributes cannot be read, or whose path
// does not fit `size` with its terminator, is passed over.
int FindScannerPath(HidPlatform& platform, char* path, size_t size);

// Every present interface with the scanner's ids, for listing.
struct ScannerInterfaceInfo {
  std::string path;
  HidAttributes attributes;
  bool usedByTool = false;  // the interface FindScannerPath would choose
  std::string port;         // HidPlatform::PortOf; empty when unknown
};
std::vector<ScannerInterfaceInfo> ListScannerInterfaces(HidPlatform& platform);

// The two handles on one opened scanner interface, and the report channel
// over them. Used by one thread at a time.
class HidLink : public ReportChannel {
 public:
  explicit HidLink(HidPlatform& platform);
  ~HidLink() override;
  HidLink(const HidLink&) = delete;
  HidLink& operator=(const HidLink&) = delete;

  // 0 when both handles are open; -1 when either open failed (a read handle
  // already opened is closed again), and `failed`, when given, receives that
  // open's result.
  int OpenHandles(const char* path, HidOpenResult* failed = nullptr);
  // Closes the read handle, then the write handle.
  void CloseHandles();
  bool IsOpen() const;

  // Before the first report of a request goes out, input already queued (a
  // late reply to an exchange that timed out, a stray report) is dropped, so
  // it is never taken as the answer to this request.
  int WriteReports(const uint8_t* data, int count) override;
  int ReadReport(uint8_t* report, int timeoutMs) override;

 private:
  void DiscardQueuedInput();

  HidPlatform& platform_;
  HidHandle read_ = kInvalidHidHandle;
  HidHandle write_ = kInvalidHidHandle;
  uint8_t receive_[kHidReportSize] = {};
};

}  // namespace lumiq
