#pragma once

#include <cstdint>
#include <vector>

namespace lumiq::res {

// Dialog layouts as data, in dialog units, as the resource compiler would
// have them. Each binding builds its widgets from the same templates
// (ui/qt/dialog_builder, ui/win32/dialog_builder), so both windows share one
// layout; page logic finds controls by id.

inline constexpr int kNoId = -1;

enum class ControlKind {
  kPushButton,
  kCheckBox,     // automatic check box
  kRadioButton,  // automatic radio button
  kEdit,
  kComboBox,     // editable drop-down combo box
  kLabel,        // static text
  kGroupBox,
  kIcon,         // static icon (the program icon)
  kTabControl,
  kListBox,      // single-selection list; its rows are put in by the program
};

// Style flags of a control.
enum ControlStyle : uint32_t {
  kStyleNone = 0,
  kGroupStart = 1u << 0,   // opens a new group (radio buttons up to the next mark)
  kDisabled = 1u << 1,
  kHidden = 1u << 2,       // not visible when created
  kPassword = 1u << 3,     // edit shows masked characters
  kNumberOnly = 1u << 4,   // edit takes digits only when typed
  kSorted = 1u << 5,       // combo list sorted in text order
  kTabStop = 1u << 6,
  kDefaultButton = 1u << 7,
  kBorder = 1u << 8,
  kAutoHScroll = 1u << 9,
};

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

struct ControlTemplate {
  int id = kNoId;
  ControlKind kind = ControlKind::kLabel;
  const char* caption = "";  // UTF-8
  Rect rect;
  uint32_t style = kStyleNone;
  std::vector<const char*> items;  // combo box items, in the order added
};

struct DialogTemplate {
  int id = 0;
  const char* caption = "";  // UTF-8; empty for child pages
  int width = 0;             // dialog units
  int height = 0;
  const char* fontFace = "System";  // UTF-8
  int fontPointSize = 10;
  bool childPage = false;    // a settings page: child, no caption, no border
  std::vector<ControlTemplate> controls;  // template order = tab order

  // The control with this id, or nullptr (ids repeat across pages, never
  // within one).
  const ControlTemplate* Find(int controlId) const;
};

// Every dialog template of the program by resource id, or nullptr.
const DialogTemplate* FindDialogTemplate(int templateId);

// The radio buttons of the group `controlId` belongs to, by the group-start
// marks in template order (every control from one mark up to the next).
std::vector<int> RadioGroupOf(const DialogTemplate& dialog, int controlId);

}  // namespace lumiq::res
