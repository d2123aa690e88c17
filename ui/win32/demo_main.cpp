#include <windows.h>

#include "ui/app/demo_scanners.h"
#include "ui/win32/config_app.h"
#include "ui/win32/message_sink.h"

// The application on simulated scanners (one with the demo configuration
// unless told otherwise), for trying the tool without a scanner.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  lumiq::ui::app::ProgramArguments arguments;
  if (!lumiq::ui::win32::ReadArguments(true, &arguments)) return 2;
  if (arguments.help) return 0;
  lumiq::ui::app::DemoScanners scanners;
  std::string error;
  if (!scanners.Plug(arguments.seeds, &error)) {
    lumiq::ui::win32::MessageBoxSink().Show(nullptr, error);
    return 2;
  }
  return lumiq::ui::win32::RunConfigApp(instance, arguments.file);
}
