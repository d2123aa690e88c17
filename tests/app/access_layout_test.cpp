// Which text names which control and the keyboard's order, as both
// bindings apply them, on the program's own templates.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/i18n/language.h"
#include "res/ids/app_ids.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/access_layout.h"

namespace lumiq::ui::app {
namespace {

constexpr int kAllTemplates[] = {100, 102, 103, 130, 131, 132, 133, 134, 137};

std::string NameOf(const res::DialogTemplate& dialog, int id) {
  const AccessLayout layout = LayOutForAccess(dialog);
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    if (dialog.controls[i].id == id) return AccessibleName(dialog, layout, static_cast<int>(i));
  }
  return "?";
}

TEST(AccessLayout, FieldsAndGroupsTakeTheTextBesideOrAboveThem) {
  const res::DialogTemplate& control = *res::FindDialogTemplate(res::control::kTemplateId);
  EXPECT_EQ(NameOf(control, res::control::kNfcHex), "NFC输出格式: hex");
  EXPECT_EQ(NameOf(control, res::control::kCodeHex), "二维码输出格式: hex");
  EXPECT_EQ(NameOf(control, res::control::kSingleMode), "工作模式: 单次模式");
  EXPECT_EQ(NameOf(control, res::control::kEngine2), "解码模式: 引擎2解码");
  EXPECT_EQ(NameOf(control, res::control::kIntervalEdit), "扫码间隔");
  EXPECT_EQ(NameOf(control, res::control::kNfcBeginEdit), "NFC输出字节数 起始位");
  EXPECT_EQ(NameOf(control, res::control::kNfcEndEdit), "结束位");
  // No text heads the reboot lights: the captions say it all.
  EXPECT_EQ(NameOf(control, res::control::kRebootLightOff), "重启关灯");

  const res::DialogTemplate& method = *res::FindDialogTemplate(res::output_method::kTemplateId);
  EXPECT_EQ(NameOf(method, res::output_method::kJoinSsidEdit), "连入WIFI SSID");
  EXPECT_EQ(NameOf(method, res::output_method::kAuthModeCombo), "认证模式");

  i18n::SetLanguage(i18n::Language::kEnglish);
  const std::string english = NameOf(control, res::control::kNfcHex);
  i18n::SetLanguage(i18n::Language::kChinese);
  EXPECT_NE(english.find(": hex"), std::string::npos);
  EXPECT_EQ(english.find("NFC输出格式"), std::string::npos) << english;
}

TEST(AccessLayout, ArrangedTemplateKeepsTheRadioGroupsAndFollowsTheScreen) {
  for (int id : kAllTemplates) {
    const res::DialogTemplate& dialog = *res::FindDialogTemplate(id);
    const res::DialogTemplate arranged = ArrangedForKeyboard(dialog);
    for (const res::ControlTemplate& control : dialog.controls) {
      if (control.kind != res::ControlKind::kRadioButton) continue;
      const std::vector<int> before = res::RadioGroupOf(dialog, control.id);
      const std::vector<int> after = res::RadioGroupOf(arranged, control.id);
      EXPECT_EQ(std::set<int>(before.begin(), before.end()),
                std::set<int>(after.begin(), after.end())) << id << " " << control.id;
      // One stop per group, on its first button.
      int stops = 0;
      for (int member : after) stops += (arranged.Find(member)->style & res::kTabStop) ? 1 : 0;
      EXPECT_EQ(stops, 1);
      EXPECT_TRUE(arranged.Find(after.front())->style & res::kTabStop);
    }
    // Each field comes right after the text naming it.
    const AccessLayout layout = LayOutForAccess(dialog);
    for (size_t at = 1; at < layout.order.size(); ++at) {
      const int label = layout.label[static_cast<size_t>(layout.order[at])];
      const res::ControlKind kind = dialog.controls[static_cast<size_t>(layout.order[at])].kind;
      if (label < 0 || kind == res::ControlKind::kRadioButton) continue;
      EXPECT_EQ(layout.order[at - 1], label) << id;
    }
  }
  // The settings window's buttons, left to right as shown.
  const res::DialogTemplate arranged =
      ArrangedForKeyboard(*res::FindDialogTemplate(res::kSettingsTemplateId));
  std::vector<int> ids;
  for (const res::ControlTemplate& control : arranged.controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{res::kSettingsTabControl, res::kSettingsSaveButton,
                                   res::kSettingsImportButton, res::kSettingsExportButton,
                                   res::kSettingsExitButton}));
}

}  // namespace
}  // namespace lumiq::ui::app
