// The one tab table holds the window together: each tab's template is the
// page that the PageSet member of the same position loads and stores.

#include "ui/app/page_tabs.h"

#include <gtest/gtest.h>

#include "res/dialog_template.h"
#include "tests/support/fake_page_controls.h"
#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq::ui::app {
namespace {

TEST(PageTabs, EachTabShowsThePageOfItsPositionInThePageSet) {
  test::FakePageControls symbology(kPageTabs[0].templateId), outputMethod(kPageTabs[1].templateId),
      outputFormat(kPageTabs[2].templateId), control(kPageTabs[3].templateId),
      version(kPageTabs[4].templateId);
  const PageSet pages =
      PagesOf({&symbology, &outputMethod, &outputFormat, &control, &version});
  EXPECT_EQ(&pages.symbology, &symbology);
  EXPECT_EQ(&pages.outputMethod, &outputMethod);
  EXPECT_EQ(&pages.outputFormat, &outputFormat);
  EXPECT_EQ(&pages.control, &control);
  EXPECT_EQ(&pages.version, &version);

  EXPECT_EQ(kPageTabs[0].templateId, SymbologyPage::kTemplateId);
  EXPECT_EQ(kPageTabs[1].templateId, OutputMethodPage::kTemplateId);
  EXPECT_EQ(kPageTabs[2].templateId, OutputFormatPage::kTemplateId);
  EXPECT_EQ(kPageTabs[3].templateId, ControlPage::kTemplateId);
  EXPECT_EQ(kPageTabs[4].templateId, VersionPage::kTemplateId);

  for (int tab = 0; tab < kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    ASSERT_NE(res::FindDialogTemplate(kPageTabs[tab].templateId), nullptr);
    EXPECT_EQ(TabOfTemplate(kPageTabs[tab].templateId), tab);
  }
  EXPECT_EQ(TabOfTemplate(134), -1);
}

}  // namespace
}  // namespace lumiq::ui::app
