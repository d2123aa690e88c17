#include "ui/app/scan_text.h"

#include "profile/gbk_text.h"

namespace lumiq::ui::app {

namespace {

const char* ControlName(unsigned char byte) {
  switch (byte) {
    case 0x0D: return "<CR>";
    case 0x0A: return "<LF>";
    case 0x09: return "<TAB>";
    case 0x1B: return "<ESC>";
    case 0x1D: return "<GS>";
    case 0x1E: return "<RS>";
    case 0x04: return "<EOT>";
    default: return nullptr;
  }
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendByteCode(unsigned char byte, std::string* text) {
  *text += "<x";
  *text += kHexDigits[byte >> 4];
  *text += kHexDigits[byte & 0x0F];
  *text += '>';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string VisibleText(std::string_view bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
      ++i;
      continue;
    }
    if (const char* name = ControlName(byte)) {
      text += name;
      ++i;
      continue;
    }
    char32_t character = 0;
    const size_t length = byte >= 0x80 ? profile::NextGbkCharacter(bytes.substr(i), &character) : 0;
    // Only a real two-byte character: 0x80 alone (the euro sign in code page
    // 936) is a byte a scanner would not send as text.
    if (length == 2) {
      profile::AppendUtf8(character, &text);
      i += 2;
      continue;
    }
    AppendByteCode(byte, &text);
    ++i;
  }
  return text;
}

std::string HexText(std::string_view bytes) {
  std::string text;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!text.empty()) text += ' ';
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0x0F];
  }
  return text;
}

std::optional<std::string> BytesOfHexNotation(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

std::optional<std::string> UnescapeScanText(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case 'r': bytes += '\r'; break;
      case 'n': bytes += '\n'; break;
      case 't': bytes += '\t'; break;
      case '\\': bytes += '\\'; break;
      case 'x': {
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return bytes;
}

}  // namespace lumiq::ui::app
