#include <cstdio>

#include <QApplication>

#include "ui/app/demo_scanners.h"
#include "ui/qt/config_app.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/translations.h"

// The application on simulated scanners (one with the demo configuration
// unless told otherwise), for trying the tool without hardware.
int main(int argc, char** argv) {
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  lumiq::ui::qt::UseLanguage(lumiq::ui::qt::SystemLanguage());
  lumiq::ui::app::ProgramArguments arguments;
  if (!lumiq::ui::qt::ReadArguments(argc, argv, true, &arguments)) return 2;
  if (arguments.help) return 0;

  lumiq::ui::app::DemoScanners scanners;
  std::string error;
  if (!scanners.Plug(arguments.seeds, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    lumiq::ui::qt::MessageBoxSink().Show(nullptr, QString::fromLocal8Bit(error.c_str()));
    return 2;
  }
  return lumiq::ui::qt::ConfigApp().Run(arguments.file);
}
