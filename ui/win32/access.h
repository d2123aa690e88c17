#pragma once

#include <windows.h>

#include "res/dialog_template.h"

namespace lumiq::ui::win32 {

// Moves the tab stop of the radio group `id` belongs to onto its checked
// button (or its first, on screen, when none is), so that Tab enters the
// group where the operator left it. Nothing for a control that is not a
// radio button of `tmpl`.
void KeepRadioStop(HWND page, const res::DialogTemplate& tmpl, int id);

// Every radio group of the page, as above.
void KeepRadioStops(HWND page, const res::DialogTemplate& tmpl);

}  // namespace lumiq::ui::win32
