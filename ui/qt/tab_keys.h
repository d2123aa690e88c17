#pragma once

class QWidget;

namespace lumiq::ui::qt {

class TabControl;

// Property-sheet keys for `window`, which holds `tabs`, as app::TabStepOf
// says (Ctrl+Tab and Ctrl+PgDn the next tab, Ctrl+Shift+Tab and Ctrl+PgUp
// the previous one, wrapping around), whichever of the window's controls has
// the focus.
// A focus left on the page that went out of sight moves to the new page's
// first tab stop, as in the Windows binding. The shortcuts are children of
// `window`.
void AddTabKeys(QWidget* window, TabControl* tabs);

}  // namespace lumiq::ui::qt
