#include <QApplication>

#include "ui/qt/config_app.h"
#include "ui/qt/translations.h"

int main(int argc, char** argv) {
  // The tool's own arguments are read below: Qt is shown the program's name
  // only.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  lumiq::ui::qt::UseLanguage(lumiq::ui::qt::SystemLanguage());
  lumiq::ui::app::ProgramArguments arguments;
  if (!lumiq::ui::qt::ReadArguments(argc, argv, false, &arguments)) return 2;
  if (arguments.help) return 0;
  return lumiq::ui::qt::ConfigApp().Run(arguments.file);
}
