#pragma once

#include <string>

namespace lumiq::test {

// Whether UTF-8 `text` holds Chinese: CJK ideographs, CJK punctuation or
// full-width forms (what a text left untranslated shows).
inline bool HasChinese(const std::string& text) {
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0xE3 || lead > 0xEF) continue;
    const unsigned code = ((lead & 0x0Fu) << 12) |
                          ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                          (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    if ((code >= 0x3000 && code <= 0x9FFF) || (code >= 0xFF00 && code <= 0xFFEF)) return true;
  }
  return false;
}

}  // namespace lumiq::test
