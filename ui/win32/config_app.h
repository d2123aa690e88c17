#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// The application: the system's UI language chosen, the common controls
// registered, then the connect dialog run modally; the program ends when it closes, whatever its result.
int RunConfigApp(HINSTANCE instance);

// Registers the common control classes the templates use (the tab control).
void InitControls();

}  // namespace lumiq::ui::win32
