#include "link/platform/win32_path.h"

#include <cstring>

namespace lumiq::win32 {
namespace {

int LowerHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

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

}  // namespace lumiq::win32
