#pragma once

#include <array>

#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/settings_sequence.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq::ui::app {

// The settings window's tabs in page order: the order of the tab headers,
// and of creating, moving, showing and hiding the pages, in both bindings,
// the runner and the fuzzer; everything that goes by tab index takes it from
// here. (The page logic loads the pages in the same order, its own.)
struct PageTab {
  int templateId;
  const char* caption;  // UTF-8
};

inline constexpr int kPageCount = 5;
inline constexpr PageTab kPageTabs[kPageCount] = {
    {SymbologyPage::kTemplateId, "码制设置"},
    {OutputMethodPage::kTemplateId, "输出方式"},
    {OutputFormatPage::kTemplateId, "输出格式"},
    {ControlPage::kTemplateId, "控制设置"},
    {VersionPage::kTemplateId, "关于"},
};

// Where every page starts below the top of the tab control's client area,
// in pixels at 96 DPI whatever the font or the dialog units (a binding
// scales it by its DPI): the row of tab headers stays uncovered.
inline constexpr int kPageTopOffset = 25;

// The tab showing page template `templateId`, or -1.
constexpr int TabOfTemplate(int templateId) {
  for (int tab = 0; tab < kPageCount; ++tab) {
    if (kPageTabs[tab].templateId == templateId) return tab;
  }
  return -1;
}

// A window's pages, by tab.
using PagesByTab = std::array<PageControls*, kPageCount>;

// The page logic's view of them, each page found by its template; every
// page must exist.
inline PageSet PagesOf(const PagesByTab& pages) {
  const auto of = [&pages](int templateId) -> PageControls& {
    return *pages[static_cast<size_t>(TabOfTemplate(templateId))];
  };
  return PageSet{of(SymbologyPage::kTemplateId), of(OutputMethodPage::kTemplateId),
                 of(OutputFormatPage::kTemplateId), of(ControlPage::kTemplateId),
                 of(VersionPage::kTemplateId)};
}

}  // namespace lumiq::ui::app
