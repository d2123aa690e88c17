#pragma once

#include <string>
#include <vector>

#include "link/hid_platform.h"

namespace lumiq {

// The browser's WebHID as a backend (link/platform/webhid.js holds its
// JavaScript half). The page asks for a scanner with the browser's picker
// (navigator.hid.requestDevice, which needs the operator's click); this
// backend lists only the scanners the page was already granted
// (navigator.hid.getDevices), so a granted scanner is found again without
// the picker.
//
// WebHID has no paths and no interface numbers: a path is "webhid:N", N
// the granted device's number for this page's life, and the configuration
// interface is the one whose collection has the vendor usage page 0xFF00,
// usage 1 (the scanner's report descriptor); any other interface of the
// scanner reads as interface 0.
//
// Every browser call is a promise. The link stays synchronous: each
// operation waits with Asyncify, and every promise ends as a number (a
// rejection is mapped to a failure code in JavaScript, so no exception
// reaches C++). A read ends at its deadline whatever the device does:
// the wait races a timer, and a report that comes later is queued for the
// next read (the link drops it before its next request). Input reports
// arrive by the `inputreport` event into a bounded queue per device; a
// device that disconnects fails its waiting read at once.
//
// One thread (the page's): the platform is not used from several threads.
class WebHidPlatform : public HidPlatform {
 public:
  int ListInterfaces(std::vector<std::string>* paths) override;
  bool ReadAttributes(const std::string& path, HidAttributes* attributes) override;
  // Opens the device (once for both handles). A read handle holds the
  // interface for this page's link alone, as the hidraw lock does.
  HidOpenResult Open(const std::string& path, HidAccess access) override;
  // sendReport(report id, 64 bytes), given up after `timeoutMs`.
  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override;
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override;
  void Close(HidHandle handle) override;
  // PortOf stays unknown: WebHID tells no USB port (the chooser's rows tell
  // scanners apart by device number and firmware, in the order granted).
};

// Whether the browser has WebHID at all (Chrome, Edge and the other
// Chromium-based browsers do; Firefox and Safari do not).
bool WebHidAvailable();

}  // namespace lumiq
