#pragma once

#include <string>
#include <vector>

#include "link/hid_platform.h"
#include "link/hid_transport.h"
#include "link/scanner_link.h"

namespace lumiq {

// A scanner interface as a list shows it to an operator (`zrctl list`, the
// window's chooser): where it is plugged in and, for a configuration
// interface, who it is (device number and firmware, read with a handshake
// and two gets, then closed) or why that could not be read.
struct ScannerIdentity {
  ScannerInterfaceInfo info;
  bool asked = false;   // a configuration interface, so it was opened
  bool opened = false;  // the handshake was answered
  OpenFailure failure = OpenFailure::kNone;
  bool deviceNumberRead = false;
  std::string deviceNumber;
  bool firmwareRead = false;
  std::string firmware;
};

// Every interface with the scanner's ids, sorted by port (numbers in it
// compared as numbers, so 1-10 follows 1-9; an unknown port last), then by
// path: the same order on every run, whatever order the platform
// enumerates in. Nothing is opened.
std::vector<ScannerIdentity> SortedInterfaces(HidPlatform& platform);

// Opens a configuration interface on `link` (which must have no link open),
// reads its device number and firmware and closes it again; any other
// interface is left alone. A value longer than the window's longest value
// buffer counts as not read.
void Identify(ScannerLink& link, ScannerIdentity* scanner);

// The order SortedInterfaces sorts ports in.
bool PortLess(const std::string& a, const std::string& b);

}  // namespace lumiq
