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

// Names every radio button of a labelled group "<group label>: <caption>"
// through oleacc's dynamic annotation: a screen reader names a button by
// its own text, and the rule that names a field by the text before it does
// not reach the buttons after the first. Where the system cannot annotate
// (Wine), the buttons keep their own text as name.
void NameRadios(HWND page, const res::DialogTemplate& tmpl);

}  // namespace lumiq::ui::win32
