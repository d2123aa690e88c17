#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "res/i18n/language.h"

namespace lumiq::i18n {

// The windows' texts are keyed by their Chinese source, character for
// character as the program writes it (UTF-8). The catalogue is
// res/i18n/lumiq_en.ts, a Qt Linguist file; the build turns it into the table
// below for every binding, and into a .qm file for Qt's own lookup.

// `source` in the current language: the catalogue's translation, or
// `source` itself (Chinese, or a text the catalogue lacks).
const char* Tr(const char* source);
// The same for a given language.
const char* TrIn(Language language, const char* source);

// `pattern` with %1 to %9 replaced by the arguments in that order; any
// other '%' stays. The pattern is translated first, so a translation may
// put the parts where its language wants them.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);
// Tr(pattern), then Format.
std::string TrFormat(const char* pattern, std::initializer_list<std::string_view> args);

struct CatalogueEntry {
  const char* source;
  const char* translation;
};
// The English catalogue, in the .ts file's order: for tests and tools.
const CatalogueEntry* EnglishEntries(size_t* count);

}  // namespace lumiq::i18n
