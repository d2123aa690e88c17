#include "tools/zrctl/simulation.h"

#include <set>

#include "sim/demo_configuration.h"
#include "sim/seed_file.h"

namespace lumiq::zrctl {

bool SimulatedScanners::Add(const std::string& seedFile, std::ostream& err) {
  auto scanner = std::make_unique<Scanner>();
  if (seedFile.empty()) {
    sim::SeedDemoScanner(scanner->device);
  } else {
    sim::SettingList settings;
    sim::SeedError error;
    if (!sim::ReadSeedFile(seedFile, &settings, &error)) {
      err << "zrctl: simulated scanner " << seedFile;
      if (error.line > 0) err << ":" << error.line;
      err << ": " << error.message << "\n";
      return false;
    }
    for (auto& [key, value] : settings) {
      scanner->order.push_back(key);
      scanner->device.Set(key, value);
    }
    scanner->seedFile = seedFile;
    Scanner* self = scanner.get();
    scanner->device.onCommit = [this, self] { WriteBack(*self); };
  }
  platform_.AddScanner(&scanner->device);
  scanners_.push_back(std::move(scanner));
  return true;
}

void SimulatedScanners::WriteBack(const Scanner& scanner) {
  // Keys keep the place they had in the file; new ones follow in key order.
  const auto& memory = scanner.device.Settings();
  sim::SettingList settings;
  std::set<std::string> written;
  for (const std::string& key : scanner.order) {
    auto at = memory.find(key);
    if (at != memory.end() && written.insert(key).second) settings.emplace_back(key, at->second);
  }
  for (const auto& [key, value] : memory) {
    if (written.count(key) == 0) settings.emplace_back(key, value);
  }
  if (!sim::WriteSeedFile(scanner.seedFile, sim::FormatSeed(settings))) {
    writeFailures_.push_back(scanner.seedFile);
  }
}

bool SimulatedScanners::ReportWriteFailures(std::ostream& err) const {
  for (const std::string& file : writeFailures_) {
    err << "zrctl: simulated scanner " << file << ": the commit could not be written back\n";
  }
  return writeFailures_.empty();
}

}  // namespace lumiq::zrctl
