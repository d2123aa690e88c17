#pragma once

namespace lumiq::ui::app {

// The keys that turn a property sheet's pages from anywhere in its window:
// Ctrl+Tab and Ctrl+PgDn to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp to
// the previous one, wrapping around at either end. Alt keeps its own meaning.
enum class TabKey { kTab, kPageDown, kPageUp, kOther };

// +1, -1, or 0 when the key turns no page.
inline int TabStepOf(TabKey key, bool control, bool shift, bool alt) {
  if (!control || alt) return 0;
  switch (key) {
    case TabKey::kTab: return shift ? -1 : 1;
    case TabKey::kPageDown: return 1;
    case TabKey::kPageUp: return -1;
    case TabKey::kOther: break;
  }
  return 0;
}

// The tab `step` leads to from `current` among `count`; with no current tab
// the first or the last one.
inline int SteppedTab(int current, int step, int count) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) return step < 0 ? count - 1 : 0;
  return ((current + step) % count + count) % count;
}

}  // namespace lumiq::ui::app
