// The layout both bindings apply, on the program's own templates: names
// that take a row's heading or none, and radio groups that stay the same
// groups when the controls take the screen's order.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/access_layout.h"

namespace lumiq::ui::app {
namespace {

std::string NameOf(const res::DialogTemplate& dialog, int id) {
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    if (dialog.controls[i].id == id) {
      return AccessibleName(dialog, LayOutForAccess(dialog), static_cast<int>(i));
    }
  }
  return "?";
}

TEST(AccessLayout, NamesTakeTheRowsHeadingAndGroupsWithoutTextKeepTheirCaptions) {
  const res::DialogTemplate& control = *res::FindDialogTemplate(res::control::kTemplateId);
  EXPECT_EQ(NameOf(control, res::control::kSingleMode), "工作模式: 单次模式");  // text above
  EXPECT_EQ(NameOf(control, res::control::kEngine2), "解码模式: 引擎2解码");   // text beside
  EXPECT_EQ(NameOf(control, res::control::kNfcBeginEdit), "NFC输出字节数 起始位");
  EXPECT_EQ(NameOf(control, res::control::kNfcEndEdit), "结束位");
  EXPECT_EQ(NameOf(control, res::control::kRebootLightOff), "重启关灯");
  const res::DialogTemplate& method = *res::FindDialogTemplate(res::output_method::kTemplateId);
  EXPECT_EQ(NameOf(method, res::output_method::kJoinSsidEdit), "连入WIFI SSID");
}

TEST(AccessLayout, TheArrangedTemplatesKeepEveryRadioGroupWithOneStop) {
  for (int id : {100, 102, 103, 130, 131, 132, 133, 134, 137}) {
    const res::DialogTemplate& dialog = *res::FindDialogTemplate(id);
    const res::DialogTemplate arranged = ArrangedForKeyboard(dialog);
    ASSERT_EQ(arranged.controls.size(), dialog.controls.size());
    for (const res::ControlTemplate& control : dialog.controls) {
      if (control.kind != res::ControlKind::kRadioButton) continue;
      const std::vector<int> before = res::RadioGroupOf(dialog, control.id);
      const std::vector<int> after = res::RadioGroupOf(arranged, control.id);
      EXPECT_EQ(std::set<int>(before.begin(), before.end()), std::set<int>(after.begin(), after.end()))
          << id << " " << control.id;
      int stops = 0;
      for (int member : after) stops += (arranged.Find(member)->style & res::kTabStop) ? 1 : 0;
      EXPECT_EQ(stops, 1);
    }
  }
}

}  // namespace
}  // namespace lumiq::ui::app
