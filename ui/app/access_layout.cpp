#include "ui/app/access_layout.h"

#include <algorithm>
#include <map>

#include "res/i18n/catalogue.h"

namespace lumiq::ui::app {

namespace {

using res::ControlKind;
using res::ControlTemplate;
using res::Rect;

// Tops closer than this (dialog units) share a row.
constexpr int kRowTolerance = 6;
// How far above its field a label may sit.
constexpr int kLabelAbove = 14;
// How far a label's edge may run into the control it names.
constexpr int kOverlap = 2;
// A combo box's rect includes its dropped-down list; its closed height:
constexpr int kClosedComboHeight = 14;

bool IsField(ControlKind kind) {
  return kind == ControlKind::kEdit || kind == ControlKind::kComboBox ||
         kind == ControlKind::kListBox;
}

bool TakesNoPlace(ControlKind kind) {
  return kind == ControlKind::kGroupBox || kind == ControlKind::kIcon ||
         kind == ControlKind::kTabControl;
}

Rect Shown(const ControlTemplate& control) {
  Rect rect = control.rect;
  if (control.kind == ControlKind::kComboBox) rect.h = std::min(rect.h, kClosedComboHeight);
  return rect;
}

Rect Union(const Rect& a, const Rect& b) {
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.w, b.x + b.w);
  const int bottom = std::max(a.y + a.h, b.y + b.h);
  return {left, top, right - left, bottom - top};
}

bool RowsOverlap(const Rect& a, const Rect& b) { return a.y < b.y + b.h && b.y < a.y + a.h; }

// The control nearest left of `target` on its row, skipping `skip`, or -1.
int LeftNeighbour(const res::DialogTemplate& dialog, const Rect& target,
                  const std::vector<int>& skip) {
  int best = -1;
  int bestRight = 0;
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    if (TakesNoPlace(control.kind)) continue;
    if (std::find(skip.begin(), skip.end(), static_cast<int>(i)) != skip.end()) continue;
    const Rect rect = Shown(control);
    const int right = rect.x + rect.w;
    if (!RowsOverlap(rect, target) || right > target.x + kOverlap) continue;
    if (best < 0 || right > bestRight) {
      best = static_cast<int>(i);
      bestRight = right;
    }
  }
  return best;
}

// The label just above `target`, starting at or before its left edge, or -1.
int LabelAbove(const res::DialogTemplate& dialog, const Rect& target) {
  int best = -1;
  int bestBottom = 0;
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    if (control.kind != ControlKind::kLabel) continue;
    const Rect& rect = control.rect;
    const int bottom = rect.y + rect.h;
    if (bottom > target.y + kOverlap || target.y - bottom > kLabelAbove) continue;
    if (rect.x > target.x + kOverlap || rect.x + rect.w <= target.x) continue;
    if (best < 0 || bottom > bestBottom) {
      best = static_cast<int>(i);
      bestBottom = bottom;
    }
  }
  return best;
}

// The radio groups by their buttons (template indices, in template order).
std::vector<std::vector<int>> RadioGroups(const res::DialogTemplate& dialog) {
  std::vector<std::vector<int>> groups;
  bool open = false;
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    if (control.style & res::kGroupStart) open = false;
    if (control.kind != ControlKind::kRadioButton) continue;
    if (!open) groups.emplace_back();
    open = true;
    groups.back().push_back(static_cast<int>(i));
  }
  return groups;
}

