#include "ui/win32/system_language.h"

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

i18n::Language SystemLanguage() {
  const LANGID language = GetUserDefaultUILanguage();
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  std::vector<std::string> names;
  // A neutral or unknown language has no locale name: none is named.
  if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0) {
    names.push_back(WideToUtf8(name));
  }
  return i18n::LanguageForUiLanguages(names);
}

}  // namespace lumiq::ui::win32
