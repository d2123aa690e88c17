#pragma once

#include <string>

#include "ui/app/program_arguments.h"

namespace lumiq::ui::qt {

// The application: runs the connect dialog until it closes, and that is the
// program's whole life. Needs a QApplication; reads no options or
// environment.
class ConfigApp {
 public:
  // The process exit code. `file` (in the system's encoding), when given,
  // is a profile the settings window opens on at once.
  int Run(const std::string& file = std::string());
};

// The program's arguments (without its name) as ParseProgramArguments takes
// them; a command line not understood is said in a message box and on
// standard error, and the program ends with status 2.
bool ReadArguments(int argc, char** argv, bool demo, app::ProgramArguments* parsed);

}  // namespace lumiq::ui::qt
