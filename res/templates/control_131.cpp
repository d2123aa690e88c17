#include "res/ids/control_ids.h"
#include "res/templates/template_rows.h"
#include "res/templates/templates.h"

namespace lumiq::res {

namespace {
// Every label of this page closes the radio group before it.
ControlTemplate Label(const char* caption, Rect rect) {
  return {kNoId, ControlKind::kLabel, caption, rect, kGroupStart, {}};
}
ControlTemplate GroupBox(const char* caption, Rect rect) {
  return {kNoId, ControlKind::kGroupBox, caption, rect, kStyleNone, {}};
}
}  // namespace

// The format rows give "char1", "hextochar" and "phidtochar" the width
// their captions take in the fonts we ship, out of the room "dec2" and
// "dec3" did not need; the columns from "hextochar" on line up across rows.
// Group-start marks decide which radio buttons clear each other, so they are
// kept exactly where the layout has them: the work-mode group runs on over
// edit 1001 and box 1190, and box 1231 sits inside the reboot-light group.
const DialogTemplate& ControlPageTemplate() {
  using namespace control;
  static const DialogTemplate dialog{
      kTemplateId, "", 323, 224, "System", 10, true,
      {
          CheckBox(kCodeBeep, "扫码扬声器", {18, 17, 56, 10}),
          Label("工作模式", {18, 54, 33, 8}),
          Label("扫码间隔", {118, 55, 33, 8}),
          Label("毫秒", {210, 55, 17, 8}),
          Radio(kNormalMode, "普通模式", {31, 65, 48, 10}, kGroupStart),
          Radio(kSingleMode, "单次模式", {31, 81, 48, 10}),
          Radio(kIntervalMode, "间隔模式", {31, 97, 48, 10}),
          Edit(kIntervalEdit, {159, 51, 41, 12}),
          CheckBox(kNfcSwitch, "NFC开关", {18, 110, 46, 10}),
          Radio(kSerialDevelopMode, "串口开发模式", {64, 206, 64, 10}, kGroupStart),
          Radio(kHidDevelopMode, "HID开发模式", {130, 206, 60, 10}),
          Radio(kNormalScanMode, "普通扫码模式", {196, 206, 64, 10}),
          Label("开发模式", {17, 206, 33, 8}),
          Label("二维码输出格式", {17, 154, 57, 8}),
          Label("内容输出格式", {17, 178, 49, 8}),
          Label("起始位：", {134, 112, 34, 8}),
          Label("结束位：", {207, 111, 34, 8}),
          Edit(kNfcBeginEdit, {168, 109, 37, 12}),
          Edit(kNfcEndEdit, {242, 108, 40, 12}),
          Label("NFC输出字节数", {73, 113, 55, 8}),
          Label("解码模式：", {136, 18, 41, 8}),
          Radio(kEngine1, "引擎1解码", {185, 17, 52, 10}, kGroupStart),
          Radio(kEngine2, "引擎2解码", {253, 17, 52, 10}),
          Radio(kRebootLightOn, "重启开灯", {20, 35, 48, 10}, kGroupStart),
          Radio(kRebootRedLight, "重启开红灯", {68, 35, 56, 10}),
          Radio(kRebootPinkLight, "重启开粉灯", {124, 35, 56, 10}),
          Radio(kRebootLightOff, "重启关灯", {180, 35, 48, 10}),
          CheckBox(kNfcBeep, "NFC扬声器", {73, 16, 54, 10}),
          Radio(kNfcChar, "char", {17, 140, 26, 10}, kGroupStart),
          Radio(kNfcHex, "hex", {45, 140, 23, 10}),
          Radio(kNfcDec, "dec", {70, 140, 23, 10}),
          Radio(kNfcDec1, "dec1", {95, 140, 26, 10}),
          Radio(kNfcChar1, "char1", {123, 140, 29, 10}),
          Radio(kNfcHexToChar, "hextochar", {154, 140, 46, 10}),
          Radio(kNfcPhidToChar, "phidtochar", {202, 140, 49, 10}),
          Radio(kNfcDec2, "dec2", {253, 141, 27, 10}),
          Radio(kNfcDec3, "dec3", {282, 140, 27, 10}),
          Radio(kCodeChar, "char", {17, 164, 24, 10}, kGroupStart),
          Radio(kCodeHex, "hex", {44, 164, 22, 10}),
          Radio(kCodeDec, "dec", {68, 164, 24, 10}),
          Radio(kCodeDec1, "dec1", {93, 164, 27, 10}),
          Radio(kCodeChar1, "char1", {123, 164, 29, 10}),
          Radio(kCodeHexToChar, "hextochar", {154, 164, 46, 10}),
          Radio(kCodePhidToChar, "phidtochar", {202, 164, 49, 10}),
          Radio(kCodeDec2, "dec2", {253, 164, 27, 10}),
          Radio(kCodeDec3, "dec3", {282, 164, 27, 10}),
          Radio(kContentChar, "char", {17, 187, 24, 10}, kGroupStart),
          Radio(kContentHex, "hex", {44, 187, 23, 10}),
          Radio(kContentDec, "dec", {70, 187, 22, 10}),
          Radio(kContentDec1, "dec1", {95, 187, 26, 10}),
          Radio(kContentChar1, "char1", {124, 187, 28, 10}),
          Radio(kContentHexToChar, "hextochar", {154, 187, 46, 10}),
          Radio(kContentPhidToChar, "phidtochar", {202, 187, 49, 10}),
          Radio(kContentDec2, "dec2", {253, 187, 27, 10}),
          Radio(kContentDec3, "dec3", {282, 187, 27, 10}),
          Label("NFC输出格式", {17, 127, 47, 8}),
          GroupBox("刷卡扫码行为设置", {110, 76, 185, 27}),
          CheckBox(kCodeRedFlash, "扫码闪红灯", {130, 87, 56, 10}),
          CheckBox(kNfcRedFlash, "刷卡闪红灯", {202, 85, 56, 10}),
      }};
  return dialog;
}

}  // namespace lumiq::res
