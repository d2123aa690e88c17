#include "ui/app/demo_scanners.h"

#include "ui/app/change_marks.h"
#include "ui/app/program_arguments.h"

namespace lumiq::ui::app {

bool SeedDemoScanners(const std::vector<std::string>& seeds,
                      std::deque<sim::SimulatedScanner>* scanners, std::string* error) {
  size_t demos = 0;
  for (const std::string& seed : seeds) demos += seed.empty() ? 1 : 0;
  int number = 0;
  for (const std::string& seed : seeds) {
    sim::SimulatedScanner& scanner = scanners->emplace_back();
    sim::SeedError seedError;
    if (!sim::SeedScanner(seed, scanner, &seedError)) {
      *error = seedError.Describe();
      return false;
    }
    ++number;
    if (seed.empty() && demos > 1) scanner.Settings()["deviceno"] = DemoDeviceNumber(number);
  }
  return true;
}

DemoScanners::DemoScanners() = default;
DemoScanners::~DemoScanners() = default;

bool DemoScanners::Plug(const std::vector<std::string>& seeds, std::string* error) {
  if (!SeedDemoScanners(seeds, &scanners_, error)) {
    scanners_.clear();
    return false;
  }
  for (sim::SimulatedScanner& scanner : scanners_) platform_.AddScanner(&scanner);
  plugged_ = std::make_unique<sim::PluggedPlatform>(&platform_);
  SetScannersSimulated(true);
  return true;
}

}  // namespace lumiq::ui::app
