#pragma once

// What LumiqConfigTool.EXE's version record says about it (the rest: version.h).

#define LUMIQ_FILE_DESCRIPTION "LumiqConfigTool 扫描器配置工具"
#define LUMIQ_INTERNAL_NAME "LumiqConfigTool"
#define LUMIQ_ORIGINAL_FILENAME "LumiqConfigTool.EXE"
