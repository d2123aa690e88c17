#pragma once

// Control ids of the control page (template 131). Ids are local to a page:
// 1212 here is a content-format radio, on the output method page a check box.

namespace lumiq::res::control {

inline constexpr int kTemplateId = 131;

// Hints after a code scan and after a card read.
inline constexpr int kCodeBeep = 1073;      // "扫码扬声器"
inline constexpr int kCodeRedFlash = 1246;  // "扫码闪红灯"
inline constexpr int kNfcBeep = 1231;       // "NFC扬声器"
inline constexpr int kNfcRedFlash = 1247;   // "刷卡闪红灯"

// Reboot light.
inline constexpr int kRebootLightOn = 1217;    // "重启开灯"
inline constexpr int kRebootRedLight = 1218;   // "重启开红灯"
inline constexpr int kRebootPinkLight = 1219;  // "重启开粉灯"
inline constexpr int kRebootLightOff = 1230;   // "重启关灯"

// Work mode and scan interval.
inline constexpr int kNormalMode = 1100;    // "普通模式"
inline constexpr int kSingleMode = 1101;    // "单次模式"
inline constexpr int kIntervalMode = 1102;  // "间隔模式"
inline constexpr int kIntervalEdit = 1001;  // milliseconds

// NFC reader.
inline constexpr int kNfcSwitch = 1190;     // "NFC开关"
inline constexpr int kNfcBeginEdit = 1216;  // first output byte
inline constexpr int kNfcEndEdit = 1215;    // last output byte

// NFC output format.
inline constexpr int kNfcChar = 1191;
inline constexpr int kNfcHex = 1192;
inline constexpr int kNfcDec = 1193;
inline constexpr int kNfcDec1 = 1194;
inline constexpr int kNfcChar1 = 1195;
inline constexpr int kNfcHexToChar = 1196;
inline constexpr int kNfcPhidToChar = 1197;
inline constexpr int kNfcDec2 = 1238;
inline constexpr int kNfcDec3 = 1239;

// QR-code output format.
inline constexpr int kCodeChar = 1198;
inline constexpr int kCodeHex = 1199;
inline constexpr int kCodeDec = 1200;
inline constexpr int kCodeDec1 = 1201;
inline constexpr int kCodeChar1 = 1202;
inline constexpr int kCodeHexToChar = 1203;
inline constexpr int kCodePhidToChar = 1204;
inline constexpr int kCodeDec2 = 1240;
inline constexpr int kCodeDec3 = 1241;

// Content output format.
inline constexpr int kContentChar = 1205;
inline constexpr int kContentHex = 1206;
inline constexpr int kContentDec = 1207;
inline constexpr int kContentDec1 = 1208;
inline constexpr int kContentChar1 = 1212;
inline constexpr int kContentHexToChar = 1213;
inline constexpr int kContentPhidToChar = 1214;
inline constexpr int kContentDec2 = 1242;
inline constexpr int kContentDec3 = 1243;

// Develop mode.
inline constexpr int kSerialDevelopMode = 1209;  // "串口开发模式"
inline constexpr int kHidDevelopMode = 1210;     // "HID开发模式"
inline constexpr int kNormalScanMode = 1211;     // "普通扫码模式"

// Decoding engine.
inline constexpr int kEngine1 = 1222;  // "引擎1解码"
inline constexpr int kEngine2 = 1223;  // "引擎2解码"

}  // namespace lumiq::res::control
