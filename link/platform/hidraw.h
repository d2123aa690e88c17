#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

#include "link/hid_platform.h"

namespace lumiq {

// Linux backend over the kernel's hidraw nodes. Discovery reads sysfs only, so
// listing and attribute queries need no rights on the device nodes; only
// opening does, and that is what the udev rule in packaging/ grants.
//
// A handle of this backend is the file descriptor of the opened node, so a
// test can hand any readable or writable descriptor (a socket, a pipe) to
// ReadReport and WriteReport.
class HidrawPlatform : public HidPlatform {
 public:
  // The roots are injectable so tests can build a fake sysfs tree.
  explicit HidrawPlatform(std::string sysfsRoot = "/sys",
                          std::string devDir = "/dev");

  // "<devDir>/hidrawN" in the numeric order of N.
  int ListInterfaces(std::vector<std::string>* paths) override;
  bool ReadAttributes(const std::string& path,
                      HidAttributes* attributes) override;
  // The name of the USB device above the node's HID device ("1-2.3" from
  // its interface "1-2.3:1.1"); for a device on no USB (uhid), what its
  // creator put in HID_PHYS before "/inputN". Read from sysfs only.
  std::string PortOf(const std::string& path) override;
  // O_RDONLY or O_WRONLY, non-blocking, closed on exec. The read handle
  // also takes an exclusive flock on the node, without waiting: a node
  // another program holds fails at once (EWOULDBLOCK, kInUse).
  // Only a hidraw character device is opened (its sysfs subsystem is hidraw,
  // or, where sysfs does not know it, HIDIOCGRAWINFO succeeds on it): a
  // regular file, a disk, a socket, a FIFO or any other device is refused
  // with kNotAScanner before a byte could reach it, and the refusal says
  // what it is. The result's systemError is the errno of the failed step:
  // EACCES/EPERM mean the node exists but the user may not open it (the
  // udev rule is missing), EWOULDBLOCK that another program holds the node,
  // ENOTTY that it is no hidraw node.
  HidOpenResult Open(const std::string& path, HidAccess access) override;

  // The tests' loopback: a FIFO stands for the node, whatever the link
  // writes coming back as its answer. Off unless a test turns it on, before
  // the platform is used.
  void AcceptPipes(bool accept) { acceptPipes_ = accept; }
  // Not bounded by `timeoutMs` on a hidraw node: see kWriteTimeoutMs.
  int WriteReport(HidHandle handle, const uint8_t* report,
                  int timeoutMs) override;
  // Devices without numbered reports deliver 64 bytes; they are handed on as
  // a 65-byte report with id 0. A vanished device ends the wait with
  // kHidReadFailed.
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override;
  void Close(HidHandle handle) override;

 private:
  enum class NodeKind { kHidraw, kPipe, kUnknownCharacter, kOtherCharacter, kOther };
  NodeKind KindOf(const struct stat& st) const;

  // Only set up before use: every call reads these and nothing else of the
  // platform, so calls from several threads need no lock.
  std::string sysfsRoot_;
  std::string devDir_;
  bool acceptPipes_ = false;
};

// The instance NativeHidPlatform() returns on Linux.
HidrawPlatform& NativeHidrawPlatform();

namespace hidraw {

// The cause an errno of open (or of the lock) stands for.
OpenFailure OpenFailureOf(int error);

// Parsers of the sysfs texts, exposed for tests.

// "0003:00000525:0000A4AC" (bus:vendor:product, hexadecimal). false unless
// all three fields are hexadecimal and vendor and product fit 16 bits.
bool ParseHidId(const std::string& value, uint32_t* bus, uint16_t* vendor,
                uint16_t* product);

// The decimal number after the last "/input" of a HID_PHYS value
// ("usb-0000:00:14.0-1.2/input1" -> 1), or -1.
int InterfaceFromPhys(const std::string& phys);

// The USB port of an interface directory's name: "1-2.3:1.1" -> "1-2.3";
// empty when the name is not of that form.
std::string PortOfInterfaceName(const std::string& name);

// The hexadecimal contents of a bInterfaceNumber file ("0a\n" -> 10), or -1.
int ParseInterfaceNumber(const std::string& text);

// "hidraw12" -> 12; -1 for any other name.
int HidrawIndex(const std::string& name);

}  // namespace hidraw

}  // namespace lumiq
