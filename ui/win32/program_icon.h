#pragma once

#include <windows.h>

namespace lumiq::ui::win32 {

// The program icon (icon resource 128) in the two sizes a window needs.
struct ProgramIcons {
  HICON big = nullptr;
  HICON small = nullptr;
};
ProgramIcons LoadProgramIcons(HINSTANCE instance);

}  // namespace lumiq::ui::win32
