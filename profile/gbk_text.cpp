#include "profile/gbk_text.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <unordered_map>
#endif

namespace lumiq::profile {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

#ifdef _WIN32
// The mapping is Windows' code page 936: on Windows the system's own, unit
// by unit and with no best fit, for both windows, zrctl and the profiles.
constexpr UINT kCodePage = 936;

char32_t DecodeUnit(const char* bytes, int length) {
  wchar_t unit[2] = {};
  const int decoded = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, length, unit, 2);
  if (decoded != 1 || unit[0] == kReplacement) return 0;
  return unit[0];
}

bool EncodeUnit(char32_t character, std::string* bytes) {
  const wchar_t unit = static_cast<wchar_t>(character);
  char code[4] = {};
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &unit, 1, code,
                                         sizeof code, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  bytes->append(code, static_cast<size_t>(length));
  return true;
}
#else
// Elsewhere a table reproduces code page 936 (as ICU's "GBK" has it):
// glibc's GBK plus the euro sign at 0x80, 0xFF, and the private-use codes
// Windows gives the user-defined areas and the cells GBK leaves empty. The
// table is glibc's with those added, built once.
constexpr char32_t kEuro = 0x20AC;
constexpr char32_t kByteFF = 0xF8F5;

struct Tables {
  std::vector<char32_t> characters = std::vector<char32_t>(0x10000, 0);  // lead << 8 | trail
  std::unordered_map<char32_t, uint16_t> codes;
};

char32_t GlibcCharacter(iconv_t converter, unsigned char lead, unsigned char trail) {
  if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char out[8] = {};
  char* inAt = in;
  size_t inLeft = sizeof in;
  char* outAt = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0 || sizeof out - outLeft != 4) {
    return 0;
  }
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

// Windows' private-use code for a cell of a user-defined area, or 0.
char32_t UserAreaCharacter(unsigned char lead, unsigned char trail) {
  if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) {
    return 0xE000 + (lead - 0xAA) * 94 + (trail - 0xA1);
  }
  if (lead >= 0xF8 && trail >= 0xA1) return 0xE234 + (lead - 0xF8) * 94 + (trail - 0xA1);
  if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0) {
    return 0xE4C6 + (lead - 0xA1) * 96 + (trail - 0x40) - (trail > 0x7F ? 1 : 0);
  }
  return 0;
}

Tables BuildTables() {
  Tables tables;
  const iconv_t converter = iconv_open("UTF-32LE", "GBK");
  // The cells GBK leaves empty take the private-use codes from U+E766 on,
  // in code order.
  char32_t nextSpare = 0xE766;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const auto l = static_cast<unsigned char>(lead);
      const auto t = static_cast<unsigned char>(trail);
      char32_t character = UserAreaCharacter(l, t);
      if (character == 0) character = GlibcCharacter(converter, l, t);
      if (character == 0 && converter != reinterpret_cast<iconv_t>(-1)) character = nextSpare++;
      if (character == 0) continue;
      tables.characters[lead << 8 | trail] = character;
      tables.codes.emplace(character, static_cast<uint16_t>(lead << 8 | trail));
    }
  }
  if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  return tables;
}

const Tables& GbkTables() {
  static const Tables tables = BuildTables();
  return tables;
}

char32_t DecodeUnit(const char* bytes, int length) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (length == 1) return lead == 0x80 ? kEuro : lead == 0xFF ? kByteFF : 0;
  return GbkTables().characters[lead << 8 | static_cast<unsigned char>(bytes[1])];
}

bool EncodeUnit(char32_t character, std::string* bytes) {
  if (character == kEuro || character == kByteFF) {
    bytes->push_back(static_cast<char>(character == kEuro ? 0x80 : 0xFF));
    return true;
  }
  const auto& codes = GbkTables().codes;
  const auto found = codes.find(character);
  if (found == codes.end()) return false;
  bytes->push_back(static_cast<char>(found->second >> 8));
  bytes->push_back(static_cast<char>(found->second & 0xFF));
  return true;
}
#endif

}  // namespace

