#pragma once

#include "res/i18n/language.h"

namespace lumiq::ui::win32 {

// The language the application speaks on this system: the user's UI
// language, named as a locale ("zh-CN", "en-US") and read by the same rule
// as the Qt binding's system locale.
i18n::Language SystemLanguage();

}  // namespace lumiq::ui::win32
