#pragma once

#include <string>
#include <vector>

#include "res/dialog_template.h"

namespace lumiq::ui::app {

// What a window's template means to an operator who cannot see it: which
// text names which control and the order the keyboard visits them, read
// from the controls' rectangles. Both bindings apply it; neither decides.
//
// A field (edit, combo box, list) is named by the label or check box just
// left of it on its row, or else by the label just above it; a radio group
// by such a label beside or above the group's buttons. A label that names
// a field may itself follow a row heading ("设备WIFI" before "SSID"), which
// the name then starts with.
struct AccessLayout {
  // Template indices in screen order (top to bottom, left to right), each
  // naming label just before what it names, each radio group's buttons
  // together.
  std::vector<int> order;
  // Per template index: the index of the text naming the control (for a
  // radio button, its group), or -1.
  std::vector<int> label;
  // Per template index of a naming label: its row heading, or -1.
  std::vector<int> heading;
};

AccessLayout LayOutForAccess(const res::DialogTemplate& dialog);

// The accessible name of control `index` in the current language: its
// label's text for a field, "<group label>: <caption>" for a radio button
// of a labelled group, else its own caption. Trailing colons are dropped.
std::string AccessibleName(const res::DialogTemplate& dialog, const AccessLayout& layout,
                           int index);

// `dialog` with its controls in the layout's order, as a dialog manager
// takes them: each radio group's first button (on screen) opens the group
// and is its one tab stop, and every other control opens a group of its
// own; the tab control is a stop. The radio buttons that clear each other stay exactly the same, and
// so do the ids, captions and rectangles.
res::DialogTemplate ArrangedForKeyboard(const res::DialogTemplate& dialog);

// The button of a radio group that holds the group's tab stop: the checked
// one, or the first when none is. `checked` is in the group's order.
size_t RadioTabStop(const std::vector<bool>& checked);

// Where an arrow key moves the focus in a radio group of `count` buttons,
// as Windows dialogs do: to the next (or previous) button that `usable`
// allows, wrapping around; `from` when there is none.
template <typename Usable>
size_t RadioArrowTarget(size_t count, size_t from, bool forward, Usable usable) {
  for (size_t step = 1; step < count; ++step) {
    const size_t next = forward ? (from + step) % count : (from + count - step) % count;
    if (usable(next)) return next;
  }
  return from;
}

}  // namespace lumiq::ui::app
