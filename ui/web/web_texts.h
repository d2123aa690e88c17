#pragma once

namespace lumiq::ui::web {

// The page's own texts (UTF-8), catalogue sources like every window text.

// "连接设备" in a browser without WebHID (Firefox, Safari).
inline constexpr char kNoWebHidText[] =
    "此浏览器不支持 WebHID，无法连接设备。\n"
    "请使用 Chrome、Edge 或其他基于 Chromium 的浏览器打开本页。";
// The export's own dialog: the file's name and which profile to write.
inline constexpr char kExportNameLabel[] = "文件名:";
inline constexpr char kExportKindLabel[] = "保存类型:";
// The title bar's menu, which holds the About entry.
inline constexpr char kWindowMenuLabel[] = "窗口菜单";
// The title bar's close box.
inline constexpr char kCloseLabel[] = "关闭";
inline constexpr char kDemoBanner[] = "演示：连接的是页面内置的模拟扫描器，不会写入真实设备。";

}  // namespace lumiq::ui::web