size_t NextGbkCharacter(std::string_view bytes, char32_t* character) {
  if (bytes.empty()) return 0;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) {
    *character = lead;
    return 1;
  }
  if (StartsGbkPair(bytes)) {
    const char32_t pair = DecodeUnit(bytes.data(), 2);
    if (pair == 0) return 0;
    *character = pair;
    return 2;
  }
  // A lead byte without its trail byte is no character, whatever a
  // converter makes of it alone.
  if (IsLeadByte(lead)) return 0;
  const char32_t single = DecodeUnit(bytes.data(), 1);
  if (single == 0) return 0;
  *character = single;
  return 1;
}

bool AppendGbkCharacter(char32_t character, std::string* bytes) {
  if (character < 0x80) {
    bytes->push_back(static_cast<char>(character));
    return true;
  }
  // GBK has nothing outside the Basic Multilingual Plane, and the
  // replacement character stands for bytes that were not GBK.
  if (character > 0xFFFF || character == kReplacement ||
      (character >= 0xD800 && character <= 0xDFFF)) {
    return false;
  }
  return EncodeUnit(character, bytes);
}

size_t NextUtf8Character(std::string_view text, char32_t* character) {
  if (text.empty()) return 0;
  const auto first = static_cast<unsigned char>(text[0]);
  if (first < 0x80) {
    *character = first;
    return 1;
  }
  size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2, value = first & 0x1F, least = 0x80;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, value = first & 0x0F, least = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, value = first & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *character = value;
  return length;
}

void AppendUtf8(char32_t character, std::string* text) {
  if (character < 0x80) {
    text->push_back(static_cast<char>(character));
  } else if (character < 0x800) {
    text->push_back(static_cast<char>(0xC0 | character >> 6));
    text->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else if (character < 0x10000) {
    text->push_back(static_cast<char>(0xE0 | character >> 12));
    text->push_back(static_cast<char>(0x80 | (character >> 6 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else {
    text->push_back(static_cast<char>(0xF0 | character >> 18));
    text->push_back(static_cast<char>(0x80 | (character >> 12 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (character >> 6 & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  }
}

bool IsUtf8(std::string_view text) {
  char32_t character = 0;
  while (!text.empty()) {
    const size_t length = NextUtf8Character(text, &character);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
  std::string text;
  char32_t character = 0;
  while (!gbk.empty()) {
    const size_t length = NextGbkCharacter(gbk, &character);
    if (length == 0) return std::nullopt;
    AppendUtf8(character, &text);
    gbk.remove_prefix(length);
  }
  return text;
}

bool StartsGbkPair(std::string_view bytes) {
  return bytes.size() >= 2 && IsLeadByte(static_cast<unsigned char>(bytes[0])) &&
         IsTrailByte(static_cast<unsigned char>(bytes[1]));
}

std::string GbkToShownUtf8(std::string_view gbk) {
  std::string text;
  char32_t character = 0;
  while (!gbk.empty()) {
    size_t length = NextGbkCharacter(gbk, &character);
    if (length == 0) {
      character = kReplacement;
      length = StartsGbkPair(gbk) ? 2 : 1;
    }
    AppendUtf8(character, &text);
    gbk.remove_prefix(length);
  }
  return text;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8, char32_t* missing) {
  std::string bytes;
  char32_t character = 0;
  while (!utf8.empty()) {
    const size_t length = NextUtf8Character(utf8, &character);
    if (length == 0) character = 0;
    if (length == 0 || !AppendGbkCharacter(character, &bytes)) {
      if (missing) *missing = character;
      return std::nullopt;
    }
    utf8.remove_prefix(length);
  }
  return bytes;
}

std::string DescribeCharacter(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  std::string described = "'";
  AppendUtf8(character, &described);
  return described + "' (" + code + ")";
}

}  // namespace lumiq::profile
