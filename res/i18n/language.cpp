#include "res/i18n/language.h"

#include <cctype>

namespace lumiq::i18n {

namespace {

Language current = Language::kChinese;

// "zh-Hans-CN", "zh_CN.UTF-8", "ZH": the primary subtag, in lower case.
std::string PrimaryTag(std::string_view name) {
  std::string tag;
  for (char c : name) {
    if (c == '-' || c == '_' || c == '.' || c == '@') break;
    tag += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return tag;
}

}  // namespace

Language CurrentLanguage() { return current; }
void SetLanguage(Language language) { current = language; }

Language LanguageForUiLanguages(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string tag = PrimaryTag(name);
    // The C locale names no language: it is what a system without one set
    // reports, and those systems get the source texts.
    if (tag.empty() || tag == "c" || tag == "posix") continue;
    return tag == "zh" ? Language::kChinese : Language::kEnglish;
  }
  return Language::kChinese;
}

const char* LanguageName(Language language) {
  return language == Language::kEnglish ? "en" : "zh";
}

std::optional<Language> LanguageNamed(std::string_view name) {
  if (name == "zh") return Language::kChinese;
  if (name == "en") return Language::kEnglish;
  return std::nullopt;
}

}  // namespace lumiq::i18n
