#pragma once

#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::test {

// One simulated scanner plugged in at the HID platform layer of a platform
// of its own, and a link to it, so discovery, HidLink, the codec and the
// device commands all run for real.
class SimLinkFixture {
 public:
  SimLinkFixture();

  sim::SimulatedScanner& scanner() { return scanner_; }
  sim::SimPlatform& platform() { return platform_; }
  ScannerLink& link() { return link_; }

  // Opens the link on the scanner; its handshake is then dropped from the
  // record so tests see only what follows. Returns the open's code.
  int Connect();

  // The scanner's record as trace lines ("GET key", "SET key=value", ...).
  std::vector<std::string> Trace() const;
  // Only the "SET ..." lines, in order.
  std::vector<std::string> Sets() const;
  // Only the "GET ..." lines, in order.
  std::vector<std::string> Gets() const;

 protected:
  sim::SimulatedScanner scanner_;
  sim::SimPlatform platform_;
  ScannerLink link_{platform_};
};

// The same scanner as the one the window's device connection discovers:
// plugged in for as long as the fixture lives; the native platform comes
// back and the device is closed when it goes.
class SimScannerFixture : public SimLinkFixture {
 public:
  SimScannerFixture();
  ~SimScannerFixture();

  // OpenDevice against the scanner, its handshake dropped from the record.
  // Returns OpenDevice's result.
  int Connect();
};

}  // namespace lumiq::test
