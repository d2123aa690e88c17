#pragma once

#include <string>
#include <vector>

#include "link/hid_platform.h"

namespace lumiq {

// Windows backend: discovery through the setup and HID services, reports
// through overlapped file input and output. Built on Windows only.
//
// Each handle owns its event, overlapped record and transfer buffer, so a
// transfer that is cancelled can never complete into memory that is gone, and
// reads and writes never signal each other. The platform itself keeps no
// state between calls, so several threads may use it at once.
class Win32HidPlatform : public HidPlatform {
 public:
  // Present HID interfaces; a path that does not fit kDevicePathSize bytes
  // with its terminator is passed over. -1 when a detail record could not be
  // allocated.
  int ListInterfaces(std::vector<std::string>* paths) override;
  // Opens the path with no access rights, which any user may do, and asks
  // for the HID attributes; the interface number comes from the path.
  bool ReadAttributes(const std::string& path,
                      HidAttributes* attributes) override;
  // SPDRP_LOCATION_INFORMATION of the interface's device, or of the first
  // device above it that has one ("Port_#0002.Hub_#0001" on the USB device
  // of a composite scanner); the HID collection itself usually has none.
  std::string PortOf(const std::string& path) override;
  // The read handle also creates the interface's exclusion mutex (see
  // win32::ExclusionMutexName); finding it already there fails the open
  // with ERROR_SHARING_VIOLATION (kInUse). A path that names no HID
  // interface (win32::IsHidInterfacePath) is refused unopened, kNotAScanner.
  // The result's systemError is GetLastError() of the failed step
  // (ERROR_SHARING_VIOLATION: another program of ours holds the scanner;
  // ERROR_ACCESS_DENIED: the system refuses, or another program holds the
  // device exclusively).
  HidOpenResult Open(const std::string& path, HidAccess access) override;
  // A write still under way after `timeoutMs` is cancelled and gives -1.
  int WriteReport(HidHandle handle, const uint8_t* report,
                  int timeoutMs) override;
  // A read that times out is cancelled before it returns kHidReadFailed, so
  // nothing lands in the handle's buffer afterwards and the next read starts
  // clean.
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override;
  void Close(HidHandle handle) override;

  // The cause an error code of a failed open stands for.
  static OpenFailure OpenFailureOf(unsigned long error);
};

// The instance NativeHidPlatform() returns on Windows.
Win32HidPlatform& NativeWin32HidPlatform();

}  // namespace lumiq
