#include "ui/qt/config_app.h"

#include <cstdio>

#include <QApplication>

#include "res/strings.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/program_icon.h"

namespace lumiq::ui::qt {

int ConfigApp::Run() {
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
  dialog.exec();
  return 0;
}

}  // namespace lumiq::ui::qt
