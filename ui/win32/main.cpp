#include <windows.h>

#include "ui/win32/config_app.h"

// The tool takes no options.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  return lumiq::ui::win32::RunConfigApp(instance);
}
