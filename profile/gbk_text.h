#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumiq::profile {

// The scanner's values are bytes in the Chinese Windows code page 936
// (GBK with the euro sign at 0x80 and Windows' private-use codes). Files and
// terminals hold UTF-8. These functions are the one crossing between the
// two, without a toolkit: both windows, zrctl and the profiles call them, so
// the same text gives the same bytes everywhere.

// The character that starts `bytes` and how many bytes it takes (1 or 2),
// or 0 when the byte there starts no GBK character.
size_t NextGbkCharacter(std::string_view bytes, char32_t* character);

// The GBK code of one character appended to `bytes`; false when it has none.
// No best fit: a look-alike would silently change the setting.
bool AppendGbkCharacter(char32_t character, std::string* bytes);

// The character that starts `text` and how many bytes it takes, or 0 when
// the bytes there are not UTF-8 (overlong forms and surrogates included).
size_t NextUtf8Character(std::string_view text, char32_t* character);
void AppendUtf8(char32_t character, std::string* text);
bool IsUtf8(std::string_view text);

// Whether `bytes` start with a lead byte and a byte that may trail it: the
// two are one character's code, whether or not GBK gives it a character.
bool StartsGbkPair(std::string_view bytes);

// `gbk` as UTF-8, or nullopt when a byte belongs to no GBK character.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// `gbk` as UTF-8 for the screen: a pair or byte that is no GBK character
// shows as U+FFFD, one for each, so the operator sees that the value is
// odd and the text after it is not swallowed.
std::string GbkToShownUtf8(std::string_view gbk);

// `utf8` as GBK, or nullopt when it is not UTF-8 or a character has no GBK
// code; `missing`, when given, then receives the first such character (0
// for bytes that are not UTF-8).
std::optional<std::string> Utf8ToGbk(std::string_view utf8, char32_t* missing = nullptr);

// A character for a message: "'ß' (U+00DF)".
std::string DescribeCharacter(char32_t character);

}  // namespace lumiq::profile
