#include "tests/support/demo_scanner_rig.h"

#include "link/device_commands.h"
#include "sim/demo_configuration.h"

namespace lumiq::test {

int CountingPlatform::ListInterfaces(std::vector<std::string>* paths) {
  ++discoveries;
  if (noDevices) {
    paths->clear();
    return 0;
  }
  return ForwardingPlatform::ListInterfaces(paths);
}

UiScanner::UiScanner() : counting_(fixture_.platform()) {
  sim::SeedDemoScanner(fixture_.scanner());
  UseHidPlatform(&counting_);
}

UiScanner::~UiScanner() {
  CloseDevice();
  UseHidPlatform(nullptr);
}

}  // namespace lumiq::test
