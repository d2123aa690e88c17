#pragma once

// Resource ids of the application's own windows: the About box (100), the
// connect dialog (102), the scanner chooser (103), the settings window (134),
// the test-scan window (145) and the output channel chooser (146), with the program icon,
// the About entry of the system menu and its string.

namespace lumiq::res {

inline constexpr int kAboutTemplateId = 100;
inline constexpr int kConnectTemplateId = 102;
inline constexpr int kChooserTemplateId = 103;
inline constexpr int kSettingsTemplateId = 134;
inline constexpr int kTestScanTemplateId = 145;
inline constexpr int kChannelChooserTemplateId = 146;

inline constexpr int kProgramIconId = 128;
inline constexpr int kAboutMenuStringId = 101;
// The program's name, the caption of its message boxes (the number the
// dialog framework reads its application title from).
inline constexpr int kAppTitleStringId = 0xE000;
// System-menu commands carry flags in their low four bits, so the entry is
// recognised by (command & 0xFFF0) == kAboutMenuCommand.
inline constexpr int kAboutMenuCommand = 0x0010;
inline constexpr int kSystemCommandMask = 0xFFF0;

// About box (100).
inline constexpr int kAboutOkButton = 1;

// Connect dialog (102).
inline constexpr int kConnectButton = 1;
inline constexpr int kConnectExitButton = 1004;
// "打开配置文件...": a profile file shown without a scanner.
inline constexpr int kConnectOpenButton = 1006;

// Scanner chooser (103): OK and cancel are the dialog's own, so Enter
// connects the selected scanner and Escape goes back.
inline constexpr int kChooserOkButton = 1;
inline constexpr int kChooserCancelButton = 2;
inline constexpr int kChooserList = 1005;

// Settings window (134).
inline constexpr int kSettingsTabControl = 1039;
inline constexpr int kSettingsExitButton = 1041;
inline constexpr int kSettingsSaveButton = 1141;
inline constexpr int kSettingsImportButton = 1142;
inline constexpr int kSettingsExportButton = 1143;
inline constexpr int kSettingsTestScanButton = 1144;  // "扫描测试..."
// "应用到设备...", shown only while the window shows a profile file.
inline constexpr int kSettingsApplyButton = 1145;

// Test-scan window (145): its close button is the dialog's cancel, so
// nothing but the close box, the button and Alt+F4 ends it (Escape and Enter
// may be keys of a scan).
inline constexpr int kTestScanCloseButton = 2;
inline constexpr int kTestScanChannelText = 1001;
inline constexpr int kTestScanPortLabel = 1002;
inline constexpr int kTestScanPortCombo = 1003;
inline constexpr int kTestScanPortStatus = 1004;
inline constexpr int kTestScanCodeFraming = 1005;
inline constexpr int kTestScanCardFraming = 1006;
inline constexpr int kTestScanTiming = 1007;
inline constexpr int kTestScanList = 1008;
inline constexpr int kTestScanDetails = 1009;

// Output channel chooser (146), opened by the output method page's
// "更改输出方式...": one radio button per channel, ids as the page's boxes.
inline constexpr int kChannelChooserOkButton = 1;
inline constexpr int kChannelChooserCancelButton = 2;

}  // namespace lumiq::res
