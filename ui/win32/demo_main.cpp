#include <windows.h>

#include "sim/demo_configuration.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "ui/win32/config_app.h"

// The application on the built-in simulated scanner with the demo
// configuration, for trying the tool without a scanner.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  lumiq::sim::SimulatedScanner scanner;
  lumiq::sim::SeedDemoScanner(scanner);
  lumiq::sim::SimPlatform platform;
  platform.AddScanner(&scanner);
  const lumiq::sim::PluggedPlatform plugged(&platform);

  return lumiq::ui::win32::RunConfigApp(instance);
}
