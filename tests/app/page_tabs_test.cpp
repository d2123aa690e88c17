// The one tab table holds the window together: the page logic gets each
// page by its template, whichever tab shows it.

#include "ui/app/page_tabs.h"

#include <gtest/gtest.h>

#include <vector>

#include "res/dialog_template.h"
#include "tests/support/fake_page_controls.h"
#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq::ui::app {
namespace {

TEST(PageTabs, ThePageLogicGetsEachPageByItsTemplate) {
  std::vector<test::FakePageControls> made;
  made.reserve(kPageCount);
  PagesByTab byTab{};
  for (int tab = 0; tab < kPageCount; ++tab) {
    made.emplace_back(kPageTabs[tab].templateId);
    byTab[static_cast<size_t>(tab)] = &made.back();
  }
  const PageSet pages = PagesOf(byTab);
  const auto templateOf = [](PageControls& page) {
    return dynamic_cast<test::FakePageControls&>(page).TemplateId();
  };
  EXPECT_EQ(templateOf(pages.symbology), SymbologyPage::kTemplateId);
  EXPECT_EQ(templateOf(pages.outputMethod), OutputMethodPage::kTemplateId);
  EXPECT_EQ(templateOf(pages.outputFormat), OutputFormatPage::kTemplateId);
  EXPECT_EQ(templateOf(pages.control), ControlPage::kTemplateId);
  EXPECT_EQ(templateOf(pages.version), VersionPage::kTemplateId);

  for (int tab = 0; tab < kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    ASSERT_NE(res::FindDialogTemplate(kPageTabs[tab].templateId), nullptr);
    EXPECT_EQ(TabOfTemplate(kPageTabs[tab].templateId), tab);  // no template twice
  }
  EXPECT_EQ(TabOfTemplate(134), -1);
}

}  // namespace
}  // namespace lumiq::ui::app
