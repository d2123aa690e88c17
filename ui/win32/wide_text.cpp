#include "ui/win32/wide_text.h"

#include <windows.h>

namespace lumiq::ui::win32 {

namespace {

constexpr UINT kGbkCodePage = 936;
constexpr wchar_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

}  // namespace

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

std::wstring DecodeGbk(std::string_view bytes) {
  // Unit by unit, so that a bad byte costs one replacement character and
  // never swallows the byte after it.
  std::wstring text;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      text += static_cast<wchar_t>(byte);
      ++i;
      continue;
    }
    const size_t length = IsLeadByte(byte) && i + 1 < bytes.size() &&
                                  IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))
                              ? 2
                              : 1;
    wchar_t unit[2] = {};
    const int decoded = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                            static_cast<int>(length), unit, 2);
    text += decoded == 1 ? unit[0] : kReplacement;
    i += length;
  }
  return text;
}

std::optional<std::string> EncodeGbk(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.find(kReplacement) != std::wstring_view::npos) return std::nullopt;
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  usedDefault = FALSE;
  WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return bytes;
}

}  // namespace lumiq::ui::win32
