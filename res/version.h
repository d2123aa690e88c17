#pragma once

// The version record every program file shares; each program's own names
// are in res/program/PROGRAM/program.h. Plain macros, so that both the
// compiler and the resource compiler read this file.

#define LUMIQ_FILE_VERSION 1, 0, 0, 1
#define LUMIQ_FILE_VERSION_TEXT "1, 0, 0, 1"
#define LUMIQ_PRODUCT_VERSION LUMIQ_FILE_VERSION
#define LUMIQ_PRODUCT_VERSION_TEXT LUMIQ_FILE_VERSION_TEXT
#define LUMIQ_COMPANY_NAME "The LumiqConfigTool developers"
#define LUMIQ_LEGAL_COPYRIGHT "Copyright 2026 the LumiqConfigTool developers"
#define LUMIQ_PRODUCT_NAME "LumiqConfigTool 应用程序"
/* Chinese (Simplified, PRC) text in UTF-16: block "080404b0". */
#define LUMIQ_VERSION_BLOCK "080404b0"
#define LUMIQ_VERSION_LANGUAGE 0x0804
#define LUMIQ_VERSION_CODEPAGE 1200
