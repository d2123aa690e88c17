#include "res/dialog_template.h"

#include <cstddef>

#include "res/templates/templates.h"

namespace lumiq::res {

const ControlTemplate* DialogTemplate::Find(int controlId) const {
  if (controlId == kNoId) return nullptr;
  for (const ControlTemplate& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

const DialogTemplate* FindDialogTemplate(int templateId) {
  switch (templateId) {
    case 100: return &AboutTemplate();
    case 102: return &ConnectTemplate();
    case 103: return &ChooserTemplate();
    case 130: return &SymbologyTemplate();
    case 131: return &ControlPageTemplate();
    case 132: return &OutputFormatTemplate();
    case 133: return &OutputMethodTemplate();
    case 134: return &SettingsTemplate();
    case 137: return &VersionTemplate();
    case 145: return &TestScanTemplate();
    case 146: return &ChannelChooserTemplate();
    default: return nullptr;
  }
}

std::vector<int> RadioGroupOf(const DialogTemplate& dialog, int controlId) {
  const auto& controls = dialog.controls;
  size_t index = controls.size();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id == controlId) index = i;
  }
  if (index == controls.size()) return {};
  size_t first = index;
  while (first > 0 && !(controls[first].style & kGroupStart)) --first;
  size_t end = index + 1;
  while (end < controls.size() && !(controls[end].style & kGroupStart)) ++end;
  std::vector<int> group;
  for (size_t i = first; i < end; ++i) {
    if (controls[i].kind == ControlKind::kRadioButton) group.push_back(controls[i].id);
  }
  return group;
}

}  // namespace lumiq::res