// Sorts `items` (with their rects) top to bottom, then left to right
// within a row.
void SortByScreen(std::vector<std::pair<Rect, std::vector<int>>>& items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const auto& a, const auto& b) { return a.first.y < b.first.y; });
  std::vector<int> row(items.size());
  int current = 0;
  int rowTop = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i == 0 || items[i].first.y - rowTop > kRowTolerance) {
      if (i != 0) ++current;
      rowTop = items[i].first.y;
    }
    row[i] = current;
  }
  std::vector<size_t> index(items.size());
  for (size_t i = 0; i < index.size(); ++i) index[i] = i;
  std::stable_sort(index.begin(), index.end(), [&](size_t a, size_t b) {
    if (row[a] != row[b]) return row[a] < row[b];
    return items[a].first.x < items[b].first.x;
  });
  std::vector<std::pair<Rect, std::vector<int>>> sorted;
  for (size_t i : index) sorted.push_back(items[i]);
  items.swap(sorted);
}

// The full-width colon that ends Chinese labels, as UTF-8 bytes (it is
// punctuation, not a text of the catalogue).
constexpr char kWideColon[] = {'\xEF', '\xBC', '\x9A', '\0'};

std::string Trimmed(std::string text) {
  for (;;) {
    if (!text.empty() && (text.back() == ':' || text.back() == ' ')) {
      text.pop_back();
    } else if (text.size() >= 3 && text.compare(text.size() - 3, 3, kWideColon) == 0) {
      text.resize(text.size() - 3);
    } else {
      return text;
    }
  }
}

std::string Text(const res::DialogTemplate& dialog, int index) {
  return Trimmed(i18n::Tr(dialog.controls[static_cast<size_t>(index)].caption));
}

}  // namespace

