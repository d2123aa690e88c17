#pragma once

namespace lumiq::ui::qt {

// Makes Qt describe two controls as Windows does (once per process):
// a radio button of a template's group as a radio button (Qt calls any
// button that is not auto-exclusive a check box, and the groups here are
// the template's, not the parent's), and a combo box by its accessible name,
// its text being its value (Qt names it by its text on Linux).
void InstallAccessibleFactory();

}  // namespace lumiq::ui::qt
