#pragma once

#include <linux/uhid.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/seed_file.h"
#include "sim/simulated_scanner.h"

namespace lumiq::vscan {

// What one virtual HID interface tells the kernel about itself.
struct DeviceIdentity {
  std::string name;
  std::string phys;  // the hidraw backend reads the interface number from its "/inputN"
  std::string uniq;  // lets us find our own hidraw node in sysfs
  uint16_t vendorId = 0;
  uint16_t productId = 0;
};

// One 64-byte input and one 64-byte output report, vendor-defined, without
// report ids: the kernel then delivers the 64 data bytes on read and hands a
// write's leading report-id byte through to UHID_OUTPUT.
const std::vector<uint8_t>& ScannerReportDescriptor();

// The UHID_CREATE2 request for `identity` on the USB bus. The strings are cut
// to the kernel's field sizes, always terminated.
uhid_event CreateRequest(const DeviceIdentity& identity);

// The phys text of interface `number` of the virtual device; `device` is the
// physical path of the device the interfaces belong to.
inline constexpr char kDefaultDevicePhys[] = "usb-0000:00:14.0-1";
std::string InterfacePhys(int number, const std::string& device = kDefaultDevicePhys);

// Turns the events of one uhid device into the simulated scanner's reports
// and its replies back into events. No file descriptor in sight, so the whole
// exchange can be driven without a kernel.
class ScannerBridge {
 public:
  // `scanner` may be null: the interface then never answers (the decoy).
  explicit ScannerBridge(sim::SimulatedScanner* scanner) : scanner_(scanner) {}

  // Handles one event read from the device and appends the events to write
  // back, in order.
  void Handle(const uhid_event& event, std::vector<uhid_event>* replies);

  // The scanner was unplugged by a fault: the device should be destroyed.
  bool Unplugged() const { return unplugged_; }

  // Trace lines of the commands received since the last call.
  std::vector<std::string> TakeTraceLines();

  // The reports that came in and went out, for the log.
  int OutputReports() const { return outputReports_; }
  int InputReports() const { return inputReports_; }

 private:
  void HandleOutput(const uhid_output_req& output, std::vector<uhid_event>* replies);

  sim::SimulatedScanner* scanner_;
  size_t traced_ = 0;
  bool unplugged_ = false;
  int outputReports_ = 0;
  int inputReports_ = 0;
};

}  // namespace lumiq::vscan
