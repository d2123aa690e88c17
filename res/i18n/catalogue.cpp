#include "res/i18n/catalogue.h"

#include <string>
#include <unordered_map>

namespace lumiq::i18n {

// Generated from lumiq_en.ts by ts_to_table.cmake.
extern const CatalogueEntry kEnglishCatalogue[];
extern const size_t kEnglishCatalogueSize;

namespace {

const std::unordered_map<std::string_view, const char*>& EnglishTable() {
  static const auto* table = [] {
    auto* built = new std::unordered_map<std::string_view, const char*>;
    for (size_t i = 0; i < kEnglishCatalogueSize; ++i) {
      built->emplace(kEnglishCatalogue[i].source, kEnglishCatalogue[i].translation);
    }
    return built;
  }();
  return *table;
}

}  // namespace

const char* TrIn(Language language, const char* source) {
  if (language == Language::kChinese || !source || !*source) return source;
  const auto& table = EnglishTable();
  const auto found = table.find(source);
  return found == table.end() ? source : found->second;
}

const char* Tr(const char* source) { return TrIn(CurrentLanguage(), source); }

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const size_t index = static_cast<size_t>(pattern[i + 1] - '1');
      if (index < args.size()) {
        text += *(args.begin() + index);
        ++i;
        continue;
      }
    }
    text += c;
  }
  return text;
}

std::string TrFormat(const char* pattern, std::initializer_list<std::string_view> args) {
  return Format(Tr(pattern), args);
}

const CatalogueEntry* EnglishEntries(size_t* count) {
  if (count) *count = kEnglishCatalogueSize;
  return kEnglishCatalogue;
}

}  // namespace lumiq::i18n
