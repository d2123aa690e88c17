#include <windows.h>

#include "ui/win32/config_app.h"

// LumiqConfigTool [PROFILE]
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  lumiq::ui::app::ProgramArguments arguments;
  if (!lumiq::ui::win32::ReadArguments(false, &arguments)) return 2;
  if (arguments.help) return 0;
  return lumiq::ui::win32::RunConfigApp(instance, arguments.file);
}
