#pragma once

#include "res/dialog_template.h"

namespace lumiq::res {

// Rows the page templates share. Check boxes take the tab stop, radio buttons
// do not; edit boxes take any text and scroll as it grows.
inline ControlTemplate CheckBox(int id, const char* caption, Rect rect) {
  return {id, ControlKind::kCheckBox, caption, rect, kTabStop, {}};
}
inline ControlTemplate Radio(int id, const char* caption, Rect rect,
                             uint32_t style = kStyleNone) {
  return {id, ControlKind::kRadioButton, caption, rect, style, {}};
}
inline ControlTemplate Edit(int id, Rect rect, uint32_t extraStyle = kStyleNone) {
  return {id, ControlKind::kEdit, "", rect, kBorder | kAutoHScroll | kTabStop | extraStyle, {}};
}

}  // namespace lumiq::res
