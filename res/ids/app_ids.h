#pragma once

// Resource ids of the application's own windows: the About box (100), the
// connect dialog (102), the scanner chooser (103) and the settings window (134), with the program icon,
// the About entry of the system menu and its string.

namespace lumiq::res {

inline constexpr int kAboutTemplateId = 100;
inline constexpr int kConnectTemplateId = 102;
inline constexpr int kChooserTemplateId = 103;
inline constexpr int kSettingsTemplateId = 134;

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
// "应用到设备...", shown only while the window shows a profile file.
inline constexpr int kSettingsApplyButton = 1144;

}  // namespace lumiq::res
