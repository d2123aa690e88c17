#include <QApplication>

#include "sim/demo_configuration.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "ui/qt/config_app.h"
#include "ui/qt/translations.h"

// The application on a simulated scanner with the demo configuration, for
// trying the tool without hardware.
int main(int argc, char** argv) {
  (void)argc;
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  lumiq::ui::qt::UseLanguage(lumiq::ui::qt::SystemLanguage());

  lumiq::sim::SimulatedScanner scanner;
  lumiq::sim::SeedDemoScanner(scanner);
  lumiq::sim::SimPlatform platform;
  platform.AddScanner(&scanner);
  const lumiq::sim::PluggedPlatform plugged(&platform);

  return lumiq::ui::qt::ConfigApp().Run();
}
