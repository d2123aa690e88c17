#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumiq::profile {

// The text form of settings shared by profiles and seed files: one KEY=VALUE
// line a setting. The value is everything after the first '=' to the end of
// the line; in keys and values `\\` stands for one backslash and `\xNN` for
// any byte. The text is UTF-8 and stands for the scanner's GBK bytes: a
// character becomes its GBK code, and one GBK lacks refuses the line. A text
// that is not UTF-8 (from an editor that saves GBK) is read as GBK, the
// bytes it holds: a character's trail byte is never the start of an escape,
// even when it is 0x5C, a backslash in ASCII. A line whose first character other than blanks is '#' is a
// comment; a line of blanks is empty. CR, LF and CR LF all end a line, and a
// UTF-8 byte order mark before the first line is skipped, so files edited on
// Windows read the same; UTF-16 text (as Windows editors save "Unicode") is
// refused as such. A raw control byte inside a line is refused: the
// writer always escapes them, so one there is damage, not data.

// Escapes bytes so that any byte survives a line of text: backslash as `\\`,
// every byte outside printable ASCII as `\xNN` (upper case).
std::string EscapeBytes(std::string_view bytes);

// Bytes as settings text: every run that is GBK as the characters it stands
// for, in UTF-8; backslash as `\\`, control bytes, bytes that start no GBK
// character and Windows' private-use characters (which show as nothing) as
// `\xNN`. Reading it back gives the same bytes.
std::string EscapeText(std::string_view bytes);

// EscapeText for a message, cut like Quote.
std::string QuoteText(std::string_view bytes, size_t limit = 64);

// The escaped bytes for a message, cut after `limit` bytes with the full
// length said, so that a huge key or value never floods the terminal. Text
// that starts or ends with a blank is put in single quotes ('qrcode '), so
// the blank shows.
std::string Quote(std::string_view bytes, size_t limit = 64);

struct TextSetting {
  std::string key;
  std::string value;
  int line = 0;  // 1-based
};

struct TextProblem {
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
};

// Parses settings text in file order, duplicates included. false with the
// first offending line in `problem` (and `settings` untouched) on a line that
// is not KEY=VALUE, an empty key, a bad escape, a raw control byte or a
// character GBK cannot hold.
bool ParseSettingText(std::string_view text, std::vector<TextSetting>* settings,
                      TextProblem* problem);

// A key given alone (`zrctl get KEY`) read as the KEY of a line: the same
// escapes and characters. false with why in `message`.
bool ParseSettingKey(std::string_view text, std::string* key, std::string* message);

// One setting as a line, with its line feed. A key's '=' and a leading '#'
// are escaped too, so the line reads back as the same setting.
std::string FormatSettingLine(std::string_view key, std::string_view value);

// `original` settings text brought up to `values`: a setting line whose value
// changed is rewritten, every other line (comments, blank lines, settings as
// they were, in their own spelling) is kept, and keys the text does not hold
// follow at the end in key order. In a GBK text the lines it writes escape
// every byte outside ASCII, so the text stays GBK.
std::string UpdateSettingText(std::string_view original,
                              const std::map<std::string, std::string>& values);

}  // namespace lumiq::profile
