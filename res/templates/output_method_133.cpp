#include "res/ids/output_method_ids.h"
#include "res/templates/template_rows.h"
#include "res/templates/templates.h"

#include <utility>

namespace lumiq::res {

namespace {
// The channel boxes are disabled: the page shows the channel the scanner
// reports and writes the same one back; the user edits only its parameters.
ControlTemplate ChannelBox(int id, const char* caption, Rect rect) {
  return {id, ControlKind::kCheckBox, caption, rect, kTabStop | kDisabled, {}};
}
// Editable drop-down with a sorted list: the user may type a value the list
// lacks, and the scanner may report one.
ControlTemplate Combo(int id, Rect rect, std::vector<const char*> items) {
  return {id, ControlKind::kComboBox, "", rect, kSorted | kTabStop, std::move(items)};
}
// Labels here carry ids of their own, so that whole channel groups can be
// hidden; each closes the radio group before it.
ControlTemplate Label(int id, const char* caption, Rect rect) {
  return {id, ControlKind::kLabel, caption, rect, kGroupStart, {}};
}
}  // namespace

const DialogTemplate& OutputMethodTemplate() {
  using namespace output_method;
  static const DialogTemplate dialog{
      kTemplateId, "", 359, 259, "System", 10, true,
      {
          ChannelBox(kHidOutput, "HID模拟键盘输出", {7, 45, 76, 10}),
          ChannelBox(kWifiOutput, "WIFI输出", {7, 71, 47, 10}),
          ChannelBox(kBluetoothOutput, "蓝牙输出", {7, 194, 48, 10}),
          Label(kBluetoothNameLabel, "蓝牙名称", {65, 195, 33, 8}),
          Edit(kBluetoothNameEdit, {114, 191, 190, 14}),
          Label(kDeviceWifiLabel, "设备WIFI", {16, 87, 32, 8}),
          Label(kJoinWifiLabel, "连入WIFI", {16, 107, 32, 8}),
          Label(kDeviceSsidLabel, "SSID", {50, 87, 17, 8}),
          Label(kJoinSsidLabel, "SSID", {50, 108, 17, 8}),
          Edit(kDeviceSsidEdit, {77, 86, 54, 14}),
          Edit(kJoinSsidEdit, {77, 106, 55, 14}),
          Label(kProtocolLabel, "方式", {158, 71, 17, 8}),
          Radio(kHttpRadio, "HTTP", {193, 70, 34, 10}, kGroupStart),
          Radio(kTcpRadio, "TCP/IP", {238, 70, 38, 10}),
          Label(kAuthModeLabel, "认证模式", {34, 129, 33, 8}),
          Label(kEncryptionLabel, "加密方式", {34, 150, 33, 8}),
          Label(kKeyLabel, "秘钥", {50, 171, 17, 8}),
          Combo(kAuthModeCombo, {77, 128, 48, 50}, {"OPEN", "SHARED", "WPAPSK", "WPA2PSK"}),
          Combo(kEncryptionCombo, {77, 152, 48, 50}, {"NONE", "WEP-H", "WEP-A", "TKIP", "AES"}),
          Edit(kKeyEdit, {77, 173, 57, 14}, kPassword),
          Label(kServerAddressLabel, "服务器地址", {146, 96, 41, 8}),
          Label(kServerPortLabel, "服务器端口", {146, 116, 41, 8}),
          Label(kServerPathLabel, "服务器路径", {146, 136, 41, 8}),
          Edit(kServerAddressEdit, {191, 94, 115, 14}),
          Edit(kServerPortEdit, {191, 115, 114, 14}),
          Edit(kServerPathEdit, {192, 132, 143, 14}),
          ChannelBox(kComOutput, "COM输出", {7, 10, 48, 10}),
          Label(kBaudRateLabel, "波特率", {67, 11, 25, 8}),
          Label(kStopBitsLabel, "停止位", {67, 30, 25, 8}),
          Label(kDataBitsLabel, "数据位", {158, 11, 25, 8}),
          Label(kParityLabel, "校验位", {157, 30, 25, 8}),
          Combo(kBaudRateCombo, {97, 7, 48, 64},
                {"110", "134", "150", "300", "600", "1200", "1800", "2400", "4800", "7200",
                 "9600", "14400", "19200", "38400", "56000", "57600", "115200", "128000",
                 "256000"}),
          Combo(kStopBitsCombo, {97, 26, 48, 51}, {"1", "2"}),
          Combo(kDataBitsCombo, {191, 7, 48, 64}, {"5", "6", "7", "8"}),
          Combo(kParityCombo, {191, 26, 48, 52}, {"NONE", "ODD", "EVEN", "MARK", "SPACE"}),
          CheckBox(kProtocolModeBox, "WIFI协议模式", {161, 174, 63, 10}),
          // Belongs to no channel group: it stays whatever the channel.
          {kChangeChannelButton, ControlKind::kPushButton, "更改输出方式...", {7, 214, 80, 14},
           kGroupStart | kTabStop, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
