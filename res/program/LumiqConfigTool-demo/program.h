#pragma once

// What LumiqConfigTool-demo.exe's version record says about it (the rest: version.h).

#define LUMIQ_FILE_DESCRIPTION "LumiqConfigTool 演示（模拟扫描器）"
#define LUMIQ_INTERNAL_NAME "LumiqConfigTool-demo"
#define LUMIQ_ORIGINAL_FILENAME "LumiqConfigTool-demo.exe"
