#include "sim/scanner_setup.h"

#include "link/device_commands.h"
#include "sim/demo_configuration.h"

namespace lumiq::sim {

bool SeedScanner(const std::string& seedFile, SimulatedScanner& scanner, SeedError* error,
                 std::string* text) {
  SettingList settings;
  if (seedFile.empty()) {
    const std::string demo = DemoSeedText();
    if (!ParseSeed(demo, &settings, error)) return false;
    if (text) *text = demo;
  } else if (!ReadSeedFile(seedFile, &settings, error, text)) {
    return false;
  }
  for (const auto& [key, value] : settings) scanner.Set(key, value);
  return true;
}

PluggedPlatform::PluggedPlatform(HidPlatform* platform) {
  if (platform) UseHidPlatform(platform);
}

PluggedPlatform::~PluggedPlatform() {
  CloseDevice();
  UseHidPlatform(nullptr);
}

}  // namespace lumiq::sim
