#include "ui/qt/config_app.h"

#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QTimer>

#include "res/strings.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/program_icon.h"

namespace lumiq::ui::qt {

bool ReadArguments(int argc, char** argv, bool demo, app::ProgramArguments* parsed) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  if (app::ParseProgramArguments(arguments, demo, parsed, &error)) {
    if (parsed->help) std::fputs(app::ProgramHelp(demo).c_str(), stdout);
    return true;
  }
  const std::string text = error + "\nusage: " + app::ProgramUsage(demo);
  std::fprintf(stderr, "%s: %s\n", argv[0], text.c_str());
  MessageBoxSink().Show(nullptr, QString::fromLocal8Bit(text.c_str()));
  return false;
}

int ConfigApp::Run(const std::string& file) {
  QApplication::setWindowIcon(ProgramIcon());
  MessageBoxSink messages;
  if (!GbkAvailable()) {
    // Without the table every value would show and go back wrong.
    const char text[] = "The C library has no GBK converter (glibc's gconv modules): "
                        "LumiqConfigTool cannot show or write the scanner's settings.";
    std::fprintf(stderr, "LumiqConfigTool: %s\n", text);
    messages.Show(nullptr, QString::fromLatin1(text));
    return 1;
  }
  ConnectDialog dialog(messages);
  if (!file.empty()) {
    // Once the dialog runs, so that it is there to come back to.
    QTimer::singleShot(0, &dialog, [&dialog, file] {
      dialog.OpenFile(app::ChosenFile{file, QFile::decodeName(file.c_str()).toStdString(), 0});
    });
  }
  dialog.exec();
  return 0;
}

}  // namespace lumiq::ui::qt
