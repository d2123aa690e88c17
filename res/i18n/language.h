#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumiq::i18n {

// The languages the windows speak. Chinese is the source: its texts are the
// catalogue's keys and are shown as they are written.
enum class Language { kChinese, kEnglish };

// The language every text is looked up in, for the whole process. Set once
// before the first window is built; Chinese until then.
Language CurrentLanguage();
void SetLanguage(Language language);

// What the applications choose from the system's UI languages, most
// preferred first ("zh-CN", "en_US.UTF-8", "de"): Chinese when the first
// named language is Chinese, English for any other named language, and
// Chinese when none is named ("C", "POSIX" or nothing).
Language LanguageForUiLanguages(const std::vector<std::string>& names);

// The catalogue's name of a language ("zh", "en"), and back; nullopt for a
// name the program has no catalogue for.
const char* LanguageName(Language language);
std::optional<Language> LanguageNamed(std::string_view name);

}  // namespace lumiq::i18n
