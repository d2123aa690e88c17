#pragma once

// Controls of the output format page (template 132). 1001, 1207 and 1208
// mean other controls on other pages.
namespace lumiq::res::output_format {

inline constexpr int kTemplateId = 132;

inline constexpr int kEnter = 1060;  // "回车"
inline constexpr int kWrap = 1061;   // "换行"

inline constexpr int kCodePrefixBox = 1062;   // "条码二维码前缀"
inline constexpr int kCodeSuffixBox = 1036;   // "条码二维码后缀"
inline constexpr int kCodePrefixEdit = 1063;
inline constexpr int kCodeSuffixEdit = 1037;

inline constexpr int kNfcPrefixBox = 1104;    // "NFC前缀"
inline constexpr int kNfcSuffixBox = 1105;    // "NFC后缀"
inline constexpr int kNfcPrefixEdit = 1001;
inline constexpr int kNfcSuffixEdit = 1106;

// Notation of the code prefix and suffix ("条码二维码前后缀格式").
inline constexpr int kCodeNotationHex = 1207;
inline constexpr int kCodeNotationChar = 1208;
// Notation of the NFC prefix and suffix ("NFC前后缀格式").
inline constexpr int kNfcNotationHex = 1234;
inline constexpr int kNfcNotationChar = 1235;

// Key timing of the emulated HID keyboard, in milliseconds; number-only.
inline constexpr int kKeyDownTime = 1221;  // "hid键盘按下时间"
inline constexpr int kKeyUpTime = 1220;    // "hid键盘抬起时间"

// How NFC cards are read ("NFC读取方式：").
inline constexpr int kReadNormal = 1248;      // "正常"
inline constexpr int kReadContinuous = 1249;  // "连续"

}  // namespace lumiq::res::output_format
