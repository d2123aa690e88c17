#pragma once

namespace lumiq::ui::qt {

// The application: runs the connect dialog until it closes, and that is the
// program's whole life. Needs a QApplication; reads no options, environment
// or files.
class ConfigApp {
 public:
  // The process exit code.
  int Run();
};

}  // namespace lumiq::ui::qt
