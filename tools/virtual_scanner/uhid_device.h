#pragma once

#include <linux/uhid.h>

#include <string>

#include "tools/virtual_scanner/uhid_bridge.h"

namespace lumiq::vscan {

// One HID device made by the kernel's uhid driver, alive while this object
// holds its /dev/uhid descriptor.
class UhidDevice {
 public:
  UhidDevice() = default;
  ~UhidDevice();
  UhidDevice(const UhidDevice&) = delete;
  UhidDevice& operator=(const UhidDevice&) = delete;

  // Opens /dev/uhid and creates the device. false with `error` set.
  bool Create(const DeviceIdentity& identity, std::string* error);
  // Removes the device from the system; harmless when there is none.
  void Destroy();

  int Fd() const { return fd_; }
  bool Exists() const { return fd_ >= 0; }
  const DeviceIdentity& Identity() const { return identity_; }

  // One event from the kernel. false on a read error (the device is gone).
  bool Read(uhid_event* event);
  bool Write(const uhid_event& event);

 private:
  int fd_ = -1;
  DeviceIdentity identity_;
};

// The hidraw node ("/dev/hidrawN") the kernel made for the device whose uniq
// text is `uniq`, once it exists both in sysfs and in /dev; empty before.
std::string FindHidrawNode(const std::string& uniq);

}  // namespace lumiq::vscan
