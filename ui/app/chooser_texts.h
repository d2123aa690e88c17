#pragma once

namespace lumiq::ui::app {

// The texts of the scanner chooser's rows (UTF-8), catalogue sources. A row reads
// "端口 1-2  设备号 仓库-7  固件版本 V2.0.7", or names why the scanner could
// not be read in place of the last two.
inline constexpr char kChoiceRow[] = "端口 %1  设备号 %2  固件版本 %3";
inline constexpr char kChoiceRowUnreadable[] = "端口 %1  %2";
inline constexpr char kChoiceUnknownPort[] = "未知";
inline constexpr char kChoiceNotRead[] = "(未读出)";
inline constexpr char kChoiceEmptyValue[] = "(空)";
inline constexpr char kChoiceInUse[] = "正被另一个程序使用";
inline constexpr char kChoiceNoPermission[] = "无权访问";
inline constexpr char kChoiceNoAnswer[] = "设备没有应答";
inline constexpr char kChoiceGone[] = "设备已拔出";
inline constexpr char kChoiceUnreadable[] = "无法读取";

}  // namespace lumiq::ui::app
