#pragma once

#include <vector>

class QWidget;

namespace lumiq::ui::qt {

struct BuiltDialog;

// Gives the controls of `built` what the toolkit-free layout decides for
// screen readers and the keyboard: accessible names from the catalogue,
// labels as buddies of their fields
// (a naming check box related as one), one tab stop per radio group (its
// checked button, or the first) with arrow keys moving and checking within
// the group as in Windows dialogs, the tab headers as a stop, and the tab
// order of the screen. Fills built.keyboardOrder.
void ApplyAccess(BuiltDialog& built, QWidget* host);

// Chains the widgets' tab order in the order given.
void ChainTabOrder(const std::vector<QWidget*>& widgets);

}  // namespace lumiq::ui::qt
