#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::ui::app {

// The demo's simulated scanners, plugged in for as long as this lives: one
// per seed file, "" for the demo configuration. Several demo scanners each
// get their own device number (DemoDeviceNumber), so the chooser tells
// them apart.
class DemoScanners {
 public:
  DemoScanners();
  ~DemoScanners();
  DemoScanners(const DemoScanners&) = delete;
  DemoScanners& operator=(const DemoScanners&) = delete;

  // false with a one-line `error` when a seed cannot be read; nothing is
  // plugged in then.
  bool Plug(const std::vector<std::string>& seeds, std::string* error);
  std::deque<sim::SimulatedScanner>& Scanners() { return scanners_; }

 private:
  std::deque<sim::SimulatedScanner> scanners_;  // the platform points at them
  sim::SimPlatform platform_;
  std::unique_ptr<sim::PluggedPlatform> plugged_;
};

// Seeds `scanners` (one each, in order) as DemoScanners does; false with
// the seed's error.
bool SeedDemoScanners(const std::vector<std::string>& seeds,
                      std::deque<sim::SimulatedScanner>* scanners, std::string* error);

}  // namespace lumiq::ui::app
