#pragma once

#include <string>
#include <vector>

#include "link/hid_platform.h"
#include "link/scanner_identity.h"

namespace lumiq::ui::app {

// One row of the scanner chooser: the interface it connects to and what the
// operator reads (UTF-8).
struct ScannerChoice {
  std::string path;
  std::string text;
};

// The configuration interfaces present, in the chooser's order (by port,
// then path), with one discovery and nothing opened. Only those the
// connection can open by path (as discovery would) are counted.
std::vector<ScannerIdentity> PresentScanners(HidPlatform& platform);

// Reads each scanner's device number and firmware (a handshake and two
// gets, then closed; the connection must hold no link) and words the rows.
std::vector<ScannerChoice> ReadChoices(std::vector<ScannerIdentity> scanners);

// The row of one scanner after Identify.
std::string ChoiceText(const ScannerIdentity& scanner);

}  // namespace lumiq::ui::app
