#pragma once

namespace lumiq::ui::app {

// The texts of a settings window on a profile file (UTF-8), catalogue
// sources: the connect dialog's button and file dialog, and what "保存",
// closing and applying the file to a scanner say.
inline constexpr char kOpenFileTitle[] = "打开配置文件";
inline constexpr char kFileSavedText[] = "配置已保存到文件，未写入任何设备:\n%1";
inline constexpr char kFileCommentsLostText[] = "文件已无法按打开时读取，其中的注释未能保留。";
inline constexpr char kFileSaveUnstorableText[] = "保存失败，以下设置无法保存，文件未写入:\n%1";
inline constexpr char kFileSaveFailedText[] = "保存失败，文件无法写入:\n%1";
// First line of the list of settings the file lacks, named as the keys a
// scanner could not read are.
inline constexpr char kFileMissingText[] = "文件中没有以下设置，窗口显示其初始状态:";
inline constexpr char kCloseQuestionText[] = "配置文件已修改，是否保存?\n%1";
inline constexpr char kAppliedText[] =
    "窗口仍显示文件中的设置，尚未写入设备，按“保存”后写入。";

// The settings window's title: its caption, then what it shows (%1 the
// caption, %2 the subject); a subject is the scanner by port and device
// number, a simulated one said as such, or the file by name.
inline constexpr char kTitleText[] = "%1 - %2";
inline constexpr char kScannerSubject[] = "端口 %1 设备号 %2";
inline constexpr char kSimulatedSubject[] = "模拟设备 端口 %1 设备号 %2";
inline constexpr char kFileSubject[] = "文件 %1";
// After the title or a tab's caption while a setting it holds has changed
// since the window opened.
inline constexpr char kChangedMark[] = " *";

}  // namespace lumiq::ui::app
