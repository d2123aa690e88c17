#pragma once

#include <string>

#include <windows.h>

#include "ui/app/program_arguments.h"

namespace lumiq::ui::win32 {

// The application: the system's UI language chosen, the common controls
// registered, then the connect dialog run modally; the program ends when it closes, whatever its result.
// `file` (UTF-8), when given, is a profile the settings window opens on at
// once.
int RunConfigApp(HINSTANCE instance, const std::string& file = std::string());

// The program's arguments from its command line, as ParseProgramArguments
// takes them (UTF-8); a command line not understood is said in a message
// box, and the program ends with status 2.
bool ReadArguments(bool demo, app::ProgramArguments* parsed);

// Registers the common control classes the templates use (the tab control).
void InitControls();

}  // namespace lumiq::ui::win32
