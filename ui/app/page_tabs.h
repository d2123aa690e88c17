#pragma once

namespace lumiq::ui::app {

// The settings window's tabs in page order: the order of the tab headers,
// and of creating, loading, moving, showing and hiding the pages.
struct PageTab {
  int templateId;
  const char* caption;  // UTF-8
};

inline constexpr int kPageCount = 5;

// The pages lie this many pixels below the top of the tab control's client
// area at 96 DPI, clear of the row of tab headers; not converted from dialog
// units or from the font.
inline constexpr int kPageTopOffset = 25;
inline constexpr PageTab kPageTabs[kPageCount] = {
    {130, "码制设置"}, {133, "输出方式"}, {132, "输出格式"}, {131, "控制设置"}, {137, "关于"},
};

// The tab showing page template `templateId`, or -1.
inline int TabOfTemplate(int templateId) {
  for (int tab = 0; tab < kPageCount; ++tab) {
    if (kPageTabs[tab].templateId == templateId) return tab;
  }
  return -1;
}

}  // namespace lumiq::ui::app
