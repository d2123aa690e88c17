#include "tools/zrctl/simulation.h"

#include "profile/setting_text.h"
#include "sim/demo_configuration.h"
#include "sim/seed_file.h"

namespace lumiq::zrctl {

bool SimulatedScanners::Add(const std::string& seedFile, std::ostream& err) {
  auto scanner = std::make_unique<Scanner>();
  if (seedFile.empty()) {
    sim::SeedDemoScanner(scanner->device);
  } else {
    // Held before it is read, so that what is read is what no other run
    // writes meanwhile.
    std::string holdError;
    if (!scanner->hold.Take(seedFile, &holdError)) {
      err << "zrctl: simulated scanner: " << holdError << "\n";
      return false;
    }
    sim::SettingList settings;
    sim::SeedError error;
    if (!sim::ReadSeedFile(seedFile, &settings, &error, &scanner->text)) {
      err << "zrctl: simulated scanner: " << error.Describe() << "\n";
      return false;
    }
    for (auto& [key, value] : settings) scanner->device.Set(key, value);
    scanner->seedFile = seedFile;
    Scanner* self = scanner.get();
    scanner->device.onCommit = [this, self] { WriteBack(*self); };
  }
  scanner->path = sim::SimPlatform::PathOf(platform_.ScannerCount(), 1);
  platform_.AddScanner(&scanner->device);
  scanners_.push_back(std::move(scanner));
  return true;
}

void SimulatedScanners::WriteBack(Scanner& scanner) {
  const std::string text = profile::UpdateSettingText(scanner.text, scanner.device.Settings());
  std::string error;
  if (!sim::WriteSeedFile(scanner.seedFile, text, &error, &scanner.hold)) {
    std::lock_guard<std::mutex> lock(failuresMutex_);
    writeFailures_.push_back({scanner.path, error});
    return;
  }
  scanner.text = text;
}

bool SimulatedScanners::ReportWriteFailures(std::ostream& err, const std::string& path) {
  std::lock_guard<std::mutex> lock(failuresMutex_);
  bool none = true;
  for (auto it = writeFailures_.begin(); it != writeFailures_.end();) {
    if (!path.empty() && it->path != path) {
      ++it;
      continue;
    }
    err << "zrctl: simulated scanner: the commit could not be written back: " << it->error
        << "\n";
    none = false;
    it = writeFailures_.erase(it);
  }
  return none;
}

}  // namespace lumiq::zrctl
