#pragma once

#include <string>
#include <vector>

#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::test {

// One simulated scanner plugged in at the HID platform layer, so discovery,
// HidLink, the codec and the device commands all run for real. Restores the
// native platform and closes the device when it goes.
class SimScannerFixture {
 public:
  SimScannerFixture();
  ~SimScannerFixture();

  sim::SimulatedScanner& scanner() { return scanner_; }
  sim::SimPlatform& platform() { return platform_; }

  // OpenDevice against the scanner; its handshake is then dropped from the
  // record so tests see only what follows. Returns OpenDevice's result.
  int Connect();

  // The scanner's record as trace lines ("GET key", "SET key=value", ...).
  std::vector<std::string> Trace() const;
  // Only the "SET ..." lines, in order.
  std::vector<std::string> Sets() const;
  // Only the "GET ..." lines, in order.
  std::vector<std::string> Gets() const;

 private:
  sim::SimulatedScanner scanner_;
  sim::SimPlatform platform_;
};

}  // namespace lumiq::test
