#include "profile/setting_text.h"

#include <set>

#include "profile/gbk_text.h"

namespace lumiq::profile {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void AppendHex(std::string* out, unsigned char byte) {
  *out += "\\x";
  *out += kHexDigits[byte >> 4];
  *out += kHexDigits[byte & 0x0F];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// Whether a character is written as itself: the private-use codes show as
// nothing in an editor, so their bytes are escaped instead.
bool ShownAsText(char32_t character) {
  return character >= 0x80 && !(character >= 0xE000 && character <= 0xF8FF);
}

// Undoes EscapeText. With `utf8`, characters other than ASCII become their
// GBK bytes; without it (text from an editor that saves GBK), every byte
// stays as it is, and a character's two bytes are taken together: its
// trail byte may be 0x5C, which is a backslash only in ASCII (誠, 運). false with a message on a backslash that starts
// neither `\\` nor `\xNN`, on a raw control byte or on a character without
// a GBK code. `column` is where `text` starts in its line, for the message.
bool Unescape(std::string_view text, size_t column, bool utf8, std::string* bytes,
              std::string* message) {
  bytes->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (utf8 && static_cast<unsigned char>(text[i]) >= 0x80) {
      char32_t character = 0;
      const size_t length = NextUtf8Character(text.substr(i), &character);
      if (!AppendGbkCharacter(character, bytes)) {
        *message = DescribeCharacter(character) + " at column " + std::to_string(column + i + 1) +
                   " has no code in the scanner's character set (GBK)";
        return false;
      }
      i += length - 1;
      continue;
    }
    if (!utf8 && StartsGbkPair(text.substr(i))) {
      bytes->append(text.substr(i, 2));
      i += 1;
      continue;
    }
    if (IsControl(text[i])) {
      std::string escaped;
      AppendHex(&escaped, static_cast<unsigned char>(text[i]));
      *message = "a raw control byte at column " + std::to_string(column + i + 1) +
                 " (write it as " + escaped + ")";
      return false;
    }
    if (text[i] != '\\') {
      *bytes += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      *bytes += '\\';
      i += 1;
      continue;
    }
    if (i + 3 < text.size() && text[i + 1] == 'x' && HexValue(text[i + 2]) >= 0 &&
        HexValue(text[i + 3]) >= 0) {
      *bytes += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
      continue;
    }
    *message = "bad escape at column " + std::to_string(column + i + 1) +
               " (a backslash must be followed by \\ or xNN)";
    return false;
  }
  return true;
}

// The lines of a text, each with the line end that closed it.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {
    if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
      bom_ = kByteOrderMark;
      text_.remove_prefix(kByteOrderMark.size());
    }
  }
  bool Next(std::string_view* line, std::string_view* end) {
    if (at_ >= text_.size()) return false;
    size_t stop = text_.find_first_of("\r\n", at_);
    if (stop == std::string_view::npos) stop = text_.size();
    *line = text_.substr(at_, stop - at_);
    size_t after = stop;
    if (after < text_.size()) after += (text_[after] == '\r' && after + 1 < text_.size() &&
                                        text_[after + 1] == '\n')
                                           ? 2
                                           : 1;
    *end = text_.substr(stop, after - stop);
    at_ = after;
    return true;
  }
  std::string_view bom() const { return bom_; }
  // A text is UTF-8 or GBK as a whole, as an editor saves it: a line that
  // happens to be UTF-8 in a GBK file is still GBK.
  bool IsUtf8Text() const { return IsUtf8(text_); }

 private:
  std::string_view text_;
  std::string_view bom_;
  size_t at_ = 0;
};

// Whether the line carries a setting: neither blank nor a comment.
bool IsSettingLine(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line[first] != '#';
}

bool ParseLine(std::string_view line, bool utf8, std::string* key, std::string* value,
               std::string* message) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    std::string unused;
    // A control byte is the better reason when there is one.
    if (!Unescape(line, 0, false, &unused, message)) return false;
    *message = "no '=' in the line";
    return false;
  }
  if (equals == 0) {
    *message = "empty key";
    return false;
  }
  if (!Unescape(line.substr(0, equals), 0, utf8, key, message)) {
    *message = "key: " + *message;
    return false;
  }
  if (!Unescape(line.substr(equals + 1), equals + 1, utf8, value, message)) {
    *message = "value: " + *message;
    return false;
  }
  return true;
}

// Editors on Windows save "Unicode" as UTF-16: a byte order mark, or ASCII
// with a zero byte after (or before) each character.
bool LooksLikeUtf16(std::string_view text) {
  if (text.size() < 2) return false;
  const std::string_view start = text.substr(0, 2);
  if (start == "\xFF\xFE" || start == "\xFE\xFF") return true;
  // Without the mark: two characters of it, each one byte and a zero.
  if (text.size() < 4) return false;
  const auto zeroAt = [&text](size_t first) {
    return text[first] == '\0' && text[first + 2] == '\0' && text[1 - first] != '\0' &&
           text[3 - first] != '\0';
  };
  return zeroAt(1) || zeroAt(0);
}

