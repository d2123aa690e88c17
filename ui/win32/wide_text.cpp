#include "ui/win32/wide_text.h"

#include <windows.h>

#include "profile/gbk_text.h"

namespace lumiq::ui::win32 {

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::wstring DecodeGbk(std::string_view bytes) { return Utf8ToWide(profile::GbkToShownUtf8(bytes)); }

std::optional<std::string> EncodeGbk(std::wstring_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t character = text[i];
    // A surrogate pair is one character (outside GBK); a lone surrogate is
    // none.
    if (character >= 0xD800 && character <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      character = 0x10000 + ((character - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (!profile::AppendGbkCharacter(character, &bytes)) return std::nullopt;
  }
  return bytes;
}

}  // namespace lumiq::ui::win32
