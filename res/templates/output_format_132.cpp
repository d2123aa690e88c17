#include "res/ids/output_format_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& OutputFormatTemplate() {
  using namespace output_format;
  constexpr uint32_t kBox = kTabStop;
  constexpr uint32_t kEditStyle = kBorder | kAutoHScroll | kTabStop;
  constexpr uint32_t kLabelStyle = kGroupStart;
  // Every label opens a group, which closes the radio group before it. The
  // read-method pair has no mark of its own: its label opens its group.
  static const DialogTemplate dialog{
      kTemplateId, "", 256, 243, "System", 10, true,
      {
          {kEnter, ControlKind::kCheckBox, "回车", {24, 13, 32, 10}, kBox, {}},
          {kWrap, ControlKind::kCheckBox, "换行", {24, 30, 32, 10}, kBox, {}},
          {kCodePrefixBox, ControlKind::kCheckBox, "条码二维码前缀", {24, 70, 72, 10}, kBox, {}},
          {kCodeSuffixBox, ControlKind::kCheckBox, "条码二维码后缀", {24, 87, 72, 10}, kBox, {}},
          {kCodePrefixEdit, ControlKind::kEdit, "", {97, 68, 152, 12}, kEditStyle, {}},
          {kCodeSuffixEdit, ControlKind::kEdit, "", {97, 85, 152, 12}, kEditStyle, {}},
          {kNfcPrefixBox, ControlKind::kCheckBox, "NFC前缀", {24, 128, 46, 10}, kBox, {}},
          {kNfcSuffixBox, ControlKind::kCheckBox, "NFC后缀", {24, 145, 46, 10}, kBox, {}},
          {kNfcPrefixEdit, ControlKind::kEdit, "", {97, 126, 152, 14}, kEditStyle, {}},
          {kNfcSuffixEdit, ControlKind::kEdit, "", {97, 145, 152, 14}, kEditStyle, {}},
          {kNoId, ControlKind::kLabel, "条码二维码前后缀格式", {22, 49, 81, 8}, kLabelStyle, {}},
          {kCodeNotationHex, ControlKind::kRadioButton, "hex", {117, 51, 28, 10}, kGroupStart, {}},
          {kCodeNotationChar, ControlKind::kRadioButton, "char", {154, 51, 30, 10}, kStyleNone, {}},
          {kNoId, ControlKind::kLabel, "NFC前后缀格式", {24, 109, 55, 8}, kLabelStyle, {}},
          {kNfcNotationHex, ControlKind::kRadioButton, "hex", {109, 106, 28, 10}, kGroupStart, {}},
          {kNfcNotationChar, ControlKind::kRadioButton, "char", {157, 106, 30, 10}, kStyleNone, {}},
          {kNoId, ControlKind::kLabel, "hid键盘按下时间", {26, 193, 59, 8}, kLabelStyle, {}},
          {kNoId, ControlKind::kLabel, "hid键盘抬起时间", {25, 209, 59, 8}, kLabelStyle, {}},
          {kKeyDownTime, ControlKind::kEdit, "", {95, 188, 50, 14}, kEditStyle | kNumberOnly, {}},
          {kKeyUpTime, ControlKind::kEdit, "", {95, 205, 50, 14}, kEditStyle | kNumberOnly, {}},
          {kNoId, ControlKind::kLabel, "毫秒", {150, 192, 17, 8}, kLabelStyle, {}},
          {kNoId, ControlKind::kLabel, "毫秒", {148, 208, 17, 8}, kLabelStyle, {}},
          {kNoId, ControlKind::kLabel, "NFC读取方式：", {24, 170, 55, 8}, kLabelStyle, {}},
          {kReadNormal, ControlKind::kRadioButton, "正常", {96, 170, 32, 10}, kStyleNone, {}},
          {kReadContinuous, ControlKind::kRadioButton, "连续", {147, 170, 32, 10}, kStyleNone, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
