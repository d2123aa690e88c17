#include "ui/web/dialog_json.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "res/i18n/catalogue.h"
#include "ui/app/access_layout.h"

namespace lumiq::ui::web {

namespace {

using res::ControlKind;

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPushButton: return "button";
    case ControlKind::kCheckBox: return "check";
    case ControlKind::kRadioButton: return "radio";
    case ControlKind::kEdit: return "edit";
    case ControlKind::kComboBox: return "combo";
    case ControlKind::kLabel: return "label";
    case ControlKind::kGroupBox: return "group";
    case ControlKind::kIcon: return "icon";
    case ControlKind::kTabControl: return "tabs";
    case ControlKind::kListBox: return "list";
  }
  return "label";
}

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The sorted list's order of the desktop bindings: letters compared without
// case first, numbers as text ("110" before "1200").
std::vector<std::string> ItemsOf(const res::ControlTemplate& control) {
  std::vector<std::string> items(control.items.begin(), control.items.end());
  if (control.style & res::kSorted) {
    std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
      const bool folded = std::lexicographical_compare(
          a.begin(), a.end(), b.begin(), b.end(),
          [](char x, char y) { return Folded(x) < Folded(y); });
      const bool foldedBack = std::lexicographical_compare(
          b.begin(), b.end(), a.begin(), a.end(),
          [](char x, char y) { return Folded(x) < Folded(y); });
      if (folded != foldedBack) return folded;
      return a < b;
    });
  }
  return items;
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string DialogJson(const res::DialogTemplate& dialog) {
  const app::AccessLayout layout = app::LayOutForAccess(dialog);
  // Radio groups by the template's group marks, numbered in template order.
  std::vector<int> group(dialog.controls.size(), -1);
  int groups = -1;
  bool open = false;
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const res::ControlTemplate& control = dialog.controls[i];
    if (control.style & res::kGroupStart) open = false;
    if (control.kind != ControlKind::kRadioButton) continue;
    if (!open) ++groups;
    open = true;
    group[i] = groups;
  }

  std::string json = "{\"id\":" + std::to_string(dialog.id) +
                     ",\"caption\":" + JsonString(i18n::Tr(dialog.caption)) +
                     ",\"width\":" + std::to_string(dialog.width) +
                     ",\"height\":" + std::to_string(dialog.height) +
                     ",\"font\":" + JsonString(dialog.fontFace) +
                     ",\"points\":" + std::to_string(dialog.fontPointSize) + ",\"controls\":[";
  bool first = true;
  for (const int index : layout.order) {
    const res::ControlTemplate& control = dialog.controls[static_cast<size_t>(index)];
    if (!first) json += ',';
    first = false;
    const size_t at = static_cast<size_t>(index);
    json += "{\"index\":" + std::to_string(index) + ",\"id\":" + std::to_string(control.id) +
            ",\"kind\":\"" + KindName(control.kind) + "\"" +
            ",\"caption\":" + JsonString(i18n::Tr(control.caption)) +
            ",\"rect\":[" + std::to_string(control.rect.x) + ',' + std::to_string(control.rect.y) +
            ',' + std::to_string(control.rect.w) + ',' + std::to_string(control.rect.h) + "]" +
            ",\"style\":" + std::to_string(control.style) +
            ",\"group\":" + std::to_string(group[at]) +
            ",\"label\":" + std::to_string(layout.label[at]) +
            ",\"heading\":" + std::to_string(layout.heading[at]) +
            ",\"name\":" + JsonString(app::AccessibleName(dialog, layout, index)) + ",\"items\":[";
    bool firstItem = true;
    for (const std::string& item : ItemsOf(control)) {
      if (!firstItem) json += ',';
      firstItem = false;
      json += JsonString(item);
    }
    json += "]}";
  }
  return json + "]}";
}

}  // namespace lumiq::ui::web
