#include <QApplication>

#include "ui/qt/config_app.h"
#include "ui/qt/translations.h"

int main(int argc, char** argv) {
  (void)argc;
  // The tool takes no options: Qt is shown the program's name only.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  lumiq::ui::qt::UseLanguage(lumiq::ui::qt::SystemLanguage());
  return lumiq::ui::qt::ConfigApp().Run();
}
