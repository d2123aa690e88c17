#pragma once

// The program file's version record. Plain macros, so that both the compiler
// and the resource compiler read this file.

#define LUMIQ_FILE_VERSION 1, 0, 0, 1
#define LUMIQ_FILE_VERSION_TEXT "1, 0, 0, 1"
#define LUMIQ_PRODUCT_VERSION LUMIQ_FILE_VERSION
#define LUMIQ_PRODUCT_VERSION_TEXT LUMIQ_FILE_VERSION_TEXT
#define LUMIQ_INTERNAL_NAME "LumiqConfigTool"
#define LUMIQ_ORIGINAL_FILENAME "LumiqConfigTool.EXE"
/* Chinese (Simplified, PRC) text in UTF-16: block "080404b0". */
#define LUMIQ_VERSION_BLOCK "080404b0"
#define LUMIQ_VERSION_LANGUAGE 0x0804
#define LUMIQ_VERSION_CODEPAGE 1200
