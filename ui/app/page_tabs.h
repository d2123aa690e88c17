#pragma once

#include <array>

#include "ui/pages/page_controls.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// The settings window's tabs in page order: the order of the tab headers,
// and of creating, loading, moving, showing and hiding the pages. The page
// each tab shows is the PageSet member of the same position
// (tests/app/page_tabs_test.cpp holds them together).
struct PageTab {
  int templateId;
  const char* caption;  // UTF-8
};

inline constexpr int kPageCount = 5;
inline constexpr PageTab kPageTabs[kPageCount] = {
    {130, "码制设置"}, {133, "输出方式"}, {132, "输出格式"}, {131, "控制设置"}, {137, "关于"},
};

// Where every page starts below the top of the tab control's client area,
// in pixels at 96 DPI whatever the font or the dialog units (a binding
// scales it by its DPI): the row of tab headers stays uncovered.
inline constexpr int kPageTopOffset = 25;

// The tab showing page template `templateId`, or -1.
inline int TabOfTemplate(int templateId) {
  for (int tab = 0; tab < kPageCount; ++tab) {
    if (kPageTabs[tab].templateId == templateId) return tab;
  }
  return -1;
}

// A window's pages, by tab.
using PagesByTab = std::array<PageControls*, kPageCount>;

// The page logic's view of them; every page must exist.
inline PageSet PagesOf(const PagesByTab& pages) {
  return PageSet{*pages[0], *pages[1], *pages[2], *pages[3], *pages[4]};
}

}  // namespace lumiq::ui::app