// One setting as a line; without `asText`, every byte outside ASCII is
// escaped, for a file in GBK, which a UTF-8 line would spoil.
std::string FormatLine(std::string_view key, std::string_view value, bool asText) {
  std::string line;
  for (char c : asText ? EscapeText(key) : EscapeBytes(key)) {
    // A '#' after nothing but blanks would make the line a comment.
    const bool startsComment =
        c == '#' && line.find_first_not_of(' ') == std::string::npos;
    if (c == '=' || startsComment) {
      AppendHex(&line, static_cast<unsigned char>(c));
    } else {
      line += c;
    }
  }
  line += '=';
  line += asText ? EscapeText(value) : EscapeBytes(value);
  line += '\n';
  return line;
}

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte > 0x7E) {
      AppendHex(&out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

std::string EscapeText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    char32_t character = 0;
    const size_t length = NextGbkCharacter(bytes.substr(i), &character);
    if (length == 0 || !ShownAsText(character)) {
      // ASCII as EscapeBytes has it; a byte that starts no character, or a
      // character better not shown, as its bytes.
      const size_t span = length == 0 ? 1 : length;
      out += EscapeBytes(bytes.substr(i, span));
      i += span;
      continue;
    }
    AppendUtf8(character, &out);
    i += length;
  }
  return out;
}

std::string QuoteText(std::string_view bytes, size_t limit) {
  if (bytes.size() <= limit) return EscapeText(bytes);
  return EscapeText(bytes.substr(0, limit)) + "... (" + std::to_string(bytes.size()) +
         " bytes)";
}

std::string Quote(std::string_view bytes, size_t limit) {
  std::string shown = EscapeBytes(bytes.substr(0, limit));
  // A blank at either end would be lost in the message: 'qrcode ' is not
  // qrcode.
  if (!shown.empty() && (shown.front() == ' ' || shown.back() == ' ')) {
    shown = "'" + shown + "'";
  }
  if (bytes.size() <= limit) return shown;
  return shown + "... (" + std::to_string(bytes.size()) + " bytes)";
}

bool ParseSettingText(std::string_view text, std::vector<TextSetting>* settings,
                      TextProblem* problem) {
  if (LooksLikeUtf16(text)) {
    if (problem) *problem = TextProblem{1, "UTF-16 text: save it as UTF-8"};
    return false;
  }
  std::vector<TextSetting> parsed;
  Lines lines(text);
  const bool utf8 = lines.IsUtf8Text();
  std::string_view line;
  std::string_view end;
  int number = 0;
  while (lines.Next(&line, &end)) {
    ++number;
    if (!IsSettingLine(line)) continue;
    TextSetting setting;
    std::string message;
    if (!ParseLine(line, utf8, &setting.key, &setting.value, &message)) {
      if (problem) *problem = TextProblem{number, message};
      return false;
    }
    setting.line = number;
    parsed.push_back(std::move(setting));
  }
  if (settings) *settings = std::move(parsed);
  return true;
}

bool ParseSettingKey(std::string_view text, std::string* key, std::string* message) {
  return Unescape(text, 0, IsUtf8(text), key, message);
}

std::string FormatSettingLine(std::string_view key, std::string_view value) {
  return FormatLine(key, value, true);
}

std::string UpdateSettingText(std::string_view original,
                              const std::map<std::string, std::string>& values) {
  Lines lines(original);
  const bool utf8 = lines.IsUtf8Text();
  std::string out(lines.bom());
  std::set<std::string> present;
  std::string_view line;
  std::string_view end;
  std::string_view lastEnd = "\n";
  while (lines.Next(&line, &end)) {
    if (!end.empty()) lastEnd = end;
    std::string key;
    std::string value;
    std::string message;
    std::string rewritten;
    if (IsSettingLine(line) && ParseLine(line, utf8, &key, &value, &message)) {
      present.insert(key);
      const auto now = values.find(key);
      if (now != values.end() && now->second != value) {
        rewritten = FormatLine(key, now->second, utf8);
        rewritten.pop_back();  // the line keeps its own line end
        line = rewritten;
      }
    }
    out += line;
    // The last line may have had no end; what follows starts a new line.
    out += end.empty() ? lastEnd : end;
  }
  for (const auto& [key, value] : values) {
    if (present.count(key) != 0) continue;
    std::string added = FormatLine(key, value, utf8);
    added.pop_back();
    out += added;
    out += lastEnd;
  }
  return out;
}

}  // namespace lumiq::profile
