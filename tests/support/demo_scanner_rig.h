#pragma once

#include <string>
#include <vector>

#include "sim/simulated_scanner.h"
#include "tests/support/forwarding_platform.h"
#include "tests/support/sim_fixture.h"

namespace lumiq::test {

// Passes everything to another platform, counting discoveries; can pretend
// that no device is plugged in.
class CountingPlatform final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  int discoveries = 0;
  bool noDevices = false;

  int ListInterfaces(std::vector<std::string>* paths) override;
};

// The simulated scanner behind the counting platform, seeded with the demo
// configuration. Trace() lists every command, the handshake included.
class UiScanner {
 public:
  UiScanner();
  ~UiScanner();

  sim::SimulatedScanner& scanner() { return fixture_.scanner(); }
  CountingPlatform& platform() { return counting_; }
  std::vector<std::string> Trace() const { return fixture_.Trace(); }
  std::vector<std::string> Sets() const { return fixture_.Sets(); }
  std::vector<std::string> Gets() const { return fixture_.Gets(); }
  void ClearTrace() { fixture_.scanner().ClearReceived(); }

 private:
  SimScannerFixture fixture_;
  CountingPlatform counting_;
};

}  // namespace lumiq::test
