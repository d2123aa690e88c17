#pragma once

// What zrctl.exe's version record says about it (the rest: version.h).

#define LUMIQ_FILE_DESCRIPTION "LumiqConfigTool 命令行工具"
#define LUMIQ_INTERNAL_NAME "zrctl"
#define LUMIQ_ORIGINAL_FILENAME "zrctl.exe"
