#pragma once

// The program's string table and the fixed texts of the application windows
// (UTF-8). Message boxes carry the program's name as their caption, string
// kAppTitleStringId.

namespace lumiq::res {

inline constexpr char kAppName[] = "LumiqConfigTool";
// The caption of the connect dialog and the settings window.
inline constexpr char kAppCaption[] = "Lumiq配置工具U口(ZR系列)v2.0.7";

inline constexpr char kConnectFailedText[] =
    "连接设备失败，请检查设备是否插入或重试!";
inline constexpr char kVersionFailedText[] =
    "获取设备版本信息失败，请检查设备是否插入或重试!";
inline constexpr char kConnectedText[] = "连接设备成功!";

// The string resource `id`, or "" when the table has none.
const char* StringResource(int id);

}  // namespace lumiq::res
