#pragma once

// What lumiq-headless.exe's version record says about it (the rest: version.h).

#define LUMIQ_FILE_DESCRIPTION "LumiqConfigTool 无界面运行器（测试用）"
#define LUMIQ_INTERNAL_NAME "lumiq-headless"
#define LUMIQ_ORIGINAL_FILENAME "lumiq-headless.exe"
