#include "link/platform/win32_path.h"

#include <cstdint>
#include <cstring>

namespace lumiq::win32 {
namespace {

int LowerHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

bool IsHidInterfacePath(const std::string& path) {
  static const std::string kPipePrefix = "\\\\.\\pipe\\";
  static const std::string kHidPrefix = "\\\\?\\hid#";
  static const std::string kHidClass = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  // "\\.\" paths are normalised, so a ".." would climb out of the pipes;
  // "\\?\" paths are not, and a further separator could lead anywhere.
  if (path.find("..") != std::string::npos || path.find('/') != std::string::npos) return false;
  if (StartsWithNoCase(path, kPipePrefix)) return path.size() > kPipePrefix.size();
  return StartsWithNoCase(path, kHidPrefix) && EndsWithNoCase(path, kHidClass) &&
         path.find('\\', kHidPrefix.size()) == std::string::npos;
}

int InterfaceFromDevicePath(const std::string& path) {
  if (path.find("&mi_01") != std::string::npos) return 1;
  size_t at = path.find("&mi_");
  if (at == std::string::npos || at + 6 > path.size()) return -1;
  int high = LowerHexValue(path[at + 4]);
  int low = LowerHexValue(path[at + 5]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

bool TakeDevicePath(const char* text, size_t capacity, size_t bufferSize,
                    std::string* path) {
  if (text == nullptr) return false;
  const void* end = std::memchr(text, '\0', capacity);
  if (end == nullptr) return false;
  size_t length = static_cast<size_t>(static_cast<const char*>(end) - text);
  if (length + 1 > bufferSize) return false;
  path->assign(text, length);
  return true;
}

std::string ExclusionMutexName(const std::string& path) {
  // FNV-1a over the lower-cased path: a kernel object name may not hold the
  // path's backslashes and is limited in length, a hash of it is neither.
  uint64_t hash = 14695981039346656037ull;
  for (char c : path) {
    const unsigned char byte = static_cast<unsigned char>(c);
    hash ^= (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned>(byte - 'A' + 'a') : byte;
    hash *= 1099511628211ull;
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string name = "Global\\LumiqConfigTool.scanner.";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  return name;
}

}  // namespace lumiq::win32