AccessLayout LayOutForAccess(const res::DialogTemplate& dialog) {
  const size_t count = dialog.controls.size();
  AccessLayout layout;
  layout.label.assign(count, -1);
  layout.heading.assign(count, -1);

  // Units the keyboard visits as one: a radio group, or a single control,
  // each with the label naming it in front.
  std::vector<std::vector<int>> units;
  std::vector<bool> placed(count, false);
  for (const std::vector<int>& group : RadioGroups(dialog)) {
    Rect box = dialog.controls[static_cast<size_t>(group.front())].rect;
    for (int member : group) box = Union(box, dialog.controls[static_cast<size_t>(member)].rect);
    int label = LeftNeighbour(dialog, box, group);
    if (label >= 0 && dialog.controls[static_cast<size_t>(label)].kind != ControlKind::kLabel) {
      label = -1;
    }
    if (label < 0) label = LabelAbove(dialog, box);
    std::vector<std::pair<Rect, std::vector<int>>> buttons;
    for (int member : group) {
      layout.label[static_cast<size_t>(member)] = label;
      buttons.push_back({dialog.controls[static_cast<size_t>(member)].rect, {member}});
      placed[static_cast<size_t>(member)] = true;
    }
    SortByScreen(buttons);
    units.emplace_back();
    for (const auto& button : buttons) units.back().push_back(button.second.front());
  }
  for (size_t i = 0; i < count; ++i) {
    const ControlTemplate& control = dialog.controls[i];
    if (!IsField(control.kind)) continue;
    const Rect rect = Shown(control);
    int label = LeftNeighbour(dialog, rect, {static_cast<int>(i)});
    const bool besideNames = label >= 0 &&
                             (dialog.controls[static_cast<size_t>(label)].kind == ControlKind::kLabel ||
                              dialog.controls[static_cast<size_t>(label)].kind == ControlKind::kCheckBox);
    if (!besideNames) label = LabelAbove(dialog, rect);
    layout.label[i] = label;
  }

  // Row headings: a label left of a naming label with nothing between,
  // itself naming nothing.
  std::vector<bool> names(count, false);
  for (int label : layout.label) {
    if (label >= 0) names[static_cast<size_t>(label)] = true;
  }
  for (size_t i = 0; i < count; ++i) {
    if (!names[i] || dialog.controls[i].kind != ControlKind::kLabel) continue;
    const int left = LeftNeighbour(dialog, dialog.controls[i].rect, {static_cast<int>(i)});
    if (left >= 0 && dialog.controls[static_cast<size_t>(left)].kind == ControlKind::kLabel &&
        !names[static_cast<size_t>(left)]) {
      layout.heading[i] = left;
    }
  }

  // Fields and groups go with their labels; a check box naming a field
  // keeps its own place just before it. Every other control is a unit of
  // its own.
  for (std::vector<int>& unit : units) {
    const int label = layout.label[static_cast<size_t>(unit.front())];
    if (label >= 0 && !placed[static_cast<size_t>(label)]) {
      unit.insert(unit.begin(), label);
      placed[static_cast<size_t>(label)] = true;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    if (!IsField(dialog.controls[i].kind)) continue;
    std::vector<int> unit;
    const int label = layout.label[i];
    if (label >= 0 && !placed[static_cast<size_t>(label)]) {
      unit.push_back(label);
      placed[static_cast<size_t>(label)] = true;
    }
    unit.push_back(static_cast<int>(i));
    placed[i] = true;
    units.push_back(unit);
  }
  for (size_t i = 0; i < count; ++i) {
    if (!placed[i]) units.push_back({static_cast<int>(i)});
  }

  std::vector<std::pair<Rect, std::vector<int>>> items;
  for (const std::vector<int>& unit : units) {
    Rect box = Shown(dialog.controls[static_cast<size_t>(unit.front())]);
    for (int member : unit) box = Union(box, Shown(dialog.controls[static_cast<size_t>(member)]));
    items.push_back({box, unit});
  }
  SortByScreen(items);
  for (const auto& item : items) {
    layout.order.insert(layout.order.end(), item.second.begin(), item.second.end());
  }
  return layout;
}

std::string AccessibleName(const res::DialogTemplate& dialog, const AccessLayout& layout,
                           int index) {
  const ControlTemplate& control = dialog.controls[static_cast<size_t>(index)];
  const int label = layout.label[static_cast<size_t>(index)];
  std::string labelText;
  if (label >= 0) {
    labelText = Text(dialog, label);
    const int heading = layout.heading[static_cast<size_t>(label)];
    if (heading >= 0) labelText = Text(dialog, heading) + " " + labelText;
  }
  if (control.kind == ControlKind::kRadioButton && label >= 0) {
    return labelText + ": " + Text(dialog, index);
  }
  if (IsField(control.kind)) return labelText;
  return Text(dialog, index);
}

res::DialogTemplate ArrangedForKeyboard(const res::DialogTemplate& dialog) {
  const AccessLayout layout = LayOutForAccess(dialog);
  res::DialogTemplate arranged = dialog;
  arranged.controls.clear();
  for (int index : layout.order) {
    ControlTemplate control = dialog.controls[static_cast<size_t>(index)];
    if (control.kind == ControlKind::kRadioButton) {
      control.style &= ~(res::kTabStop | res::kGroupStart);
    } else {
      control.style |= res::kGroupStart;
    }
    // The tab headers are a stop of their own: the keyboard must reach
    // every page.
    if (control.kind == ControlKind::kTabControl) control.style |= res::kTabStop;
    arranged.controls.push_back(control);
  }
  // Each group's first button in the new order opens it and takes its stop.
  std::map<int, int> groupOf;  // template index -> group number
  int number = 0;
  for (const std::vector<int>& group : RadioGroups(dialog)) {
    for (int member : group) groupOf[member] = number;
    ++number;
  }
  int previous = -1;
  for (size_t i = 0; i < layout.order.size(); ++i) {
    const auto it = groupOf.find(layout.order[i]);
    if (it == groupOf.end()) {
      previous = -1;
      continue;
    }
    if (it->second != previous) arranged.controls[i].style |= res::kGroupStart | res::kTabStop;
    previous = it->second;
  }
  return arranged;
}

size_t RadioTabStop(const std::vector<bool>& checked) {
  const auto it = std::find(checked.begin(), checked.end(), true);
  return it == checked.end() ? 0 : static_cast<size_t>(it - checked.begin());
}

}  // namespace lumiq::ui::app
