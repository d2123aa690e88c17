#pragma once

// Control ids of the output method page (template 133). Ids are local to a
// page: 1103 and 1212 name other controls on other pages.

namespace lumiq::res::output_method {

inline constexpr int kTemplateId = 133;

// Channel check boxes (disabled: the page shows the scanner's channel, it
// cannot switch it).
inline constexpr int kComOutput = 1064;        // "COM输出"
inline constexpr int kHidOutput = 1066;        // "HID模拟键盘输出"
inline constexpr int kWifiOutput = 1147;       // "WIFI输出"
inline constexpr int kBluetoothOutput = 1148;  // "蓝牙输出"

// "更改输出方式...": offers the four channels; the choice rebuilds the
// pages as an import that switches the channel does.
inline constexpr int kChangeChannelButton = 1170;

// COM.
inline constexpr int kBaudRateLabel = 1184;
inline constexpr int kDataBitsLabel = 1185;
inline constexpr int kStopBitsLabel = 1186;
inline constexpr int kParityLabel = 1187;
inline constexpr int kBaudRateCombo = 1067;
inline constexpr int kStopBitsCombo = 1068;
inline constexpr int kDataBitsCombo = 1069;
inline constexpr int kParityCombo = 1070;

// Wi-Fi.
inline constexpr int kDeviceWifiLabel = 1142;  // "设备WIFI"
inline constexpr int kDeviceSsidLabel = 1143;
inline constexpr int kJoinWifiLabel = 1144;    // "连入WIFI"
inline constexpr int kJoinSsidLabel = 1145;
inline constexpr int kAuthModeLabel = 1162;
inline constexpr int kEncryptionLabel = 1163;
inline constexpr int kKeyLabel = 1164;
inline constexpr int kProtocolLabel = 1165;
inline constexpr int kServerAddressLabel = 1166;
inline constexpr int kServerPortLabel = 1167;
inline constexpr int kServerPathLabel = 1168;
inline constexpr int kDeviceSsidEdit = 1103;
inline constexpr int kJoinSsidEdit = 1150;
inline constexpr int kKeyEdit = 1154;  // password edit
inline constexpr int kServerAddressEdit = 1155;
inline constexpr int kServerPortEdit = 1156;
inline constexpr int kServerPathEdit = 1157;
inline constexpr int kAuthModeCombo = 1043;
inline constexpr int kEncryptionCombo = 1153;
inline constexpr int kHttpRadio = 1151;
inline constexpr int kTcpRadio = 1152;
inline constexpr int kProtocolModeBox = 1212;  // "WIFI协议模式"

// Bluetooth.
inline constexpr int kBluetoothNameLabel = 1169;
inline constexpr int kBluetoothNameEdit = 1159;

}  // namespace lumiq::res::output_method
