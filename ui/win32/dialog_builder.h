#pragma once

#include <vector>

#include <windows.h>

#include "res/dialog_template.h"

namespace lumiq::ui::win32 {

// A res/ template as the dialog manager takes it: an extended dialog
// template (DLGTEMPLATEEX) in memory, so that dialog units, the font, tab
// order, group marks and the default button are laid out by Windows itself.
// The words stay valid as long as the vector lives; the dialog manager
// reads them only while it creates the dialog. The controls come in the
// keyboard's order (ui/app/access_layout.h), not the template's.
struct InMemoryTemplate {
  std::vector<WORD> words;  // DWORD-aligned from the start
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }
};

InMemoryTemplate BuildTemplate(const res::DialogTemplate& dialog);

// What a template cannot carry: the combo boxes' list items, added in
// template order (a sorted box sorts them itself).
void FillComboBoxes(HWND dialog, const res::DialogTemplate& tmpl);

// The window style the template gives each control (for tests and checks).
DWORD ControlStyle(const res::ControlTemplate& control);

}  // namespace lumiq::ui::win32
